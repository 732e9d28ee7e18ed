// Drives the settings dialog through its named widgets, as the user and start-up would.
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
    SettingsDialog form{messenger, [this] { return report; }};

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

class SettingsDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void switchesGovernTheirControls_data()
    {
        QTest::addColumn<QString>("check");
        QTest::addColumn<QStringList>("governed");
        QTest::newRow("Logcheck") << QStringLiteral("Logcheck") << QStringList{"Logfile"};
        QTest::newRow("RoundCheck") << QStringLiteral("RoundCheck") << QStringList{"HScroll1"};
        QTest::newRow("IgnoreCheck")
            << QStringLiteral("IgnoreCheck") << QStringList{"List1", "Command2", "Command3"};
    }

    void switchesGovernTheirControls()
    {
        QFETCH(QString, check);
        QFETCH(QStringList, governed);
        Dialog d;
        d.form.show();
        const auto enabled = [&](bool on) {
            for (const QString& name : governed)
                QVERIFY2(child<QWidget>(d.form, name)->isEnabled() == on, qPrintable(name));
        };
        const auto setByProgram = [&](bool on) {
            if (check == QLatin1String("Logcheck"))
                d.form.setLogging(on);
            else if (check == QLatin1String("RoundCheck"))
                d.form.setRounding(on);
            else
                d.form.setIgnoring(on);
        };

        QSignalSpy logging(&d.form, &SettingsDialog::loggingChanged);

        d.click(qPrintable(check));
        enabled(false);
        d.click(qPrintable(check));
        enabled(true);
        for (bool on :
             {false, false, true, true}) { // repeated: Qt emits nothing for an unchanged value
            setByProgram(on);
            enabled(on);
        }
        // Only the user's clicks report logging, not values the program sets.
        if (check == QLatin1String("Logcheck")) {
            QCOMPARE(logging.count(), 2);
            QCOMPARE(logging.at(0).at(0).toBool(), false);
            QCOMPARE(logging.at(1).at(0).toBool(), true);
        } else {
            QCOMPARE(logging.count(), 0);
        }
        QVERIFY(child<QWidget>(d.form, QStringLiteral("Combo1"))->isEnabled());
    }

    void roundingChangesRerunConversion()
    {
        Dialog d;
        d.form.show();
        QSignalSpy reruns(&d.form, &SettingsDialog::roundingChanged);
        d.bar()->setFocus();
        QTest::keyClick(d.bar(), Qt::Key_Home);
        QCOMPARE(d.label(), QStringLiteral("0"));
        QCOMPARE(reruns.count(), 1);

        // Dragging the thumb: the label and the outputs follow every movement, not only the
        // release.
        d.bar()->setSliderDown(true);
        for (int position : {3, 7, 12}) {
            d.bar()->setSliderPosition(position);
            QCOMPARE(d.label(), QString::number(position));
        }
        d.bar()->setSliderDown(false);
        QCOMPARE(reruns.count(), 4);

        d.form.setPlaces(99); // a damaged setting cannot push the bar past its end
        QCOMPARE(d.label(), QStringLiteral("15"));
        QCOMPARE(reruns.count(), 5);

        d.click("RoundCheck"); // off: the digits stay, the outputs lose their rounding at once
        QCOMPARE(reruns.count(), 6);
        QCOMPARE(d.form.places(), 15);
        d.form.setRounding(false); // start-up sets it again unchanged: the conversion still reruns
        QCOMPARE(reruns.count(), 7);
    }

    void addFollowsItsRules_data()
    {
        QTest::addColumn<QStringList>("categories");
        QTest::addColumn<QStringList>("ignored");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("selectedAfter");
        QTest::addColumn<bool>("refused");
        const QString a = QStringLiteral("Время"), b = QStringLiteral("Длина"),
                      c = QStringLiteral("Масса"), e = QStringLiteral("Объем");
        // Start-up adds in file order; the list keeps alphabetical order, case ignored.
        const QString lower = QStringLiteral("время");
        QTest::newRow("alphabetical place, next selected")
            << kFive << QStringList{e, lower} << 1 << QStringList{lower, c, e} << 2 << false;
        QTest::newRow("duplicate does nothing")
            << kFive << QStringList{c, QStringLiteral("масса")} << 1
            << QStringList{c, QStringLiteral("масса")} << 1 << false;
        QTest::newRow("last quantity keeps selection")
            << kFive << QStringList{} << 4 << QStringList{e} << 4 << false;
        QTest::newRow("fifth of five")
            << kFive << kFive.mid(0, 4) << 4 << QStringList{a, b, c, QStringLiteral("Площадь")} << 4
            << true;
        QTest::newRow("only quantity")
            << QStringList{b} << QStringList{} << 0 << QStringList{} << 0 << true;
        // Names the database no longer has hide nothing, so they neither block nor count.
        const QString x = QStringLiteral("Икс"), y = QStringLiteral("Игрек");
        QTest::newRow("stale names do not block")
            << kFive.mid(0, 3) << QStringList{x, y} << 0 << QStringList{b, y, x} << 1 << false;
        QTest::newRow("stale names do not open the last one")
            << kFive.mid(0, 2) << QStringList{x, y, b} << 1 << QStringList{b, y, x} << 1 << true;
        QTest::newRow("no quantities at all")
            << QStringList{} << QStringList{} << -1 << QStringList{} << -1 << false;
    }

    void addFollowsItsRules()
    {
        QFETCH(QStringList, categories);
        QFETCH(QStringList, ignored);
        QFETCH(int, selected);
        QFETCH(QStringList, after);
        QFETCH(int, selectedAfter);
        QFETCH(bool, refused);
        Dialog d;
        d.fill(categories, ignored);
        d.form.selectCategory(selected);
        d.click("Command2");
        QCOMPARE(d.form.ignored(), after);
        QCOMPARE(d.combo()->currentIndex(), selectedAfter);
        QCOMPARE(d.messenger.messages.size(), refused ? 1 : 0);
        if (refused)
            QCOMPARE(d.messenger.messages.first().text,
                     QStringLiteral("Достигнуто минимальное количество величин!"));
    }

    void removeFollowsSelectionRules_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<int>("names");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<int>("selectedAfter");
        const QString a = QStringLiteral("Время"), b = QStringLiteral("Длина"),
                      c = QStringLiteral("Масса");
        for (bool byKey : {false, true}) {
            const char* how = byKey ? "Delete key" : "button";
            QTest::addRow("%s, first of three", how) << byKey << 3 << 0 << QStringList{b, c} << 0;
            QTest::addRow("%s, middle of three", how) << byKey << 3 << 1 << QStringList{a, c} << 1;
            QTest::addRow("%s, last of three", how) << byKey << 3 << 2 << QStringList{a, b} << -1;
            QTest::addRow("%s, nothing selected", how)
                << byKey << 3 << -1 << QStringList{a, b, c} << 2;
            QTest::addRow("%s, empty list", how) << byKey << 0 << -1 << QStringList{} << -1;
        }
    }

    void removeFollowsSelectionRules()
    {
        QFETCH(bool, byKey);
        QFETCH(int, names);
        QFETCH(int, selected);
        QFETCH(QStringList, left);
        QFETCH(int, selectedAfter);
        Dialog d;
        d.form.show();
        d.fill(kFive, QStringList{QStringLiteral("Масса"), QStringLiteral("Время"),
                                  QStringLiteral("Длина")}
                          .mid(0, names));
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

    void reportShowsTextInInformationBox()
    {
        Dialog d;
        d.report = QStringLiteral("Метрованта 1.78\nКатегорий: 3");
        d.click("Command1");
        QCOMPARE(d.messenger.messages.size(), 1);
        const ShownMessage& shown = d.messenger.messages.first();
        QCOMPARE(shown.text, d.report);
        QCOMPARE(shown.title, QStringLiteral("Отчет по базе"));
    }

    void okAndCloseButtonHandBack_data()
    {
        QTest::addColumn<bool>("byCloseButton");
        QTest::newRow("Хорошо") << false;
        QTest::newRow("close button") << true;
    }

    void okAndCloseButtonHandBack()
    {
        QFETCH(bool, byCloseButton);
        Dialog d;
        d.fill(kFive, {QStringLiteral("Масса")});
        d.form.show();
        d.form.setPlaces(3);
        QSignalSpy spy(&d.form, &SettingsDialog::handedBack);
        if (byCloseButton)
            d.form.close();
        else
            d.click("Command4");
        QCOMPARE(spy.count(), 1);
        QVERIFY(d.form.isHidden());
        d.form.show(); // shown again: the values are still there
        QCOMPARE(d.form.places(), 3);
        QCOMPARE(d.form.ignored(), QStringList{QStringLiteral("Масса")});
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settingsdialog_test.moc"
