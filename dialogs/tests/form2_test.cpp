// Drives the settings dialog through its named widgets, as the user and start-up would.
#include "dialogs/form2.h"
#include "dialogs/tests/scriptedmessenger.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace
{

template <typename T> T* child(const QWidget& w, const QString& name)
{
    auto* found = w.findChild<T*>(name);
    if (found == nullptr)
        qFatal("no widget named %s", qPrintable(name));
    return found;
}

// A fresh dialog per case, with the report text a test can change.
struct Dialog {
    ScriptedMessenger messenger;
    QString report = QStringLiteral("Отчет: 2 категории");
    Form2 form{messenger, [this] { return report; }};

    QListWidget* list() const { return child<QListWidget>(form, QStringLiteral("List1")); }
    QComboBox* combo() const { return child<QComboBox>(form, QStringLiteral("Combo1")); }
    QScrollBar* bar() const { return child<QScrollBar>(form, QStringLiteral("HScroll1")); }
    QString label() const { return child<QLabel>(form, QStringLiteral("Label4"))->text(); }
    void click(const char* name) const
    {
        QTest::mouseClick(child<QAbstractButton>(form, QLatin1String(name)), Qt::LeftButton, {},
                          QPoint(8, 8));
    }
    int selectedRow() const
    {
        const auto items = list()->selectedItems();
        return items.isEmpty() ? -1 : list()->row(items.first());
    }
    void selectRow(int row) const
    {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualItemRect(list()->item(row)).center());
    }
    void fill(const QStringList& categories, const QStringList& ignored)
    {
        for (const QString& name : categories)
            form.addCategory(name);
        for (const QString& name : ignored)
            form.addIgnored(name);
    }
};

const QStringList kFive = {QStringLiteral("Длина"), QStringLiteral("Масса"),
                           QStringLiteral("Время"), QStringLiteral("Площадь"),
                           QStringLiteral("Объем")};

} // namespace

class Form2Test : public QObject
{
    Q_OBJECT
private slots:
    void startsWithDesignValues();
    void switchesGovernTheirControls_data();
    void switchesGovernTheirControls();
    void onlyTheUserReportsLogging();
    void scrollBarUpdatesLabelAndRerunsConversion();
    void roundingSwitchKeepsDigitsAndRerunsConversion();
    void startupIgnoreFileTakesSortedPlaces();
    void addPutsNameInPlaceAndMovesOn();
    void addSkipsDuplicateSilently();
    void addRefusesToHideEveryQuantity_data();
    void addRefusesToHideEveryQuantity();
    void addOnLastQuantityKeepsSelection();
    void removeFollowsSelectionRules_data();
    void removeFollowsSelectionRules();
    void removeWithoutSelectionSelectsLastThenRemovesIt();
    void otherKeysInListRemoveNothing();
    void reportShowsTextInInformationBox();
    void okAndCloseButtonHandBack_data();
    void okAndCloseButtonHandBack();
};

void Form2Test::startsWithDesignValues()
{
    Dialog d;
    QCOMPARE(d.form.windowTitle(), QStringLiteral("Метрованта - Настройка"));
    QVERIFY(d.form.logging() && d.form.rounding() && d.form.ignoring());
    QCOMPARE(d.form.places(), 9);
    QCOMPARE(d.label(), QStringLiteral("9"));
    QCOMPARE(d.bar()->maximum(), 15);
    QVERIFY(d.form.logFile().isEmpty() && d.form.ignored().isEmpty());
    QCOMPARE(d.combo()->count(), 0);
}

void Form2Test::switchesGovernTheirControls_data()
{
    QTest::addColumn<QString>("check");
    QTest::addColumn<QString>("governed");
    QTest::newRow("Logcheck") << QStringLiteral("Logcheck") << QStringLiteral("Logfile");
    QTest::newRow("RoundCheck") << QStringLiteral("RoundCheck") << QStringLiteral("HScroll1");
    QTest::newRow("IgnoreCheck") << QStringLiteral("IgnoreCheck") << QStringLiteral("List1");
}

