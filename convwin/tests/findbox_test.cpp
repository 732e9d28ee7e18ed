// The find box through the real window: Ctrl+F or F3, typing, choosing, Esc.
#include "convwin/tests/testsupport.h"

#include <QListWidget>

using namespace testsupport;

struct Query {
    QString ignored, text; // Ignore.ini, the query
    QStringList rows;
};
// `downs`: Down presses before Enter, -1 a click on the first row, -2 Esc; `row`: the row that
// gets the unit (0 input, 1 to 4 outputs, -1 none).
struct Choice {
    QString focus, query;
    int downs, row, category, slot;
    QString out0;
};
Q_DECLARE_METATYPE(Query)
Q_DECLARE_METATYPE(Choice)

class FindBoxTest : public QObject, private WindowFixture
{
    Q_OBJECT

private:
    QListWidget* found() { return control<QListWidget>("FindList"); }
    QLineEdit* findText() { return line("FindText"); }
    bool boxShown() { return control<QWidget>("FindBox")->isVisible(); }
    // Starts the window active (shortcuts need that), with Метр in the input row and Аршин to
    // Сантиметр in the output rows, then opens the box from `focus` and types the query.
    void open(const QString& focus, const QKeySequence& keys, const QString& query)
    {
        QVERIFY(start());
        for (int r = 0; r < 5; ++r)
            list(kUnitLists[r])->setCurrentIndex(r == 0 ? 3 : r);
        line("InText")->setText("7112");
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        control<QWidget>(focus)->setFocus();
        QTest::keySequence(control<QWidget>(focus), keys);
        QVERIFY(boxShown());
        typeText(findText(), query);
    }

private slots:
    void init() { enterFolder(); }
    void cleanup() { leaveFolder(); }

    void typingListsMatchesOfShownQuantities_data()
    {
        QTest::addColumn<Query>("q");
        QTest::newRow("symbol first") << Query{
            "", "Г", {"Грамм (г) — Масса", "Ангстрем (А) — Длина", "Килограмм (кг) — Масса"}};
        QTest::newRow("Latin layout") << Query{"", "dthcn", {"Верста — Длина"}};
        QTest::newRow("ignored quantity") << Query{"Масса\n", "гр", {"Ничего не найдено"}};
    }
    void typingListsMatchesOfShownQuantities()
    {
        QFETCH(Query, q);
        writeCp1251(path("Ignore.ini"), q.ignored.toStdString());
        open("InText", QKeySequence(Qt::Key_F3), q.text);
        QStringList rows;
        for (int i = 0; i < found()->count(); ++i)
            rows << found()->item(i)->text();
        QCOMPARE(rows, q.rows);
        // Only the ignored-quantity row finds nothing; its one row cannot be chosen.
        QCOMPARE(found()->item(0)->flags() == Qt::NoItemFlags, !q.ignored.isEmpty());
    }

    void choosingFillsTheFocusedRowAndKeepsTheOthers_data()
    {
        QTest::addColumn<Choice>("c");
        QTest::newRow("input line") << Choice{"InText", "т", 0, 0, 1, 2, "7112000"};
        QTest::newRow("output 2, Down") << Choice{"OutUnit_2", "м", 2, 3, 1, 0, num("7.112")};
        QTest::newRow("help 3") << Choice{"CmdHelp_3", "кг", 0, 4, 1, 1, num("7.112")};
        QTest::newRow("same quantity, click") << Choice{"OutUnit_0", "арш", -1, 1, 0, 1, "10000"};
        QTest::newRow("Esc changes nothing") << Choice{"OutUnit_0", "кг", -2, -1, 0, 0, "10000"};
    }
    void choosingFillsTheFocusedRowAndKeepsTheOthers()
    {
        QFETCH(Choice, c);
        open(c.focus, QKeySequence(Qt::CTRL | Qt::Key_F), c.query);
        for (int i = 0; i < c.downs; ++i)
            QTest::keyClick(findText(), Qt::Key_Down);
        if (c.downs == -2)
            QTest::keyClick(findText(), Qt::Key_Escape);
        else if (c.downs == -1)
            QTest::mouseClick(found()->viewport(), Qt::LeftButton, {},
                              found()->visualItemRect(found()->item(0)).center());
        else
            QTest::keyClick(findText(), Qt::Key_Return);

        QVERIFY(!boxShown());
        QCOMPARE(list("SelUnit")->currentIndex(), c.category);
        for (int r = 0; r < 5; ++r) {
            const int kept = r == 0 ? 3 : r; // Масса has three units
            const int expected = r == c.row ? c.slot : c.category == 0 || kept < 3 ? kept : 0;
            QCOMPARE(list(kUnitLists[r])->currentIndex(), expected);
        }
        QCOMPARE(line("OutText_0")->text(), c.out0);
        QCOMPARE(line("InText")->hasFocus() && line("InText")->selectedText() == "7112",
                 c.row >= 0);
    }
};

QTEST_MAIN(FindBoxTest)
#include "findbox_test.moc"
