// Drives the settings dialog through its named widgets: the switches, the digit bar, the
// ignore list's rules, and handing back with a log name that must not be one of ours.
#include "dialogs/settingsdialog.h"
#include "dialogs/tests/scriptedmessenger.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace
{

template <typename T = QWidget> T* child(const QWidget& w, const QString& name)
{
    auto* found = w.findChild<T*>(name);
    if (found == nullptr)
        qFatal("no widget named %s", qPrintable(name));
    return found;
}

const QString kLength = QStringLiteral("Длина");
const QString kMass = QStringLiteral("Масса");
const QString kTime = QStringLiteral("Время");
const QString kVolume = QStringLiteral("Объем");
const QString kArea = QStringLiteral("Площадь");
const QStringList kFive = {kLength, kMass, kTime, kArea, kVolume};

// A fresh dialog per case, shown, with its quantities and ignored names as start-up adds them.
struct Dialog {
    ScriptedMessenger messenger;
    SettingsDialog form{messenger, {}};

    explicit Dialog(const QStringList& categories = {}, const QStringList& ignored = {})
    {
        for (const QString& name : categories)
            form.addCategory(name);
        form.addIgnored(ignored);
        form.show();
    }
    void click(const char* name) const
    {
        QTest::mouseClick(child<QAbstractButton>(form, QLatin1String(name)), Qt::LeftButton, {},
                          QPoint(8, 8));
    }
};

} // namespace

class SettingsDialogTest : public QObject
{
    Q_OBJECT
private slots:
    // The user's click and the program's setter both switch what a switch governs. Only the click
    // reports logging: start-up setting the switch must not.
    void switchesGovernTheirControls()
    {
        struct Row {
            const char* check;
            void (SettingsDialog::*set)(bool);
            QStringList governed;
        };
        const Row rows[] = {
            {"Logcheck", &SettingsDialog::setLogging, {"Logfile"}},
            {"RoundCheck", &SettingsDialog::setRounding, {"HScroll1"}},
            {"IgnoreCheck", &SettingsDialog::setIgnoring, {"List1", "Command2", "Command3"}},
        };
        Dialog d;
        QSignalSpy logging(&d.form, &SettingsDialog::loggingChanged);
        for (const Row& row : rows) {
            d.click(row.check);
            for (const QString& name : row.governed)
                QVERIFY2(!child(d.form, name)->isEnabled(), qPrintable(name));
            (d.form.*row.set)(true);
            for (const QString& name : row.governed)
                QVERIFY2(child(d.form, name)->isEnabled(), qPrintable(name));
        }
        QCOMPARE(logging.count(), 1);
    }

    // Each change reruns the conversion, also a value start-up sets again unchanged.
    void roundingChangesRerunConversion()
    {
        Dialog d;
        auto* bar = child<QScrollBar>(d.form, QStringLiteral("HScroll1"));
        auto* label = child<QLabel>(d.form, QStringLiteral("Label4"));
        QSignalSpy reruns(&d.form, &SettingsDialog::roundingChanged);
        // The label and the outputs follow the dragged thumb, not only its release.
        bar->setSliderDown(true);
        bar->setSliderPosition(7);
        QCOMPARE(label->text(), QStringLiteral("7"));
        bar->setSliderDown(false);
        // A damaged setting cannot push the bar past its end, and read again it still reruns.
        d.form.setPlaces(99);
        QCOMPARE(label->text(), QStringLiteral("15"));
        d.form.setPlaces(99);
        d.click("RoundCheck");
        d.form.setRounding(false);
        QCOMPARE(reruns.count(), 5);
    }

    void addFollowsItsRules_data()
    {
        QTest::addColumn<QStringList>("categories");
        QTest::addColumn<QStringList>("ignored");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("selectedAfter");
        QTest::addColumn<bool>("refused");
        const QString lower = QStringLiteral("время");
        QTest::newRow("alphabetical place, case ignored, next selected")
            << kFive << QStringList{kVolume, lower} << 1 << QStringList{lower, kMass, kVolume} << 2
            << false;
        QTest::newRow("duplicate")
            << kFive << QStringList{kMass} << 1 << QStringList{kMass} << 1 << false;
        QTest::newRow("last quantity keeps selection")
            << kFive << QStringList{} << 4 << QStringList{kVolume} << 4 << false;
        QTest::newRow("fifth of five") << kFive << kFive.mid(0, 4) << 4
                                       << QStringList{kTime, kLength, kMass, kArea} << 4 << true;
        // Names the database no longer has hide nothing, so they do not count.
        const QString x = QStringLiteral("Икс"), y = QStringLiteral("Игрек");
        QTest::newRow("stale names do not block") << kFive.mid(0, 3) << QStringList{x, y} << 0
                                                  << QStringList{kLength, y, x} << 1 << false;
        QTest::newRow("no quantities")
            << QStringList{} << QStringList{} << -1 << QStringList{} << -1 << false;
    }

    void addFollowsItsRules()
    {
        QFETCH(QStringList, categories);
        QFETCH(QStringList, ignored);
        QFETCH(int, selected);
        QFETCH(bool, refused);
        Dialog d(categories, ignored);
        d.form.selectCategory(selected);
        d.click("Command2");
        QTEST(d.form.ignored(), "after");
        QTEST(child<QComboBox>(d.form, QStringLiteral("Combo1"))->currentIndex(), "selectedAfter");
        QCOMPARE(d.messenger.messages.size(), refused ? 1 : 0);
    }

    void removeFollowsSelectionRules_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("middle, Delete key") << true << 1 << QStringList{kTime, kMass} << 1;
        QTest::newRow("last") << false << 2 << QStringList{kTime, kLength} << -1;
        QTest::newRow("nothing selected") << false << -1 << QStringList{kTime, kLength, kMass} << 2;
    }

    void removeFollowsSelectionRules()
    {
        QFETCH(bool, byKey);
        QFETCH(int, selected);
        Dialog d(kFive, {kMass, kTime, kLength});
        auto* list = child<QListWidget>(d.form, QStringLiteral("List1"));
        if (selected >= 0)
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(list->item(selected)).center());
        if (byKey)
            QTest::keyClick(list, Qt::Key_Delete);
        else
            d.click("Command3");
        QTEST(d.form.ignored(), "left");
        const auto selection = list->selectedItems();
        QTEST(selection.isEmpty() ? -1 : list->row(selection.first()), "selectedAfter");
    }

    // The close button does what "Хорошо" does: it refuses a log name that would write over one
    // of our files, and hands back once the name is free.
    void closeButtonRefusesOurOwnFiles()
    {
        Dialog d;
        d.form.setLogFileCheck([](const QString& name) {
            return name == QLatin1String("base.dat") ? QStringLiteral("Base.dat") : QString();
        });
        QSignalSpy handedBack(&d.form, &SettingsDialog::handedBack);
        d.form.setLogFile(QStringLiteral("base.dat"));
        d.form.close();
        QVERIFY(d.form.isVisible());
        QCOMPARE(d.messenger.messages.size(), 1);
        QCOMPARE(d.messenger.messages.first().text,
                 QStringLiteral("Log-файл base.dat - это файл программы Base.dat. Выберите "
                                "другое имя log-файла."));
        QCOMPARE(child<QLineEdit>(d.form, QStringLiteral("Logfile"))->selectedText(),
                 QStringLiteral("base.dat"));
        d.form.setLogFile(QStringLiteral("calc.log"));
        d.click("Command4");
        QVERIFY(d.form.isHidden());
        QCOMPARE(handedBack.count(), 1);
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settingsdialog_test.moc"