void Form2Test::switchesGovernTheirControls()
{
    QFETCH(QString, check);
    QFETCH(QString, governed);
    Dialog d;
    d.form.show();
    auto* box = child<QCheckBox>(d.form, check);
    auto* target = child<QWidget>(d.form, governed);
    const auto setByProgram = [&](bool on) {
        if (check == QLatin1String("Logcheck"))
            d.form.setLogging(on);
        else if (check == QLatin1String("RoundCheck"))
            d.form.setRounding(on);
        else
            d.form.setIgnoring(on);
    };

    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    QVERIFY(!box->isChecked());
    QVERIFY(!target->isEnabled());
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    QVERIFY(target->isEnabled());

    setByProgram(false);
    QVERIFY(!target->isEnabled());
    setByProgram(false); // unchanged: Qt emits nothing, the state must still hold
    QVERIFY(!target->isEnabled());
    setByProgram(true);
    QVERIFY(target->isEnabled());

    // The ignore switch leaves the quantity box and the list buttons usable.
    for (const char* other : {"Combo1", "Command2", "Command3"})
        QVERIFY2(child<QWidget>(d.form, QLatin1String(other))->isEnabled(), other);
}

void Form2Test::onlyTheUserReportsLogging()
{
    Dialog d;
    d.form.show();
    QSignalSpy spy(&d.form, &Form2::loggingChanged);
    d.form.setLogging(false);
    d.form.setLogging(true);
    QCOMPARE(spy.count(), 0);
    d.click("Logcheck");
    d.click("Logcheck");
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toBool(), false);
    QCOMPARE(spy.at(1).at(0).toBool(), true);
}

void Form2Test::scrollBarUpdatesLabelAndRerunsConversion()
{
    Dialog d;
    d.form.show();
    QSignalSpy reruns(&d.form, &Form2::roundingChanged);

    d.bar()->setFocus();
    QTest::keyClick(d.bar(), Qt::Key_Home);
    QCOMPARE(d.label(), QStringLiteral("0"));
    QCOMPARE(d.form.places(), 0);
    QCOMPARE(reruns.count(), 1);

    // Dragging the thumb: the label and the outputs follow every movement, not only the release.
    d.bar()->setSliderDown(true);
    for (int position : {3, 7, 12}) {
        d.bar()->setSliderPosition(position);
        QCOMPARE(d.label(), QString::number(position));
    }
    d.bar()->setSliderDown(false);
    QCOMPARE(reruns.count(), 4);

    d.form.setPlaces(15);
    QCOMPARE(d.label(), QStringLiteral("15"));
    d.form.setPlaces(99); // a damaged setting cannot push the bar past its end
    QCOMPARE(d.form.places(), 15);
    QCOMPARE(d.label(), QStringLiteral("15"));
}

void Form2Test::roundingSwitchKeepsDigitsAndRerunsConversion()
{
    Dialog d;
    d.form.show();
    d.form.setPlaces(4);
    QSignalSpy reruns(&d.form, &Form2::roundingChanged);
    d.click("RoundCheck");
    QCOMPARE(reruns.count(), 1);
    QVERIFY(!d.form.rounding());
    QCOMPARE(d.form.places(), 4);
    QCOMPARE(d.label(), QStringLiteral("4"));
    d.form.setRounding(false); // start-up sets it again unchanged: the conversion still reruns
    QCOMPARE(reruns.count(), 2);
}

void Form2Test::startupIgnoreFileTakesSortedPlaces()
{
    Dialog d;
    // File order is not list order; case does not decide the place.
    d.fill({}, {QStringLiteral("Объем"), QStringLiteral("время"), QStringLiteral("Масса"),
                QStringLiteral("Длина")});
    QCOMPARE(d.form.ignored(), QStringList({QStringLiteral("время"), QStringLiteral("Длина"),
                                            QStringLiteral("Масса"), QStringLiteral("Объем")}));
}

