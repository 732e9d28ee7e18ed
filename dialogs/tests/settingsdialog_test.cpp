// Drives the settings dialog through its named widgets: the values it is given and hands back,
// the digit bar, the ignore list's rules, and handing back with a log name that must not be
// one of ours.
#include "dialogs/qthelpers.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/tests/scriptedmessenger.h"

#include <QAbstractButton>
#include <QApplication>
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

const char* const kLength = "Длина";
const char* const kMass = "Масса";
const char* const kTime = "Время";
const char* const kVolume = "Объем";
const char* const kArea = "Площадь";
const QStringList kFive = {kLength, kMass, kTime, kArea, kVolume};
using Names = std::vector<std::string>;

// A fresh dialog per case, shown, with the quantities and ignored names the window gives it.
struct Dialog {
    ScriptedMessenger messenger;
    SettingsDialog form{messenger, {}};

    explicit Dialog(const QStringList& quantities = {}, Names ignored = {})
    {
        form.setValues({.ignoredCategories = std::move(ignored)}, quantities);
        form.show();
    }
    Names ignored() const { return form.values().ignoredCategories; }
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
    // Each change reruns the conversion with the new pair, also values set again unchanged; set
    // by the program, every switch runs its handler.
    void changesRerunConversionAndSwitchesRunTheirHandlers()
    {
        Dialog d;
        auto* bar = child<QScrollBar>(d.form, QStringLiteral("HScroll1"));
        QSignalSpy reruns(&d.form, &SettingsDialog::roundingChanged);
        // The outputs follow the dragged thumb, not only its release.
        bar->setSliderDown(true);
        bar->setSliderPosition(7);
        bar->setSliderDown(false);
        QCOMPARE(d.form.values().decimalPlaces, 7);
        // Tab reaches the bar, and its keys step it as on the desktop.
        QApplication::setActiveWindow(&d.form);
        child(d.form, QStringLiteral("RoundCheck"))->setFocus();
        for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Right, Qt::Key_PageDown, Qt::Key_Left})
            QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(d.form.values().decimalPlaces, 8);
        // A damaged setting cannot push the bar past its end.
        const settings::RuntimeSettings damaged{.decimalPlaces = 99, .ignoredCategories = {}};
        d.form.setValues(damaged, {});
        d.form.setValues(damaged, {});
        QCOMPARE(child<QLabel>(d.form, QStringLiteral("Label4"))->text(), QStringLiteral("15"));
        d.click("RoundCheck");
        QVERIFY(!bar->isEnabled());
        QCOMPARE(reruns.count(), 7);
        QCOMPARE(reruns.last(), (QVariantList{QVariant::fromValue(settings::Rounding::Off), 15}));
        d.form.setValues({.logging = settings::Logging::Off,
                          .ignoring = settings::Ignoring::Off,
                          .ignoredCategories = {}},
                         {});
        QVERIFY(bar->isEnabled());
        for (const char* name : {"Logfile", "List1", "Command2", "Command3"})
            QVERIFY2(!child(d.form, QLatin1String(name))->isEnabled(), name);
    }

    // A user adding one quantity after another: the list keeps a case-blind order, the next
    // quantity is offered, and the last one shown can never be hidden. «время» is a name the
    // database no longer has: it hides nothing, so it must not count.
    void addingFollowsItsRules()
    {
        const char* const stale = "время";
        struct Step {
            int selected;
            Names after;
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
            categories->setCurrentIndex(step.selected);
            d.click("Command2");
            QCOMPARE(d.ignored(), step.after);
            QCOMPARE(categories->currentIndex(), step.selectedAfter);
        }
        QCOMPARE(d.messenger.messages.size(), 1);
        // Shown again, the same quantities keep their selection; others start at the first.
        d.form.setValues(d.form.values(), kFive);
        QCOMPARE(categories->currentIndex(), 2);
        d.form.setValues(d.form.values(), QStringList(kFive) << stale);
        QCOMPARE(categories->currentIndex(), 0);
    }

    // Delete and «Удалить» take the selected name, and the one after it is selected in its place.
    void removingTakesTheSelectedName()
    {
        Dialog d(kFive, {kMass, kTime, kLength});
        auto* list = child<QListWidget>(d.form, QStringLiteral("List1"));
        list->setCurrentRow(1);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(d.ignored(), (Names{kTime, kMass}));
        d.click("Command3");
        QCOMPARE(d.ignored(), Names{kTime});
    }

    void handingBackRefusesOurOwnFiles_data()
    {
        QTest::addColumn<QString>("way");
        for (const char* way : {"Хорошо", "close button", "Esc"})
            QTest::newRow(way) << QString::fromUtf8(way);
    }
    // Every way out does what «Хорошо» does: it refuses a log name that would write over one of
    // our files, and hands back once the name is free. Enter in the name is no way out.
    void handingBackRefusesOurOwnFiles()
    {
        QFETCH(QString, way);
        Dialog d;
        d.form.setLogFileCheck([](const QString& name) {
            return name == QLatin1String("base.dat") ? QStringLiteral("Base.dat") : QString();
        });
        QSignalSpy handedBack(&d.form, &SettingsDialog::handedBack);
        auto* logFile = child<QLineEdit>(d.form, QStringLiteral("Logfile"));
        for (const char* name : {"base.dat", "calc.log"}) {
            logFile->setText(QLatin1String(name));
            QTest::keyClick(logFile, Qt::Key_Return);
            if (way == QLatin1String("Esc"))
                QTest::keyClick(logFile, Qt::Key_Escape);
            else if (way == QLatin1String("close button"))
                d.form.close();
            else
                d.click("Command4");
        }
        QCOMPARE(d.messenger.messages.size(), 1);
        QCOMPARE(handedBack.count(), 1);
        QVERIFY(d.form.isHidden());
        QCOMPARE(d.form.values().logFile, "calc.log");
    }

    // Qt's own dialogs, such as saving the database elsewhere, speak Russian too.
    void qtsOwnTextsAreRussian()
    {
        QVERIFY(ui::installQtTranslation(*QCoreApplication::instance()));
        const char* question = "%1 already exists.\nDo you want to replace it?";
        QVERIFY(QCoreApplication::translate("QFileDialog", question) != QLatin1String(question));
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settingsdialog_test.moc"
