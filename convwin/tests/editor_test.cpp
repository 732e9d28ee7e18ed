// The database editor driven as a user would: through the main window's "Р" button, the
// editor's own controls, "ОК", shut-down and the next start.
#include "calc/numbertext.h"
#include "convwin/tests/testsupport.h"
#include "dialogs/databaseeditor.h"

#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>

using namespace testsupport;

namespace
{

// Text typed over Аршин's name or coefficient (`box`) and left by `exit` (Enter, Tab, Unit
// or OK): what the database then holds, as the file writes it, or why the text is refused.
struct TypedRow {
    const char* box;
    const char* typed;
    const char* exit;
    const char* stored;
    const char* reason;
};

} // namespace

Q_DECLARE_METATYPE(TypedRow)

class EditorTest : public QObject, private WindowFixture
{
    Q_OBJECT

private:
    template <typename T> T* ed(const char* name)
    {
        return child<T>(m_window->editor(), QLatin1String(name));
    }
    QLineEdit* name() { return ed<QLineEdit>("NameEdit"); }
    QLineEdit* coefficient() { return ed<QLineEdit>("KoefEdit"); }
    void click(const char* button) { QTest::mouseClick(ed<QPushButton>(button), Qt::LeftButton); }
    // Opens the editor on the main window's current category and input unit.
    void openEditor() { QTest::mouseClick(control<QPushButton>("cmdEdit"), Qt::LeftButton); }
    void chooseUnit(int row) { ed<QListWidget>("List1")->setCurrentRow(row); }
    QString lastMessage() const { return m_msg.messages.last().text; }

private slots:
    void init()
    {
        m_msg = ScriptedMessenger();
        makeFolder();
        QVERIFY(start());
        m_msg.messages.clear();
    }
    void cleanup() { removeFolder(); }

    // Looking through units, "ОК" included, stores nothing.
    void opensOnTheMainWindowsUnitAndBrowsingChangesNothing()
    {
        list("SelUnit")->setCurrentIndex(1); // Масса: Грамм, Килограмм, Тонна
        list("InUnit")->setCurrentIndex(2);
        openEditor();
        QCOMPARE(ed<QComboBox>("Combo1")->currentIndex(), 1);
        QCOMPARE(name()->text(), QStringLiteral("Тонна (т)"));
        QCOMPARE(coefficient()->text(), QStringLiteral("1000"));
        ed<QComboBox>("Combo1")->setCurrentIndex(0);
        QVERIFY(!name()->isEnabled()); // no unit chosen
        chooseUnit(0);                 // Ангстрем, 1E-10
        chooseUnit(1);                 // Аршин, 0.7112
        click("Command1");
        QVERIFY(!db().changed());
    }

    // Each way of leaving a box stores what it holds, a coefficient at full precision; a
    // refused text stays in the box to be fixed, with the reason under it, and the database
    // keeps the old value. Only "ОК" says it in a message box, and stays.
    void typedTextIsCommittedOrRefusedInPlace_data()
    {
        QTest::addColumn<TypedRow>("row");
        const char* const k = "KoefEdit";
        const char* const n = "NameEdit";
        const TypedRow rows[] = {
            {k, "1E-10", "Enter", "1E-10", ""},
            {k, "1/8", "Tab", "0.125", ""},
            {k, "sqrt(pi/pi)/8", "Unit", "0.125", ""},
            {k, "1/8", "OK", "0.125", ""},
            {k, "5\u22121", "Enter", "4", ""},
            {k, "(5", "Enter", "0.7112", "Не хватает скобки «)»."},
            {k, "5/0", "Tab", "0.7112", "Деление на ноль не допускается!"},
            {k, "0", "Enter", "0.7112", "Нужно число больше нуля."},
            {k, "abc", "OK", "0.7112", "Это не число."},
            {n, "Ярд (ярд)", "Enter", "Ярд (ярд)", ""},
            {n, "**", "Tab", "**", ""},
            {n, " Аршин, старый", "Enter", " Аршин, старый", ""},
            {n, " Аршин \"старый\"", "Enter", "Аршин (арш)",
             "Кавычка недопустима в имени с запятой или пробелом в начале."},
            {n, "\"Аршин", "Enter", "Аршин (арш)", "Кавычка в начале недопустима."},
            {n, "*", "Enter", "Аршин (арш)", "Имя «*» недопустимо."},
            {n, "м²", "Enter", "Аршин (арш)", "Символ «²» недопустим."},
            {n, "Метр (м)", "OK", "Аршин (арш)", "Такая единица уже есть."}};
        for (const TypedRow& row : rows)
            QTest::addRow("%s: %s, %s", row.box, row.typed, row.exit) << row;
    }
    void typedTextIsCommittedOrRefusedInPlace()
    {
        QFETCH(TypedRow, row);
        const QString exit = QLatin1String(row.exit);
        const QString typed = QString::fromUtf8(row.typed);
        const QString reason = QString::fromUtf8(row.reason);
        const bool isName = row.box == std::string_view("NameEdit");
        openEditor();
        QVERIFY(QTest::qWaitForWindowActive(m_window->editor()));
        chooseUnit(1); // Аршин (арш), 0.7112
        auto* box = ed<QLineEdit>(row.box);
        retype(box, typed);
        if (exit == "Enter")
            QTest::keyClick(box, Qt::Key_Return);
        else if (exit == "Tab")
            ed<QPlainTextEdit>("DescEdit")->setFocus(Qt::TabFocusReason);
        else if (exit == "Unit")
            chooseUnit(2);
        else
            click("Command1");
        const unitdb::Unit& unit = db().unit(0, 1);
        const std::string stored = isName ? unit.name : calc::numberText(unit.coefficient);
        QCOMPARE(stored, std::string(row.stored));
        QCOMPARE(db().changed(), reason.isEmpty());
        const bool kept = exit == "OK" && !reason.isEmpty();
        QCOMPARE(m_msg.messages.size(), kept ? 1 : 0);
        QCOMPARE(ed<QLabel>(isName ? "NameReason" : "KoefReason")->toolTip(), reason);
        QCOMPARE(m_window->editor()->isVisible(), exit != "OK" || kept);
        if (exit == "Enter" || exit == "Tab")
            QCOMPARE(box->text(), isName || !reason.isEmpty() ? typed : num(row.stored));
    }