void Form2Test::addPutsNameInPlaceAndMovesOn()
{
    Dialog d;
    d.fill(kFive, {QStringLiteral("Объем"), QStringLiteral("Время")});
    d.form.selectCategory(1); // Масса
    d.click("Command2");
    QCOMPARE(d.form.ignored(), QStringList({QStringLiteral("Время"), QStringLiteral("Масса"),
                                            QStringLiteral("Объем")}));
    QCOMPARE(d.combo()->currentIndex(), 2);
    QVERIFY(d.messenger.messages.isEmpty());
}

void Form2Test::addSkipsDuplicateSilently()
{
    Dialog d;
    d.fill(kFive, {QStringLiteral("Масса"), QStringLiteral("масса")});
    d.form.selectCategory(1);
    d.click("Command2");
    QCOMPARE(d.form.ignored().count(QStringLiteral("Масса")), 1);
    QCOMPARE(d.form.ignored().size(), 2);
    QCOMPARE(d.combo()->currentIndex(), 1);
    QVERIFY(d.messenger.messages.isEmpty());
}

void Form2Test::addRefusesToHideEveryQuantity_data()
{
    QTest::addColumn<QStringList>("categories");
    QTest::addColumn<QStringList>("ignored");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("refused");
    const QStringList fourOfFive = kFive.mid(0, 4);
    QTest::newRow("fifth of five") << kFive << fourOfFive << 4 << true;
    QTest::newRow("fourth of five") << kFive << kFive.mid(0, 3) << 3 << false;
    QTest::newRow("only quantity")
        << QStringList{QStringLiteral("Длина")} << QStringList{} << 0 << true;
    // Names the database no longer has hide nothing, so they do not count.
    QTest::newRow("stale names do not block")
        << kFive.mid(0, 3) << QStringList{QStringLiteral("Икс"), QStringLiteral("Игрек")} << 0
        << false;
    QTest::newRow("stale names do not open the last one")
        << kFive.mid(0, 2)
        << QStringList{QStringLiteral("Икс"), QStringLiteral("Игрек"), QStringLiteral("Длина")} << 1
        << true;
}

void Form2Test::addRefusesToHideEveryQuantity()
{
    QFETCH(QStringList, categories);
    QFETCH(QStringList, ignored);
    QFETCH(int, selected);
    QFETCH(bool, refused);
    Dialog d;
    d.fill(categories, ignored);
    d.form.selectCategory(selected);
    d.click("Command2");
    QCOMPARE(d.form.ignored().contains(categories.at(selected)), !refused);
    QCOMPARE(d.messenger.messages.size(), refused ? 1 : 0);
    if (refused) {
        const ShownMessage& shown = d.messenger.messages.first();
        QCOMPARE(shown.text, QStringLiteral("Достигнуто минимальное количество величин!"));
        QCOMPARE(shown.title, QStringLiteral("Ошибка"));
        QCOMPARE(shown.icon, MsgIcon::Exclamation);
        QCOMPARE(shown.buttons, MsgButtons::Ok);
        QCOMPARE(d.form.ignored().size(), ignored.size());
    }
}

void Form2Test::addOnLastQuantityKeepsSelection()
{
    Dialog d;
    d.fill(kFive, {});
    d.form.selectCategory(4);
    d.click("Command2");
    QCOMPARE(d.form.ignored(), QStringList{QStringLiteral("Объем")});
    QCOMPARE(d.combo()->currentIndex(), 4);

    Dialog empty; // no quantities: nothing to add, nothing to say
    empty.click("Command2");
    QVERIFY(empty.form.ignored().isEmpty());
    QVERIFY(empty.messenger.messages.isEmpty());
}

void Form2Test::removeFollowsSelectionRules_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("left");
    QTest::addColumn<int>("selectedAfter");
    const QString a = QStringLiteral("Время"), b = QStringLiteral("Длина"),
                  c = QStringLiteral("Масса");
    for (bool byKey : {false, true}) {
        const char* how = byKey ? "Delete key" : "button";
        QTest::addRow("%s, first of three", how) << byKey << 0 << QStringList{b, c} << 0;
        QTest::addRow("%s, middle of three", how) << byKey << 1 << QStringList{a, c} << 1;
        QTest::addRow("%s, last of three", how) << byKey << 2 << QStringList{a, b} << -1;
        QTest::addRow("%s, nothing selected", how) << byKey << -1 << QStringList{a, b, c} << 2;
    }
}

