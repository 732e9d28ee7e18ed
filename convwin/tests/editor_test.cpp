// The database editor driven as a user would: through the main window's "Р"
// button, the editor's own controls, "ОК", shut-down and the next start.
#include "calc/numbertext.h"
#include "convwin/conversionwindow.h"
#include "convwin/tests/testsupport.h"
#include "dialogs/databaseeditor.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/tests/scriptedmessenger.h"
#include "unitdb/basefile.h"
#include "unitdb/unittables.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace testsupport;

class EditorTest : public QObject, private WindowFixture
{
    Q_OBJECT

private:
    DatabaseEditor* editor() { return m_window->editor(); }
    template <typename T> T* ed(const char* name)
    {
        return child<T>(editor(), QLatin1String(name));
    }
    template <typename T> T* main(const char* name)
    {
        return child<T>(m_window.get(), QLatin1String(name));
    }
    QLineEdit* coefficient() { return ed<QLineEdit>("KoefEdit"); }
    // Opens the editor on the main window's current category and input unit.
    void openEditor()
    {
        QTest::mouseClick(main<QPushButton>("cmdEdit"), Qt::LeftButton);
        QVERIFY(editor()->isVisible());
        QVERIFY(!m_window->isEnabled());
    }
    void chooseUnit(int row) { ed<QListWidget>("List1")->setCurrentRow(row); }
    void retype(QLineEdit* box, const QString& text)
    {
        box->setFocus();
        box->selectAll();
        typeText(box, text);
    }
    // A new category with two units, then "ОК".
    void addTimeCategoryAndClose()
    {
        m_msg.inputAnswers.enqueue(QStringLiteral("Время"));
        QTest::mouseClick(ed<QPushButton>("Command3"), Qt::LeftButton);
        retype(ed<QLineEdit>("NameEdit"), QStringLiteral("Секунда (с)"));
        QTest::mouseClick(ed<QPushButton>("Command2"), Qt::LeftButton);
        retype(ed<QLineEdit>("NameEdit"), QStringLiteral("Минута (мин)"));
        retype(coefficient(), QStringLiteral("60"));
        QTest::mouseClick(ed<QPushButton>("Command1"), Qt::LeftButton);
    }
    double storedCoefficient(int c, int s) const
    {
        return m_tables->coefficients[static_cast<std::size_t>(c)][static_cast<std::size_t>(s)];
    }

private slots:
    void init()
    {
        enterFolder();
        QVERIFY(start());
        m_msg.messages.clear();
    }
    void cleanup() { leaveFolder(); }

    void openingShowsTheMainWindowsCategoryAndUnitAndStoresNothing()
    {
        main<QComboBox>("SelUnit")->setCurrentIndex(1); // Масса: Грамм, Килограмм, Тонна
        main<QComboBox>("InUnit")->setCurrentIndex(2);
        openEditor();
        QCOMPARE(ed<QComboBox>("Combo1")->currentIndex(), 1);
        QCOMPARE(ed<QListWidget>("List1")->currentRow(), 2);
        QCOMPARE(ed<QLineEdit>("NameEdit")->text(), QStringLiteral("Тонна (т)"));
        QCOMPARE(coefficient()->text(), QStringLiteral("1000"));
        QCOMPARE(ed<QPlainTextEdit>("DescEdit")->toPlainText(),
                 QStringLiteral("Тысяча килограммов."));
        ed<QComboBox>("Combo1")->setCurrentIndex(0);
        chooseUnit(1);
        QVERIFY(!m_tables->changed);
    }