    // A long run without a blank is laid out in cuts (its speed: bench/largeinput_bench) but
    // stored as typed, without them.
    void longDescriptionIsKeptExactly()
    {
        const QString run(5000, u'ж');
        QVERIFY(db().setDescription(0, 0, ui::utf8(run)).ok());
        list("InUnit")->setCurrentIndex(0);
        openEditor();
        auto* box = ed<QPlainTextEdit>("DescEdit");
        box->grab();
        box->moveCursor(QTextCursor::End);
        QGuiApplication::clipboard()->setText(run + QStringLiteral("\n!"));
        box->paste();
        box->grab();
        click("Command1");
        QCOMPARE(db().unit(0, 0).description, ui::utf8(run + run + QStringLiteral(" !")));
    }

    // A cancelled new category adds nothing; a full category or database is refused with a
    // message, there being no box to show the reason beside.
    void cancelledOrOverfullAddsNothing()
    {
        openEditor();
        click("Command3"); // cancelled
        QCOMPARE(db().size(), 4u);
        for (std::size_t i = (db())[0].units.size(); i <= unitdb::kMaxUnits; ++i)
            click("Command2");
        QCOMPARE((db())[0].units.size(), unitdb::kMaxUnits);
        QCOMPARE(lastMessage(), QStringLiteral("В разделе не может быть больше 101 единицы."));
        while (db().size() < unitdb::kMaxQuantities) {
            m_msg.inputAnswers.enqueue(QStringLiteral("Раздел %1").arg(db().size()));
            click("Command3");
        }
        m_msg.inputAnswers.enqueue(QStringLiteral("Лишний"));
        click("Command3");
        QCOMPARE(db().size(), unitdb::kMaxQuantities);
        QCOMPARE(lastMessage(), QStringLiteral("В базе не может быть больше 51 раздела."));
    }

    // A deletion asks first, and leaves a quantity its last unit and the database its last
    // quantity; "ОК" shows what is left.
    void deletionAsksFirstAndKeepsTheLastOne()
    {
        list("InUnit")->setCurrentIndex(0);
        openEditor(); // Длина, Ангстрем
        click("cmdDeleteUnit");
        QCOMPARE(lastMessage(), QStringLiteral("Удалить единицу «Ангстрем (А)»?")); // No
        m_msg.answers << MsgAnswer::Yes;
        click("cmdDeleteUnit");
        QCOMPARE((db())[0].units.size(), 4u);
        QVERIFY(!name()->isEnabled());
        ed<QComboBox>("Combo1")->setCurrentIndex(3); // Одна
        chooseUnit(0);
        click("cmdDeleteUnit");
        QCOMPARE(lastMessage(), QStringLiteral("В разделе должна остаться хотя бы одна единица."));
        m_msg.answers << MsgAnswer::Yes << MsgAnswer::Yes << MsgAnswer::Yes;
        for (int i = 0; i < 4; ++i) // Одна, Пустая, Масса, and Длина is kept
            click("cmdDeleteCategory");
        QCOMPARE(lastMessage(), QStringLiteral("В базе должен остаться хотя бы один раздел."));
        click("Command1");
        QCOMPARE(items("SelUnit"), QStringList{QStringLiteral("Длина")});
        QCOMPARE(list("InUnit")->count(), 4);
    }

