// The database editor driven as a user would: through the main window's "Р"
// button, the editor's own controls, "ОК", shut-down and the next start.
#include "convwin/conversionwindow.h"
#include "convwin/tests/testsupport.h"
#include "dialogs/databaseeditor.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/tests/scriptedmessenger.h"
#include "unitdb/basefile.h"
#include "unitdb/unittables.h"

#include <QComboBox>
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
    QLineEdit* koef() { return ed<QLineEdit>("KoefEdit"); }
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
        retype(koef(), QStringLiteral("60"));
        QTest::mouseClick(ed<QPushButton>("Command1"), Qt::LeftButton);
    }
    double storedKoef(int c, int s) const
    {
        return m_tables->UnitKoef[static_cast<std::size_t>(c)][static_cast<std::size_t>(s)];
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
        QCOMPARE(koef()->text(), QStringLiteral("1000"));
        QCOMPARE(ed<QPlainTextEdit>("DescEdit")->toPlainText(),
                 QStringLiteral("Тысяча килограммов."));
        ed<QComboBox>("Combo1")->setCurrentIndex(0);
        chooseUnit(1);
        QVERIFY(!m_tables->BaseChanged);
    }

    void typedCoefficientIsStoredOnEveryKeystroke()
    {
        openEditor();
        chooseUnit(3); // Метр, 1
        retype(koef(), QStringLiteral("2"));
        QVERIFY(m_tables->BaseChanged);
        QCOMPARE(storedKoef(0, 3), 2.0);
        retype(koef(), QStringLiteral("abc"));
        QCOMPARE(storedKoef(0, 3), 0.0);
    }

    void enterEvaluatesTheCoefficientWithTheCalculatorsRounding()
    {
        openEditor();
        chooseUnit(3);
        retype(koef(), QStringLiteral("1/8"));
        QTest::keyClick(koef(), Qt::Key_Return);
        QCOMPARE(koef()->text(), num("0.125")); // rounding on at 9 places
        QCOMPARE(storedKoef(0, 3), 0.125);
        m_window->settingsDialog()->setPlaces(2);
        retype(koef(), QStringLiteral("1/8"));
        QTest::keyClick(koef(), Qt::Key_Return);
        QCOMPARE(koef()->text(), num("0.12"));
        QCOMPARE(storedKoef(0, 3), 0.12);
    }

    void failedExpressionLeavesBoxAndCoefficient()
    {
        openEditor();
        chooseUnit(1); // Аршин, 0.7112
        retype(koef(), QStringLiteral("5/0"));
        const double stored = storedKoef(0, 1);
        QTest::keyClick(koef(), Qt::Key_Return);
        QCOMPARE(koef()->text(), QStringLiteral("5/0"));
        QCOMPARE(storedKoef(0, 1), stored);
        QCOMPARE(m_msg.messages.size(), 1);
        QCOMPARE(m_msg.messages[0].text, QStringLiteral("Деление на ноль не допускается!"));
    }

    void commaSeparatorRoundTrips()
    {
        if (QLocale::system().decimalPoint() != QStringLiteral(","))
            QSKIP("needs a locale with a decimal comma (run with LC_ALL=ru_RU.UTF-8)");
        openEditor();
        chooseUnit(1); // Аршин, 0.7112
        QCOMPARE(koef()->text(), QStringLiteral("0,7112"));
        retype(koef(), QStringLiteral("0,5"));
        QCOMPARE(storedKoef(0, 1), 0.5);
        m_tables->BaseChanged = false;
        chooseUnit(0);
        chooseUnit(1);
        QCOMPARE(koef()->text(), QStringLiteral("0,5"));
        QVERIFY(!m_tables->BaseChanged);
        // The main window's outputs follow the same separator.
        editor()->close();
        main<QLineEdit>("InText")->setText(QStringLiteral("1.5"));
        QVERIFY(main<QLineEdit>("OutText_0")->text().contains(QLatin1Char(',')));
    }

    void renamingChangesTheListEntryInPlace()
    {
        openEditor();
        chooseUnit(3);
        retype(ed<QLineEdit>("NameEdit"), QStringLiteral("Ярд (ярд)"));
        QCOMPARE(ed<QListWidget>("List1")->item(3)->text(), QStringLiteral("Ярд (ярд)"));
        QCOMPARE(QString::fromStdString(m_tables->UnitNames[0][3]), QStringLiteral("Ярд (ярд)"));
        QVERIFY(m_tables->BaseChanged);
    }

    void textTheFileCannotHoldIsRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("comma") << "Метр, эталонный"
                               << "Название не может содержать запятую.";
        QTest::newRow("quote") << "\"Метр"
                               << "Название не может начинаться с кавычки.";
        QTest::newRow("star") << "*"
                              << "Единица измерения не может называться «*».";
        QTest::newRow("superscript") << "м²"
                                     << "Символ «²» не может быть сохранён в Base.dat.";
    }
    void textTheFileCannotHoldIsRefused()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        openEditor();
        chooseUnit(3);
        retype(ed<QLineEdit>("NameEdit"), typed);
        QVERIFY(!m_msg.messages.isEmpty());
        QCOMPARE(m_msg.messages.last().text, message);
        // What was typed before the refused character stays; the file can still hold it.
        const std::string stored = m_tables->UnitNames[0][3];
        QVERIFY(unitdb::encodeCp1251(stored).ok());
        QVERIFY(stored.find(',') == std::string::npos && !stored.starts_with('"') && stored != "*");
    }

    void lineBreaksInADescriptionBecomeBlanks()
    {
        openEditor();
        chooseUnit(3);
        auto* desc = ed<QPlainTextEdit>("DescEdit");
        desc->setPlainText(QStringLiteral("Первая строка\nвторая строка"));
        QCOMPARE(desc->toPlainText(), QStringLiteral("Первая строка вторая строка"));
        QCOMPARE(QString::fromStdString(m_tables->UnitDesc[0][3]),
                 QStringLiteral("Первая строка вторая строка"));
    }

    void newUnitAndNewCategoryAppearAtTheEnd()
    {
        openEditor();
        QTest::mouseClick(ed<QPushButton>("Command2"), Qt::LeftButton);
        auto* list = ed<QListWidget>("List1");
        QCOMPARE(list->count(), 6);
        QCOMPARE(list->currentRow(), 5);
        QCOMPARE(koef()->text(), QStringLiteral("1"));
        QCOMPARE(m_tables->UnitCount[0], 6);
        QVERIFY(ed<QLineEdit>("NameEdit")->hasFocus() || !editor()->isActiveWindow());

        m_msg.inputAnswers.enqueue(QStringLiteral("Время"));
        QTest::mouseClick(ed<QPushButton>("Command3"), Qt::LeftButton);
        QCOMPARE(m_msg.inputs.last().prompt,
                 QStringLiteral("Введите новую категорию единиц измерения."));
        auto* combo = ed<QComboBox>("Combo1");
        QCOMPARE(combo->count(), 5);
        QCOMPARE(combo->currentIndex(), 4);
        QCOMPARE(m_tables->CatCount, 5);
        QCOMPARE(list->count(), 1);
        QCOMPARE(m_tables->UnitCount[4], 1);
        // Listed only in the editor until the next start.
        QCOMPARE(main<QComboBox>("SelUnit")->count(), 4);

        const int before = m_tables->CatCount;
        QTest::mouseClick(ed<QPushButton>("Command3"), Qt::LeftButton); // cancelled
        QCOMPARE(m_tables->CatCount, before);
    }

    void capacityIsRefusedWithAMessage()
    {
        openEditor();
        for (int i = m_tables->UnitCount[0]; i < unitdb::kMaxUnits; ++i)
            QTest::mouseClick(ed<QPushButton>("Command2"), Qt::LeftButton);
        QCOMPARE(m_tables->UnitCount[0], unitdb::kMaxUnits);
        QTest::mouseClick(ed<QPushButton>("Command2"), Qt::LeftButton);
        QCOMPARE(m_tables->UnitCount[0], unitdb::kMaxUnits);
        QCOMPARE(m_msg.messages.last().text,
                 QStringLiteral("В разделе не может быть больше 101 единиц."));

        while (m_tables->CatCount < unitdb::kMaxCategories) {
            m_msg.inputAnswers.enqueue(QStringLiteral("Раздел %1").arg(m_tables->CatCount));
            QTest::mouseClick(ed<QPushButton>("Command3"), Qt::LeftButton);
        }
        m_msg.inputAnswers.enqueue(QStringLiteral("Лишний"));
        QTest::mouseClick(ed<QPushButton>("Command3"), Qt::LeftButton);
        QCOMPARE(m_tables->CatCount, unitdb::kMaxCategories);
        QCOMPARE(m_msg.messages.last().text,
                 QStringLiteral("В базе не может быть больше 51 разделов."));
    }

    void okRefreshesTheMainWindowAndKeepsItsSelections()
    {
        main<QComboBox>("InUnit")->setCurrentIndex(3);
        child<QComboBox>(m_window.get(), QStringLiteral("OutUnit_2"))->setCurrentIndex(4);
        main<QLineEdit>("InText")->setText(QStringLiteral("1"));
        openEditor();
        chooseUnit(4); // Сантиметр
        retype(ed<QLineEdit>("NameEdit"), QStringLiteral("Сотка (ст)"));
        retype(koef(), QStringLiteral("0.1"));
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

    void closeButtonDoesWhatOkDoes()
    {
        openEditor();
        editor()->close();
        QVERIFY(m_window->isEnabled());
        QVERIFY(!editor()->isVisible());
    }

    void editsAreSavedOnYesAndFoundSortedAtTheNextStart()
    {
        openEditor();
        chooseUnit(3); // Метр
        retype(ed<QLineEdit>("NameEdit"), QStringLiteral("Бар (б)"));
        retype(koef(), QStringLiteral("2,5"));
        ed<QPlainTextEdit>("DescEdit")->setPlainText(QStringLiteral("Описание, с \"кавычками\"."));
        addTimeCategoryAndClose();

        const std::string before = readBytes(path(QStringLiteral("Base.dat")));
        m_msg.answers.enqueue(MsgAnswer::No);
        m_window->shutDown();
        QCOMPARE(readBytes(path(QStringLiteral("Base.dat"))), before);

        QVERIFY(start());
        openEditor();
        retype(ed<QLineEdit>("NameEdit"), QStringLiteral("Бар (б)")); // Ангстрем renamed
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
        QCOMPARE(m_tables->CatCount, 5);
        QCOMPARE(m_tables->UnitNames[0][0], std::string("Аршин (арш)"));
        QCOMPARE(m_tables->UnitNames[0][1], std::string("Бар (б)"));
        QCOMPARE(m_tables->UnitNames[4][0], std::string("Минута (мин)"));
        QCOMPARE(m_tables->UnitNames[4][1], std::string("Секунда (с)"));
        QCOMPARE(main<QComboBox>("SelUnit")->count(), 5);
    }
};

QTEST_MAIN(EditorTest)
#include "editor_test.moc"
