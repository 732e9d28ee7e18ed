// Drives the settings dialog through its named widgets: the digit bar, the ignore list's rules,
// and handing back with a log name that must not be one of ours.
#include "dialogs/settingsdialog.h"
#include "dialogs/tests/scriptedmessenger.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
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
    // Each change reruns the conversion, also a value start-up sets again unchanged.
    void roundingChangesRerunConversion()
    {
        Dialog d;
        auto* bar = child<QScrollBar>(d.form, QStringLiteral("HScroll1"));
        auto* label = child<QLabel>(d.form, QStringLiteral("Label4"));
        QSignalSpy reruns(&d.form, &SettingsDialog::roundingChanged);
        // The outputs follow the dragged thumb, not only its release.
        bar->setSliderDown(true);
        bar->setSliderPosition(7);
        bar->setSliderDown(false);
        // A damaged setting cannot push the bar past its end, and read again it still reruns.
        d.form.setPlaces(99);
        QCOMPARE(label->text(), QStringLiteral("15"));
        d.form.setPlaces(99);
        d.click("RoundCheck");
        d.form.setRounding(false);
        QCOMPARE(reruns.count(), 5);
    }

    // A user adding one quantity after another: the list keeps a case-blind order, the next
    // quantity is offered, and the last one shown can never be hidden. «время» is a name the
    // database no longer has: it hides nothing, so it must not count.
    void addingFollowsItsRules()
    {
        const QString stale = QStringLiteral("время");
        struct Step {
            int selected;
            QStringList after;
            int selectedAfter;
        };
        const Step steps[] = {
            {4, {stale, kVolume, kArea}, 4},
            {1, {stale, kMass, kVolume, kArea}, 2},
            {1, {stale, kMass, kVolume, kArea}, 1}, // already there: nothing changes
            {0, {stale, kLength, kMass, kVolume, kArea}, 1},
            {2, {stale, kLength, kMass, kVolume, kArea}, 2}, // the last one shown: refused
        };
        Dialog d(kFive, {kArea, stale});
        auto* categories = child<QComboBox>(d.form, QStringLiteral("Combo1"));
        for (const Step& step : steps) {
            d.form.selectCategory(step.selected);
            d.click("Command2");
            QCOMPARE(d.form.ignored(), step.after);
            QCOMPARE(categories->currentIndex(), step.selectedAfter);
        }
        QCOMPARE(d.messenger.messages.size(), 1);
    }

    // Delete and «Удалить» take the selected name, and the one after it is selected in its place.
    void removingTakesTheSelectedName()
    {
        Dialog d(kFive, {kMass, kTime, kLength});
        auto* list = child<QListWidget>(d.form, QStringLiteral("List1"));
        list->setCurrentRow(1);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(d.form.ignored(), (QStringList{kTime, kMass}));
        d.click("Command3");
        QCOMPARE(d.form.ignored(), QStringList{kTime});
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
        d.form.setLogFile(QStringLiteral("calc.log"));
        d.click("Command4");
        QVERIFY(d.form.isHidden());
        QCOMPARE(handedBack.count(), 1);
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settingsdialog_test.moc"
