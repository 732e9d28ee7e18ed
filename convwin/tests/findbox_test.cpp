// The find box through the real window: opened by Ctrl+F from any row, a query typed,
// a match chosen by Enter, Down or a click, or nothing by Esc; then the input line waits.
#include "convwin/tests/testsupport.h"

#include <QListWidget>
#include <QScreen>

using namespace testsupport;
using namespace Qt::StringLiterals;

// `downs`: Down presses before Enter, -1 a click on the first row, -2 Esc; `row`: the row that
// gets the unit (0 input, 1 to 4 outputs, -1 none).
struct Choice {
    QString ignored, focus, query;
    int downs, row, category, slot;
    QString out0;
};
Q_DECLARE_METATYPE(Choice)

class FindBoxTest : public QObject, private WindowFixture
{
    Q_OBJECT

private slots:
    void init() { makeFolder(); }
    void cleanup() { removeFolder(); }

    void choosingFillsTheFocusedRowAndKeepsTheOthers_data()
    {
        QTest::addColumn<Choice>("c");
        QTest::newRow("input line") << Choice{"", "InText", "т", 0, 0, 1, 2, "7112000000"};
        QTest::newRow("output 2, Down") << Choice{"", "OutUnit_2", "м", 2, 3, 1, 0, "7112000"};
        QTest::newRow("help 3") << Choice{"", "CmdHelp_3", "кг", 0, 4, 1, 1, "7112000"};
        QTest::newRow("same quantity, click")
            << Choice{"", "OutUnit_0", "арш", -1, 1, 0, 1, "10000"};
        QTest::newRow("Esc changes nothing")
            << Choice{"", "OutUnit_0", "кг", -2, -1, 0, 0, "10000"};
        // Грамм would match, but its quantity is hidden: nothing to choose, the box stays.
        QTest::newRow("ignored quantity")
            << Choice{"Масса\n", "InText", "гр", 0, -1, 0, 0, "10000"};
    }
    // The window starts with Метр in the input row and Аршин to Сантиметр in the output rows.
    // Another quantity's unit takes the others to that quantity's own units.
    void choosingFillsTheFocusedRowAndKeepsTheOthers()
    {
        QFETCH(Choice, c);
        writeCp1251(path("Ignore.ini"), c.ignored.toStdString());
        QVERIFY(start());
        for (int r = 0; r < 5; ++r)
            list(kUnitLists[r])->setCurrentIndex(r == 0 ? 3 : r);
        line("InText")->setText("7112");
        m_window->show();
        QApplication::setActiveWindow(m_window.get()); // shortcuts need an active window
        control<QWidget>(c.focus)->setFocus();
        QTest::keySequence(control<QWidget>(c.focus), QKeySequence(Qt::CTRL | Qt::Key_F));
        auto* found = control<QListWidget>("FindList");
        typeText(line("FindText"), c.query);
        for (int i = 0; i < c.downs; ++i)
            QTest::keyClick(line("FindText"), Qt::Key_Down);
        if (c.downs == -2)
            QTest::keyClick(line("FindText"), Qt::Key_Escape);
        else if (c.downs == -1)
            QTest::mouseClick(found->viewport(), Qt::LeftButton, {},
                              found->visualItemRect(found->item(0)).center());
        else
            QTest::keyClick(line("FindText"), Qt::Key_Return);

        QCOMPARE(control<QWidget>("FindBox")->isVisible(), !c.ignored.isEmpty());
        QCOMPARE(list("SelUnit")->currentIndex(), c.category);
        for (int r = 0; r < 5; ++r) {
            const int firstUse[] = {1, 0, 2, 0, 2}; // Масса: Килограмм, then the other two
            const int other = c.category == 0 ? (r == 0 ? 3 : r) : firstUse[r];
            QCOMPARE(list(kUnitLists[r])->currentIndex(), r == c.row ? c.slot : other);
        }
        QCOMPARE(line("OutText_0")->text(), c.out0);
        if (c.row >= 0) { // ready for the next value
            QCOMPARE(QApplication::focusWidget(), line("InText"));
            QCOMPARE(line("InText")->selectedText(), u"7112"_s);
        }
    }

    // As wide as a long row, so the name is not cut; never wider than the screen, nor off it.
    void boxIsAsWideAsItsRowsWithinTheScreen()
    {
        for (const int length : {60, 600}) {
            writeCp1251(path("Base.dat"), "Длина\nМетр,1\n\n*\n" +
                                              QString(length, u'ж').toStdString() +
                                              "\nЛокоть,1\n\nПядь,2\n\n*\n");
            QVERIFY(start());
            m_window->show();
            QApplication::setActiveWindow(m_window.get());
            QTest::keySequence(line("InText"), QKeySequence(Qt::Key_F3));
            typeText(line("FindText"), "лок");
            auto* box = control<QWidget>("FindBox");
            auto* found = control<QListWidget>("FindList");
            const QRect screen = box->screen()->availableGeometry();
            QVERIFY(screen.contains(box->geometry()));
            QVERIFY(found->fontMetrics().horizontalAdvance(found->item(0)->text()) <=
                        found->viewport()->width() ||
                    box->width() == screen.width());
        }
    }
};

QTEST_MAIN(FindBoxTest)
#include "findbox_test.moc"
