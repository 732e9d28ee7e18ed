// Drives the real conversion window through start-up, typing, lists, the panel and
// shut-down, in a fresh folder with its own settings file each time: what the user does
// reaches the model, and what the model holds is what the window shows.
#include "convwin/tests/testsupport.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/uistyle.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>

using namespace testsupport;
using namespace Qt::StringLiterals;

class ConversionWindowTest : public QObject, private WindowFixture
{
    Q_OBJECT

private:
    QLineEdit* inText() { return line("InText"); }
    QString out(int i) { return line(u"OutText_%1"_s.arg(i))->text(); }
    QComboBox* outUnit(int i) { return list(u"OutUnit_%1"_s.arg(i)); }
    SettingsDialog* settings() { return m_window->settingsDialog(); }
    SettingsDialog* openSettings()
    {
        click(m_window.get(), "cmdSetup");
        return settings();
    }
    void type(const QString& text) { retype(inText(), text); }
    void enter(const QString& text)
    {
        type(text);
        QTest::keyClick(inText(), Qt::Key_Return);
    }
    void writeSettings(const QString& values) { writeRegistry("\"Launched\"=\"1\"\r\n" + values); }
    bool stored(const char* entry)
    {
        return readBytes(registry()).find(entry) != std::string::npos;
    }
    std::string file(const QString& name) { return readBytes(path(name)); }

private slots:
    void init() { makeFolder(); }
    void cleanup() { removeFolder(); }

    void firstStartFillsEveryList()
    {
        QVERIFY(start());
        QCOMPARE(items("SelUnit"), (QStringList{"Длина", "Масса", "Пустая", "Одна"}));
        // Sorted at start: Cyrillic-initial names in code order.
        const QStringList lengths{"Ангстрем (А)", "Аршин (арш)", "Верста", "Метр (м)",
                                  "Сантиметр (см)"};
        for (const QString& name : kUnitLists)
            QCOMPARE(items(name), lengths);
        QCOMPARE(m_msg.texts(), QStringList{"Раздел описания физической величины 'Одна содержит "
                                            "только одну единицу измерения - 'Штука (шт)'!"});
    }

    void startUpTellsWhatItMet_data()
    {
        QTest::addColumn<QString>("base"); // null: no file at all
        QTest::addColumn<bool>("settingsTaken");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QString() << false
                                 << "Ошибка № 53: Файл Base.dat не найден. Верните его на место, "
                                    "либо переустановите программу.";
        QTest::newRow("empty") << "" << false << "Ошибка № 62: Файл Base.dat пуст";
        QTest::newRow("bad number")
            << "Длина\nМетр (м),1\nОсновная.\nФут (фт),0.3048\n\nЯрд,abc\nПлохой.\n*\n"
            << false << "Ошибка № 13: Файл Base.dat, строка 6: коэффициент не является числом.";
        QTest::newRow("zero coefficient") << "Длина\nМетр (м),0\n\n*\n"
                                          << false
                                          << "Ошибка № 13: Файл Base.dat, строка 2: коэффициент "
                                             "должен быть больше нуля.";
        QTest::newRow("settings folder in the way")
            << "Длина\nМетр (м),1\n\nФут (фт),0.3048\n\n*\n"
            << true << "Ошибка № 75: Настройки не будут сохранены: в папку";
    }
    // A missing Base.dat ends the program; whatever else goes wrong is told once and the
    // window opens on what could be read.
    void startUpTellsWhatItMet()
    {
        QFETCH(QString, base);
        QFETCH(bool, settingsTaken);
        QFETCH(QString, message);
        if (base.isNull())
            QFile::remove(path("Base.dat"));
        else
            writeCp1251(path("Base.dat"), base.toStdString());
        if (settingsTaken)
            writeCp1251(path("taken"), "");
        QCOMPARE(start(settingsTaken ? path("taken/registry.reg") : QString()), !base.isNull());
        QCOMPARE(m_msg.messages.size(), 1);
        QVERIFY2(m_msg.texts()[0].startsWith(message), qPrintable(m_msg.texts()[0]));
        if (base.isNull())
            return;
        m_window->shutDown();
        QCOMPARE(m_msg.messages.size(), 1);
    }