    // Each way of leaving the box stores what it evaluates to, at the calculator's full
    // precision, or keeps the stored value and says why beside the box.
    void coefficientIsCommittedOnLeavingTheBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("exit");
        QTest::addColumn<double>("stored");
        QTest::addColumn<QString>("reason");
        const double kept = 0.7112;
        const char* const notPositive = "Нужно число больше нуля.";
        const struct {
            const char* typed;
            const char* exit;
            double stored;
            const char* reason;
        } rows[] = {{"1E-10", "Enter", 1e-10, ""},
                    {"1/3", "Enter", 0.333333333333333, ""},
                    {"1/8", "Tab", 0.125, ""},
                    {"1/8", "Unit", 0.125, ""},
                    {"1/8", "OK", 0.125, ""},
                    {"5\u22121", "Enter", 4.0, ""},
                    {"2\u00D7\u00A03", "Enter", 6.0, ""},
                    {"(5", "Enter", kept, "Не хватает скобки «)»."},
                    {"5/0", "Tab", kept, "Деление на ноль не допускается!"},
                    {"0", "Enter", kept, notPositive},
                    {"-2", "Enter", kept, notPositive},
                    {"1e-400", "Enter", kept, notPositive},
                    {"abc", "OK", kept, notPositive}};
        for (const auto& r : rows)
            QTest::addRow("%s, %s", r.typed, r.exit) << r.typed << r.exit << r.stored << r.reason;
    }
    void coefficientIsCommittedOnLeavingTheBox()
    {
        QFETCH(QString, typed);
        QFETCH(QString, exit);
        QFETCH(double, stored);
        QFETCH(QString, reason);
        openEditor();
        QVERIFY(QTest::qWaitForWindowActive(editor()));
        chooseUnit(1); // Аршин, 0.7112
        retype(coefficient(), typed);
        if (exit == QLatin1String("Enter"))
            QTest::keyClick(coefficient(), Qt::Key_Return);
        else if (exit == QLatin1String("Tab"))
            ed<QPlainTextEdit>("DescEdit")->setFocus(Qt::TabFocusReason);
        else if (exit == QLatin1String("Unit"))
            chooseUnit(2);
        else
            QTest::mouseClick(ed<QPushButton>("Command1"), Qt::LeftButton);
        QCOMPARE(editor()->isVisible(), exit != QLatin1String("OK"));
        QCOMPARE(m_window->isEnabled(), !editor()->isVisible());
        QCOMPARE(storedCoefficient(0, 1), stored);
        QCOMPARE(m_tables->changed, reason.isEmpty());
        QVERIFY(m_msg.messages.isEmpty()); // never a modal box
        QCOMPARE(ed<QLabel>("KoefReason")->toolTip(), reason);
        if (exit == QLatin1String("Enter") || exit == QLatin1String("Tab"))
            QCOMPARE(coefficient()->text(),
                     reason.isEmpty() ? num(calc::numberText(stored).c_str()) : typed);
    }

    void commaSeparatorRoundTrips()
    {
        if (QLocale::system().decimalPoint() != QStringLiteral(","))
            QSKIP("needs a locale with a decimal comma (run with LC_ALL=ru_RU.UTF-8)");
        openEditor();
        chooseUnit(1); // Аршин, 0.7112
        QCOMPARE(coefficient()->text(), QStringLiteral("0,7112"));
        retype(coefficient(), QStringLiteral("0,5"));
        QTest::keyClick(coefficient(), Qt::Key_Return);
        QCOMPARE(storedCoefficient(0, 1), 0.5);
        m_tables->changed = false;
        chooseUnit(0);
        chooseUnit(1);
        QCOMPARE(coefficient()->text(), QStringLiteral("0,5"));
        QVERIFY(!m_tables->changed);
        // The main window's outputs follow the same separator.
        editor()->close();
        main<QLineEdit>("InText")->setText(QStringLiteral("1.5"));
        QVERIFY(main<QLineEdit>("OutText_0")->text().contains(QLatin1Char(',')));
    }

    // A name is checked while it is typed and stored on Enter; a refused one stays in the
    // box, so it can still be fixed, and the tables keep the old name.
    void namesAreCommittedOrRefusedInPlace_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("deletedFromStart");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("reason");
        const char* const kept = "Метр (м)";
        const struct {
            const char* typed;
            int deleted;
            const char* stored;
            const char* reason;
        } rows[] = {{"Ярд (ярд)", 0, "Ярд (ярд)", ""},
                    {"**", 0, "**", ""},
                    {"1 дюйм", 2, "дюйм", ""},
                    {"Метр, эталонный", 0, kept, "Запятая недопустима."},
                    {"\"Метр", 0, kept, "Кавычка в начале недопустима."},
                    {"*", 0, kept, "Имя «*» недопустимо."},
                    {"м²", 0, kept, "Символ «²» недопустим."},
                    {"Аршин (арш)", 0, kept, "Такая единица уже есть."}};
        for (const auto& r : rows)
            QTest::newRow(r.typed) << r.typed << r.deleted << r.stored << r.reason;
    }
    void namesAreCommittedOrRefusedInPlace()
    {
        QFETCH(QString, typed);
        QFETCH(int, deletedFromStart);
        QFETCH(QString, stored);
        QFETCH(QString, reason);
        openEditor();
        chooseUnit(3);
        auto* name = ed<QLineEdit>("NameEdit");
        retype(name, typed);
        QTest::keyClick(name, Qt::Key_Home);
        for (int i = 0; i < deletedFromStart; ++i)
            QTest::keyClick(name, Qt::Key_Delete);
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(QString::fromStdString(m_tables->unitNames[0][3]), stored);
        QCOMPARE(ed<QListWidget>("List1")->item(3)->text(), stored);
        QCOMPARE(ed<QLabel>("NameReason")->toolTip(), reason);
        QCOMPARE(name->text(), reason.isEmpty() ? stored : typed);
        QVERIFY(m_msg.messages.isEmpty());
    }

    void newUnitAndNewCategoryAppearAtTheEnd()
    {
        openEditor();
        QTest::mouseClick(ed<QPushButton>("Command2"), Qt::LeftButton);
        auto* list = ed<QListWidget>("List1");
        QCOMPARE(list->currentRow(), 5);
        QCOMPARE(coefficient()->text(), QStringLiteral("1"));
        QCOMPARE(m_tables->unitCount[0], 6);
        QVERIFY(ed<QLineEdit>("NameEdit")->hasFocus() || !editor()->isActiveWindow());

        m_msg.inputAnswers.enqueue(QStringLiteral("Время"));
        QTest::mouseClick(ed<QPushButton>("Command3"), Qt::LeftButton);
        QCOMPARE(m_msg.inputs.last().prompt,
                 QStringLiteral("Введите новую категорию единиц измерения."));
        QCOMPARE(ed<QComboBox>("Combo1")->currentIndex(), 4);
        QCOMPARE(m_tables->categoryCount, 5);
        QCOMPARE(list->count(), 1);
        // Listed only in the editor until the next start.
        QCOMPARE(main<QComboBox>("SelUnit")->count(), 4);

        const int before = m_tables->categoryCount;
        QTest::mouseClick(ed<QPushButton>("Command3"), Qt::LeftButton); // cancelled
        m_msg.inputAnswers.enqueue(QStringLiteral("Масса"));
        QTest::mouseClick(ed<QPushButton>("Command3"), Qt::LeftButton);
        QCOMPARE(m_tables->categoryCount, before);
        QCOMPARE(m_msg.messages.last().text,
                 QStringLiteral("Категория «Масса» не добавлена: Такая категория уже есть."));
    }

    void capacityIsRefusedWithAMessage()
    {
        openEditor();
        for (int i = m_tables->unitCount[0]; i < unitdb::kMaxUnits; ++i)
            QTest::mouseClick(ed<QPushButton>("Command2"), Qt::LeftButton);
        QCOMPARE(m_tables->unitCount[0], unitdb::kMaxUnits);
        QTest::mouseClick(ed<QPushButton>("Command2"), Qt::LeftButton);
        QCOMPARE(m_tables->unitCount[0], unitdb::kMaxUnits);
        QCOMPARE(m_msg.messages.last().text,
                 QStringLiteral("В разделе не может быть больше 101 единицы."));

        while (m_tables->categoryCount < unitdb::kMaxCategories) {
            m_msg.inputAnswers.enqueue(QStringLiteral("Раздел %1").arg(m_tables->categoryCount));
            QTest::mouseClick(ed<QPushButton>("Command3"), Qt::LeftButton);
        }
        m_msg.inputAnswers.enqueue(QStringLiteral("Лишний"));
        QTest::mouseClick(ed<QPushButton>("Command3"), Qt::LeftButton);
        QCOMPARE(m_tables->categoryCount, unitdb::kMaxCategories);
        QCOMPARE(m_msg.messages.last().text,
                 QStringLiteral("В базе не может быть больше 51 раздела."));
    }

    void okRefreshesTheMainWindowAndKeepsItsSelections()
    {
        main<QComboBox>("InUnit")->setCurrentIndex(3);
        child<QComboBox>(m_window.get(), QStringLiteral("OutUnit_2"))->setCurrentIndex(4);
        main<QLineEdit>("InText")->setText(QStringLiteral("1"));
        openEditor();
        chooseUnit(4); // Сантиметр
        retype(ed<QLineEdit>("NameEdit"), QStringLiteral("Сотка (ст)"));
        retype(coefficient(), QStringLiteral("0.1"));
        QTest::mouseClick(ed<QPushButton>("Command1"), Qt::LeftButton);
        QVERIFY(m_window->isEnabled());
        QVERIFY(!editor()->isVisible());
        auto* out2 = child<QComboBox>(m_window.get(), QStringLiteral("OutUnit_2"));
        QCOMPARE(out2->currentIndex(), 4);
        QCOMPARE(out2->currentText(), QStringLiteral("Сотка (ст)"));
        QCOMPARE(main<QComboBox>("InUnit")->currentIndex(), 3);
        QCOMPARE(child<QLineEdit>(m_window.get(), QStringLiteral("OutText_2"))->text(),
                 QStringLiteral("10"));
    }

    void editsAreSavedOnYesAndFoundSortedAtTheNextStart()
    {
        openEditor();
        chooseUnit(3); // Метр
        retype(ed<QLineEdit>("NameEdit"), QStringLiteral("Бар (б)"));
        retype(coefficient(), QStringLiteral("2,5"));
        ed<QPlainTextEdit>("DescEdit")->setPlainText(QStringLiteral("Описание, с \"кавычками\"."));
        addTimeCategoryAndClose();

        const std::string before = readBytes(path(QStringLiteral("Base.dat")));
        m_msg.answers.enqueue(MsgAnswer::No);
        m_window->shutDown();
        QCOMPARE(readBytes(path(QStringLiteral("Base.dat"))), before);

        QVERIFY(start());
        openEditor();
        retype(ed<QLineEdit>("NameEdit"), QStringLiteral("Бар (б)")); // Ангстрем renamed
        ed<QPlainTextEdit>("DescEdit")->setPlainText(QStringLiteral("Для длин\nволн.")); // one line
        addTimeCategoryAndClose();
        m_msg.answers.enqueue(MsgAnswer::Yes);
        m_window->shutDown();

        const std::string expected =
            crlf("Длина\n"
                 "Бар (б),1E-10\nДля длин волн.\n"
                 "Аршин (арш),0.7112\nСтарая русская мера.\n"
                 "Верста,1066.8\nПятьсот саженей.\n"
                 "Метр (м),1\nОсновная единица длины.\n"
                 "Сантиметр (см),0.01\n\n"
                 "*\n"
                 "Масса\nГрамм (г),0.001\nТысячная доля килограмма.\n"
                 "Килограмм (кг),1\nМасса эталона.\nТонна (т),1000\nТысяча килограммов.\n*\n"
                 "Пустая\n*\n"
                 "Одна\nШтука (шт),1\nЕдинственная.\n*\n"
                 "Время\nСекунда (с),1\n\nМинута (мин),60\n\n*\n");
        QCOMPARE(readBytes(path(QStringLiteral("Base.dat"))), unitdb::encodeCp1251(expected).bytes);

        // The next run sorts what the editor appended.
        QVERIFY(start());
        QCOMPARE(m_tables->categoryCount, 5);
        QCOMPARE(m_tables->unitNames[0][0], std::string("Аршин (арш)"));
        QCOMPARE(m_tables->unitNames[0][1], std::string("Бар (б)"));
        QCOMPARE(m_tables->unitNames[4][0], std::string("Минута (мин)"));
        QCOMPARE(m_tables->unitNames[4][1], std::string("Секунда (с)"));
        QCOMPARE(main<QComboBox>("SelUnit")->count(), 5);
    }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