    // Every change is a step: Ctrl+Z, from a box too, takes them back in turn to what was
    // loaded, typing not yet stored first; Ctrl+Y and Ctrl+Shift+Z make them again.
    void changesAreTakenBackToWhatWasLoadedAndMadeAgain()
    {
        list("InUnit")->setCurrentIndex(0);
        openEditor(); // Длина, Ангстрем
        QVERIFY(QTest::qWaitForWindowActive(m_window->editor()));
        const auto loaded = db().quantities();
        retype(name(), QStringLiteral("Ярд (ярд)"));
        m_msg.answers << MsgAnswer::Yes;
        click("cmdDeleteUnit"); // the name first: two steps
        m_msg.inputAnswers.enqueue(QStringLiteral("Время"));
        click("Command3");
        const auto edited = db().quantities();
        typeText(name(), QStringLiteral("Час"));
        QTest::keyClick(name(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(db().quantities(), edited);
        auto* units = ed<QListWidget>("List1");
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(units, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(db().quantities(), loaded);
        QCOMPARE(name()->text(), QStringLiteral("Ангстрем (А)"));
        QVERIFY(!ed<QPushButton>("cmdUndo")->isEnabled());
        QTest::keyClick(name(), Qt::Key_Y, Qt::ControlModifier);
        QTest::keyClick(name(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        click("cmdRedo");
        QCOMPARE(db().quantities(), edited);
        for (int i = 0; i < 3; ++i)
            click("cmdUndo");
        click("Command1");
        m_msg.messages.clear();
        m_window->shutDown();
        QVERIFY(m_msg.messages.isEmpty()); // as loaded: nothing to save
    }

    // "ОК" shows the edits in the main window, which keeps its choices; Base.dat is written
    // byte for byte, and the next start sorts what the editor appended.
    void editsAreShownSavedAndFoundSortedAtTheNextStart()
    {
        list("InUnit")->setCurrentIndex(3);
        openEditor();
        retype(name(), QStringLiteral("Бар (б)")); // Метр
        m_msg.inputAnswers.enqueue(QStringLiteral("Время, сутки"));
        click("Command3");
        retype(name(), QStringLiteral("Секунда (с)"));
        click("Command2");
        retype(name(), QStringLiteral("Минута (мин)"));
        retype(coefficient(), QStringLiteral("60"));
        click("Command1");
        QCOMPARE(list("InUnit")->currentText(), QStringLiteral("Бар (б)"));
        QCOMPARE(items("SelUnit").last(), QStringLiteral("Время, сутки"));
        QCOMPARE(control<QLabel>("LblUnit")->text(), QStringLiteral("Минута (мин)")); // left chosen
        openEditor(); // and left open at the end, its typing not yet stored
        QGuiApplication::clipboard()->setText(QStringLiteral("Основная единица\nдлины."));
        ed<QPlainTextEdit>("DescEdit")->selectAll();
        ed<QPlainTextEdit>("DescEdit")->paste();
        m_msg.answers << MsgAnswer::Yes;
        m_window->shutDown();
        const std::string expected =
            crlf("Длина\n"
                 "Ангстрем (А),1E-10\nДля длин волн.\n"
                 "Аршин (арш),0.7112\nСтарая русская мера.\n"
                 "Верста,1066.8\nПятьсот саженей.\n"
                 "Бар (б),1\nОсновная единица длины.\n"
                 "Сантиметр (см),0.01\n\n"
                 "*\n"
                 "Масса\nГрамм (г),0.001\nТысячная доля килограмма.\n"
                 "Килограмм (кг),1\nМасса эталона.\nТонна (т),1000\nТысяча килограммов.\n*\n"
                 "Пустая\n*\n"
                 "Одна\nШтука (шт),1\nЕдинственная.\n*\n"
                 "\"Время, сутки\"\nСекунда (с),1\n\nМинута (мин),60\n\n*\n");
        QCOMPARE(readBytes(path("Base.dat")), unitdb::encodeCp1251(expected).bytes);
        QVERIFY(start());
        QCOMPARE(db().unit(4, 0).name, std::string("Минута (мин)"));
        QCOMPARE(list("SelUnit")->count(), 5);
    }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