    // Two quantities of one name are two entries, each with its own units; an open list shows
    // its longest name whole.
    void quantitiesOfTheSameNameAreEachReached()
    {
        const QString pyad = u"Пядь"_s.repeated(15);
        writeCp1251(path("Base.dat"),
                    "Длина\nМетр (м),1\n\nФут,0.3048\n\n*\nДлина\nЛокоть,0.45\n\n" +
                        pyad.toStdString() + ",0.18\n\n*\n");
        QVERIFY(start());
        QComboBox* in = list("InUnit");
        in->showPopup();
        in->hidePopup();
        list("SelUnit")->setCurrentIndex(1);
        QCOMPARE(items("InUnit"), (QStringList{"Локоть", pyad}));
        in->showPopup();
        QVERIFY(in->view()->width() > in->view()->fontMetrics().horizontalAdvance(pyad));
        in->hidePopup();
        list("SelUnit")->setCurrentIndex(0);
        QCOMPARE(items("OutUnit_2"), (QStringList{"Метр (м)", "Фут"}));
    }

    // Typed or pasted, typographic signs become operators as they enter the line.
    void textIsMendedAsItEntersWhereTheCaretWas()
    {
        QVERIFY(start());
        const std::pair<QString, QString> rows[] = {{"3,5", "3.5"}, {"–5−1", "-5-1"}};
        for (const auto& [entered, kept] : rows) {
            type("77");
            inText()->setCursorPosition(1);
            inText()->insert(entered); // what a paste does
            QCOMPARE(inText()->text(), "7" + kept + "7");
            typeText(inText(), entered);
            QVERIFY(inText()->text().endsWith(kept + kept + "7"));
        }
    }

    // Typing names an overflow in its row, Enter reports it once.
    void overflowIsNamedInItsRowAndReportedOnEnter()
    {
        QVERIFY(start());
        list("InUnit")->setCurrentIndex(2); // Верста
        outUnit(1)->setCurrentIndex(3);     // Метр
        m_msg.messages.clear();
        type("1e300");
        QCOMPARE(out(0), u"Переполнение"_s); // Ангстрем
        QCOMPARE(m_msg.messages.size(), 0);
        QTest::keyClick(inText(), Qt::Key_Return);
        QCOMPARE(m_msg.texts(),
                 QStringList{"Ошибка № 6: Переполнение! Не используйте числа больше 10^300."});
    }

    // Enter puts the value in place of the expression and logs it; an expression the
    // calculator refuses stays as typed, its error shown, and nothing is logged. While typing,
    // the rows show the value, or briefly why there is none.
    void enterEvaluatesInPlaceAndWritesTheLog()
    {
        writeSettings("\"Logging\"=\"1\"\r\n\"LogFile\"=\"calc.log\"\r\n\"Field2\"=\"4\"\r\n");
        QVERIFY(start());
        list("InUnit")->setCurrentIndex(3); // Метр
        type("2*(");
        QCOMPARE(out(0), u"Скобка не закрыта"_s);
        type("2*(3+4)");
        QCOMPARE(out(0), u"1400"_s);
        QTest::keyClick(inText(), Qt::Key_Return);
        QCOMPARE(inText()->text(), u"14"_s);
        m_msg.messages.clear();
        type("5/0");
        QCOMPARE(out(0), u"Деление на ноль"_s);
        QVERIFY(m_msg.messages.isEmpty());
        QTest::keyClick(inText(), Qt::Key_Return);
        QCOMPARE(inText()->text(), u"5/0"_s);
        QCOMPARE(m_msg.texts(), QStringList{"Деление на ноль не допускается!"});
        const std::string log = unitdb::encodeCp1251(crlf("2*(3+4) м = 14 м = \n"
                                                          "       = 1400 см\n"))
                                    .bytes;
        QVERIFY(file("calc.log")
                    .ends_with(log + "       = 140000000000 \xc0\r\n" +
                               "       = 140000000000 \xc0\r\n" +
                               "       = 140000000000 \xc0\r\n\r\n"));
    }