void Form2Test::removeFollowsSelectionRules()
{
    QFETCH(bool, byKey);
    QFETCH(int, selected);
    QFETCH(QStringList, left);
    QFETCH(int, selectedAfter);
    Dialog d;
    d.form.show();
    d.fill(kFive, {QStringLiteral("Масса"), QStringLiteral("Время"), QStringLiteral("Длина")});
    if (selected >= 0)
        d.selectRow(selected);
    QCOMPARE(d.selectedRow(), selected);
    if (byKey)
        QTest::keyClick(d.list(), Qt::Key_Delete);
    else
        d.click("Command3");
    QCOMPARE(d.form.ignored(), left);
    QCOMPARE(d.selectedRow(), selectedAfter);
}

void Form2Test::removeWithoutSelectionSelectsLastThenRemovesIt()
{
    Dialog d;
    d.fill(kFive, {QStringLiteral("Масса"), QStringLiteral("Время")});
    d.click("Command3");
    QCOMPARE(d.form.ignored().size(), 2);
    QCOMPARE(d.selectedRow(), 1);
    d.click("Command3");
    QCOMPARE(d.form.ignored(), QStringList{QStringLiteral("Время")});
    QCOMPARE(d.selectedRow(), -1);
    d.click("Command3");
    d.click("Command3");
    QVERIFY(d.form.ignored().isEmpty());
    d.click("Command3"); // an empty list stays empty and unselected
    QCOMPARE(d.selectedRow(), -1);
}

void Form2Test::otherKeysInListRemoveNothing()
{
    Dialog d;
    d.form.show();
    d.fill(kFive, {QStringLiteral("Масса"), QStringLiteral("Время")});
    d.selectRow(0);
    for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Space, Qt::Key_Insert})
        QTest::keyClick(d.list(), key);
    QCOMPARE(d.form.ignored().size(), 2);
}

void Form2Test::reportShowsTextInInformationBox()
{
    Dialog d;
    d.report = QStringLiteral("Метрованта 1.78\nКатегорий: 3");
    d.click("Command1");
    QCOMPARE(d.messenger.messages.size(), 1);
    const ShownMessage& shown = d.messenger.messages.first();
    QCOMPARE(shown.text, d.report);
    QCOMPARE(shown.title, QStringLiteral("Отчет по базе"));
    QCOMPARE(shown.icon, MsgIcon::Information);
    QCOMPARE(shown.buttons, MsgButtons::Ok);
}

void Form2Test::okAndCloseButtonHandBack_data()
{
    QTest::addColumn<bool>("byCloseButton");
    QTest::newRow("Хорошо") << false;
    QTest::newRow("close button") << true;
}

void Form2Test::okAndCloseButtonHandBack()
{
    QFETCH(bool, byCloseButton);
    Dialog d;
    d.fill(kFive, {QStringLiteral("Масса")});
    d.form.show();
    d.form.setLogFile(QStringLiteral("calc.log"));
    d.form.setPlaces(3);
    QSignalSpy spy(&d.form, &Form2::handedBack);
    if (byCloseButton)
        d.form.close();
    else
        d.click("Command4");
    QCOMPARE(spy.count(), 1);
    QVERIFY(d.form.isHidden());

    d.form.show(); // shown again: the values are still there
    QCOMPARE(d.form.logFile(), QStringLiteral("calc.log"));
    QCOMPARE(d.form.places(), 3);
    QCOMPARE(d.form.ignored(), QStringList{QStringLiteral("Масса")});
    QCOMPARE(d.combo()->count(), 5);
}

QTEST_MAIN(Form2Test)
#include "form2_test.moc"
