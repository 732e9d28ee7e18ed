// The find box through the real window: Ctrl+F or F3, typing, choosing, Esc.
#include "convwin/conversionwindow.h"
#include "convwin/tests/testsupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>

using namespace testsupport;

class FindBoxTest : public QObject, private WindowFixture
{
    Q_OBJECT

private:
    QComboBox* list(const QString& name) { return control<QComboBox>(name); }
    QListWidget* found() { return control<QListWidget>(QStringLiteral("FindList")); }
    // Starts the window shown and active: the shortcuts need that.
    void startShown()
    {
        QVERIFY(start());
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }
    // Opens the box from the control named `focus` and types the query.
    void openAndType(const QString& focus, const QKeySequence& keys, const QString& query)
    {
        control<QWidget>(focus)->setFocus();
        QTest::keySequence(control<QWidget>(focus), keys);
        QVERIFY(control<QWidget>(QStringLiteral("FindBox"))->isVisible());
        typeText(control<QLineEdit>(QStringLiteral("FindText")), query);
    }
    QStringList rows()
    {
        QStringList texts;
        for (int i = 0; i < found()->count(); ++i)
            texts << found()->item(i)->text();
        return texts;
    }

private slots:
    void init() { enterFolder(); }
    void cleanup() { leaveFolder(); }

    void typingListsMatchesOfShownQuantities_data()
    {
        QTest::addColumn<QString>("ignored");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        const QStringList none{"Ничего не найдено"};
        QTest::newRow("symbol, then inside")
            << ""
            << "М"
            << QStringList{"Метр (м) — Длина", "Ангстрем (А) — Длина", "Грамм (г) — Масса",
                           "Килограмм (кг) — Масса", "Сантиметр (см) — Длина"};
        QTest::newRow("start, then inside")
            << ""
            << "гр" << QStringList{"Грамм (г) — Масса", "Килограмм (кг) — Масса"};
        QTest::newRow("Latin layout") << ""
                                      << "dthcn" << QStringList{"Верста — Длина"};
        QTest::newRow("nothing") << ""
                                 << "ящик" << none;
        QTest::newRow("ignored quantity") << "Масса\n"
                                          << "гр" << none;
    }
    void typingListsMatchesOfShownQuantities()
    {
        QFETCH(QString, ignored);
        QFETCH(QString, query);
        QFETCH(QStringList, expected);
        writeCp1251(path(QStringLiteral("Ignore.ini")), ignored.toStdString());
        startShown();
        openAndType(QStringLiteral("InText"), QKeySequence(Qt::Key_F3), query);
        QCOMPARE(rows(), expected);
        QCOMPARE(bool(found()->item(0)->flags() & Qt::ItemIsEnabled),
                 expected.first() != QStringLiteral("Ничего не найдено"));
    }

    void choosingFillsTheFocusedRowAndKeepsTheOthers_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("downs"); // then Enter; -1: a click on the first row
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("out0");
        QTest::newRow("input line") << "InText"
                                    << "т" << 0 << "InUnit" << 1 << 2 << "7112000";
        QTest::newRow("output 2, Down") << "OutUnit_2"
                                        << "м" << 2 << "OutUnit_2" << 1 << 0 << num("7.112");
        QTest::newRow("help 3") << "CmdHelp_3"
                                << "кг" << 0 << "OutUnit_3" << 1 << 1 << num("7.112");
        QTest::newRow("same quantity, click") << "OutUnit_0"
                                              << "арш" << -1 << "OutUnit_0" << 0 << 1 << "10000";
    }
    void choosingFillsTheFocusedRowAndKeepsTheOthers()
    {
        QFETCH(QString, focus);
        QFETCH(QString, query);
        QFETCH(int, downs);
        QFETCH(QString, target);
        QFETCH(int, category);
        QFETCH(int, slot);
        QFETCH(QString, out0);
        startShown();
        const QStringList names{"InUnit", "OutUnit_0", "OutUnit_1", "OutUnit_2", "OutUnit_3"};
        for (int r = 0; r < 5; ++r) // Метр, then Аршин .. Сантиметр
            list(names[r])->setCurrentIndex(r == 0 ? 3 : r);
        control<QLineEdit>(QStringLiteral("InText"))->setText(QStringLiteral("7112"));

        openAndType(focus, QKeySequence(Qt::CTRL | Qt::Key_F), query);
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(control<QLineEdit>(QStringLiteral("FindText")), Qt::Key_Down);
        if (downs < 0)
            QTest::mouseClick(found()->viewport(), Qt::LeftButton, {},
                              found()->visualItemRect(found()->item(0)).center());
        else
            QTest::keyClick(control<QLineEdit>(QStringLiteral("FindText")), Qt::Key_Return);

        QVERIFY(!control<QWidget>(QStringLiteral("FindBox"))->isVisible());
        QCOMPARE(list(QStringLiteral("SelUnit"))->currentIndex(), category);
        for (int r = 0; r < 5; ++r) {
            const int kept = r == 0 ? 3 : r;
            const int expected = names[r] == target ? slot : category == 0 || kept < 3 ? kept : 0;
            QCOMPARE(list(names[r])->currentIndex(), expected);
        }
        QCOMPARE(control<QLineEdit>(QStringLiteral("OutText_0"))->text(), out0);
        auto* in = control<QLineEdit>(QStringLiteral("InText"));
        QVERIFY(in->hasFocus());
        QCOMPARE(in->selectedText(), QStringLiteral("7112"));
    }

    void escapeClosesAndChangesNothing()
    {
        startShown();
        openAndType(QStringLiteral("OutUnit_1"), QKeySequence(Qt::Key_F3), QStringLiteral("кг"));
        QTest::keyClick(control<QLineEdit>(QStringLiteral("FindText")), Qt::Key_Escape);
        QVERIFY(!control<QWidget>(QStringLiteral("FindBox"))->isVisible());
        QCOMPARE(list(QStringLiteral("SelUnit"))->currentIndex(), 0);
        QCOMPARE(list(QStringLiteral("OutUnit_1"))->currentIndex(), 0);
    }
};

QTEST_MAIN(FindBoxTest)
#include "findbox_test.moc"