    // Amounts with units of the quantity add up in the input unit; a unit of another
    // quantity is refused in words.
    void unitWordsInTheLineAreConverted()
    {
        QVERIFY(start());
        list("InUnit")->setCurrentIndex(4); // Сантиметр
        outUnit(0)->setCurrentIndex(3);     // Метр
        type("1 верста - 300 м");
        QCOMPARE(out(0), num("766.8"));
        QTest::keyClick(inText(), Qt::Key_Return);
        QCOMPARE(inText()->text(), u"76680"_s);
        m_msg.messages.clear();
        enter("2 кг");
        QCOMPARE(inText()->text(), u"2 кг"_s);
        QCOMPARE(m_msg.texts(), QStringList{"«кг» — единица другой величины: «Масса»."});
    }

    // Each quantity comes back with the units it was last used with, after a restart too, by
    // name: a unit put in front of the others in Base.dat moves every place.
    void eachQuantityKeepsItsUnits()
    {
        QVERIFY(start());
        QCOMPARE(list("InUnit")->currentText(), u"Метр (м)"_s); // the base unit, first time
        list("SelUnit")->setCurrentIndex(1);                    // Масса
        outUnit(2)->setCurrentIndex(2);                         // Тонна
        list("SelUnit")->setCurrentIndex(0);
        list("InUnit")->setCurrentIndex(1); // Аршин
        list("SelUnit")->setCurrentIndex(1);
        QCOMPARE(outUnit(2)->currentText(), u"Тонна (т)"_s);
        m_window->shutDown();
        std::string base = kBase;
        writeCp1251(path("Base.dat"), base.insert(base.find("Аршин"), "Ал,2\n\n"));
        QVERIFY(start());
        list("SelUnit")->setCurrentIndex(0);
        QCOMPARE(list("InUnit")->currentText(), u"Аршин (арш)"_s);
    }

    // Up and Down call back what Enter evaluated, newest first, in this run and the next.
    void upAndDownCallBackEarlierTexts()
    {
        QVERIFY(start());
        enter("1+1");
        enter("2*3");
        type("7");
        QTest::keyClick(inText(), Qt::Key_Up);
        QCOMPARE(inText()->text(), u"2*3"_s);
        QCOMPARE(out(3), u"600"_s);
        QTest::keyClick(inText(), Qt::Key_Down);
        QCOMPARE(inText()->text(), u"7"_s);
        m_window->shutDown();
        QVERIFY(start());
        QTest::keyClick(inText(), Qt::Key_Up);
        QCOMPARE(inText()->text(), u"2*3"_s);
    }

    void firstLetterJumpsAndCycles()
    {
        QVERIFY(start());
        QComboBox* in = list("InUnit");
        in->setCurrentIndex(3); // Метр
        typeText(in, "а");
        QCOMPARE(in->currentIndex(), 0);
        in->showPopup(); // the open list jumps too
        typeText(in->view(), "в");
        QCOMPARE(in->currentIndex(), 2);
        in->hidePopup();
        in->setCurrentIndex(4); // Сантиметр has no description
        QVERIFY(control<QPlainTextEdit>("LblDesc")->toPlainText().isEmpty()); // folded: not laid out
        control<QPushButton>("CmdHelp_4")->click();
        QVERIFY(control<QPlainTextEdit>("LblDesc")->toPlainText().startsWith(
            u"Информация недоступна!"_s));
    }

    // The left button swaps; the right one offers copy and swap; by keyboard Ctrl+C copies the
    // whole value and Enter swaps.
    void outputsSwapWithTheInputRowAndCopy()
    {
        QVERIFY(start());
        list("InUnit")->setCurrentIndex(3); // Метр
        outUnit(0)->setCurrentIndex(4);     // Сантиметр
        outUnit(1)->setCurrentIndex(1);     // Аршин
        type("5");
        QLineEdit* clicked = line("OutText_0");
        QTest::mouseClick(clicked, Qt::LeftButton);
        QCOMPARE(inText()->selectedText(), u"500"_s);
        QCOMPARE(out(0), u"5"_s); // 500 см are 5 м: the units swapped too

        QTest::mouseClick(clicked, Qt::RightButton);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, {}, clicked->mapToGlobal(QPoint()));
        QApplication::sendEvent(clicked, &menuEvent);
        auto* menu = child<QMenu>(m_window.get(), "OutputMenu");
        menu->actions()[0]->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), u"5"_s);
        menu->actions()[1]->trigger();
        QCOMPARE(inText()->text(), u"5"_s);
        QTest::keyClick(clicked, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), u"500"_s);
        QTest::keyClick(clicked, Qt::Key_Return);
        QCOMPARE(inText()->text(), u"500"_s);
    }

    // Focus starts in the input line; Tab follows the rows as seen, even after a swap, and
    // skips the folded panel; Enter presses the focused button.
    void keyboardReachesEveryControlInTheOrderSeen()
    {
        QVERIFY(start());
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QCOMPARE(QApplication::focusWidget(), inText());
        auto tabRound = [this] {
            QStringList seen;
            list("SelUnit")->setFocus(Qt::TabFocusReason);
            do {
                seen << QApplication::focusWidget()->objectName();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            } while (QApplication::focusWidget() != list("SelUnit") && seen.size() < 30);
            return seen.join(' ');
        };
        auto rows = [](std::initializer_list<int> order) {
            QString names = u"SelUnit InText InUnit CmdHelp_4"_s;
            for (int i : order)
                names += u" OutText_%1 OutUnit_%1 CmdHelp_%1"_s.arg(i);
            return names;
        };
        QCOMPARE(tabRound(), rows({0, 1, 2, 3}));
        // Folded, keys open the other windows, each whole on screen; Esc hands back to where the
        // keyboard was.
        auto shown = [](const char* name) {
            const QWidgetList all = QApplication::topLevelWidgets();
            auto at = std::ranges::find(all, QLatin1String(name), &QObject::objectName);
            return at != all.end() && (*at)->isVisible() ? *at : nullptr;
        };
        const std::pair<QKeySequence, const char*> openers[] = {
            {Qt::Key_F1, "Form3"}, {Qt::CTRL | Qt::Key_Comma, "Form2"}, {Qt::Key_F2, "Form4"}};
        inText()->setFocus();
        for (const auto& [keys, name] : openers) {
            QTest::keySequence(inText(), keys);
            QTRY_VERIFY(shown(name)); // a button's shortcut clicks it a moment later
            QVERIFY(shown(name)->rect().contains(shown(name)->childrenRect()));
            QTest::keyClick(shown(name), Qt::Key_Escape);
            QVERIFY(!shown(name));
            QCOMPARE(m_window->focusWidget(), inText());
            QApplication::setActiveWindow(m_window.get()); // offscreen, handing back does not
        }
        // "?" unfolds once and shows its row's unit; the fold button folds back.
        const int folded = m_window->height();
        outUnit(2)->setCurrentIndex(2);
        QTest::keyClick(control<QPushButton>("CmdHelp_2"), Qt::Key_Return);
        QTest::keyClick(control<QPushButton>("CmdHelp_2"), Qt::Key_Space);
        QCOMPARE(m_window->height(), folded + ui::twips(2200));
        QCOMPARE(control<QLabel>("LblUnit")->text(), u"Верста"_s);
        QCOMPARE(tabRound(), rows({0, 1, 2, 3}) + " Command1 cmdSetup cmdEdit CmdScroll LblDesc");
        QTest::keyClick(control<QPushButton>("CmdScroll"), Qt::Key_Return);
        QCOMPARE(m_window->height(), folded);
        // A swap moves the input row among the outputs; Tab follows the rows as seen.
        QTest::mouseClick(line("OutText_1"), Qt::LeftButton);
        QCOMPARE(tabRound(), rows({1, 0, 2, 3}));
    }

    // Ignore.ini's quantities are hidden from the start, but the settings list them all. The
    // list takes effect when «Хорошо» closes the dialog, keeping the quantity while it is shown.
    void ignoreListTakesEffectWhenTheSettingsAreConfirmed()
    {
        writeCp1251(path("IGNORE.INI"), "Масса\n"); // read in any letter case
        QVERIFY(start());
        QCOMPARE(items("SelUnit"), (QStringList{"Длина", "Пустая", "Одна"}));
        m_window->show();
        list("SelUnit")->setCurrentIndex(2); // Одна
        openSettings();
        QCOMPARE(child<QComboBox>(settings(), "Combo1")->count(), 4);
        click(settings(), "IgnoreCheck"); // off after a first start
        click(settings(), "Command2");    // Длина, the first
        click(settings(), "Command4");
        QCOMPARE(items("SelUnit"), (QStringList{"Пустая", "Одна"}));
        QCOMPARE(list("SelUnit")->currentText(), u"Одна"_s);
        openSettings();
        child<QComboBox>(settings(), "Combo1")->setCurrentIndex(3);
        click(settings(), "Command2");
        settings()->close();
        QCOMPARE(list("SelUnit")->currentText(), u"Пустая"_s);
    }

    // Ignore.ini is written in the encoding it was read in, so hiding a quantity named beyond
    // Windows-1251 takes a UTF-8 list; the settings dialog refuses it otherwise, in the
    // editor's words.
    void ignoreListKeepsItsEncoding()
    {
        std::ofstream(path("Base.dat").toStdString(), std::ios::binary)
            << crlf("Длина\nМетр (м),1\n\nАршин,0.7112\n\n*\nÅngström\nÅ,1\n\nnm,10\n\n*\n");
        for (const bool utf8 : {true, false}) {
            std::ofstream(path("Ignore.ini").toStdString(), std::ios::binary)
                << (utf8 ? "Ω\r\n" : "\xD8\r\n"); // Ω, or Ш in Windows-1251
            QFile::remove(registry());            // the ignore switch off, as at a first start
            QVERIFY(start());
            openSettings();
            click(settings(), "IgnoreCheck");
            child<QComboBox>(settings(), "Combo1")->setCurrentIndex(1);
            click(settings(), "Command2");
            click(settings(), "Command4");
            m_window->shutDown();
            QCOMPARE(file("Ignore.ini"), utf8 ? "Ångström\r\nΩ\r\n" : "\xD8\r\n");
            QCOMPARE(m_msg.texts(),
                     utf8
                         ? QStringList{}
                         : QStringList{"Величина «Ångström» не добавлена: Символ «Å» недопустим."});
        }
    }

    void baseIsSavedOnlyWhenChangedAndConfirmed()
    {
        const std::string original = file("Base.dat");
        for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
            QVERIFY(start());
            QVERIFY(db().setDescription(0, 0, "Изменено.").ok());
            m_msg.messages.clear();
            m_msg.answers.enqueue(answer);
            m_window->shutDown();
            QCOMPARE(m_msg.texts(), QStringList{"База данных была изменена. Сохранить изменения?"});
            QCOMPARE(file("Base.dat") == original, answer == MsgAnswer::No);
        }
        const auto saved = unitdb::encodeCp1251("Длина\r\nАнгстрем (А),1E-10\r\nИзменено.\r\n");
        QVERIFY(file("Base.dat").starts_with(saved.bytes));
    }
};

QTEST_MAIN(ConversionWindowTest)
#include "conversionwindow_test.moc"
