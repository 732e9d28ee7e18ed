// Drives the real conversion window through start-up, typing, lists, the panel
// and shut-down, in a fresh folder with its own settings file each time.
#include "convwin/tests/testsupport.h"
#include "dialogs/databaseeditor.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/uistyle.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QtTest>

#include <sys/stat.h>

using namespace testsupport;

class ConversionWindowTest : public QObject, private WindowFixture
{
    Q_OBJECT

private:
    QComboBox* list(const char* name) { return control<QComboBox>(QLatin1String(name)); }
    QLineEdit* edit(const QString& name) { return control<QLineEdit>(name); }
    QLineEdit* inText() { return edit(QStringLiteral("InText")); }
    QString out(int i) { return edit(QStringLiteral("OutText_%1").arg(i))->text(); }
    QComboBox* outUnit(int i) { return list(qPrintable(QStringLiteral("OutUnit_%1").arg(i))); }
    QPushButton* button(const QString& name) { return control<QPushButton>(name); }
    void type(const QString& text)
    {
        inText()->setFocus();
        inText()->selectAll();
        QTest::keyClicks(inText(), text);
    }
    QStringList items(QComboBox* box)
    {
        QStringList names;
        for (int i = 0; i < box->count(); ++i)
            names << box->itemText(i);
        return names;
    }
    void enter(const QString& text)
    {
        type(text);
        QTest::keyClick(inText(), Qt::Key_Return);
    }
    void writeSettings(const QString& values)
    {
        writeRegistry(QStringLiteral("\"Launched\"=\"1\"\r\n") + values);
    }

private slots:
    void init() { enterFolder(); }
    void cleanup() { leaveFolder(); }

    void firstStartWritesDefaultsAndFillsLists()
    {
        QVERIFY(start());
        QCOMPARE(m_window->windowTitle(), QStringLiteral("Метрованта 1.78"));
        const std::string stored = readBytes(registry());
        QVERIFY(stored.find("\"Launched\"=\"1\"") != std::string::npos);
        QVERIFY(stored.find("\"Round\"=\"9\"") != std::string::npos);

        QCOMPARE(items(list("SelUnit")), (QStringList{"Длина", "Масса", "Пустая", "Одна"}));
        QCOMPARE(list("SelUnit")->currentIndex(), 0);
        // Sorted at start: Cyrillic-initial names in code order.
        const QStringList lengths{"Ангстрем (А)", "Аршин (арш)", "Верста", "Метр (м)",
                                  "Сантиметр (см)"};
        QCOMPARE(items(list("InUnit")), lengths);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(items(outUnit(i)), lengths);

        // Only the one-unit category is warned about, with its unit named.
        QCOMPARE(m_msg.messages.size(), 1);
        QCOMPARE(m_msg.messages[0].text,
                 QStringLiteral("Раздел описания физической величины 'Одна содержит только одну "
                                "единицу измерения - 'Штука (шт)'!"));
        QCOMPARE(m_msg.messages[0].icon, MsgIcon::None);
    }

    void unwritableSettingsKeepTheDefaultsForTheRun_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::newRow("folder is a file") << "Base.dat/registry.reg";
        QTest::newRow("file is a folder") << "taken";
    }
    void unwritableSettingsKeepTheDefaultsForTheRun()
    {
        QFETCH(QString, settings);
        QDir(path({})).mkdir(QStringLiteral("taken"));
        m_msg.messages.clear();
        m_tables = std::make_unique<unitdb::UnitTables>();
        m_window = std::make_unique<ConversionWindow>(*m_tables, m_msg, path(settings));
        QVERIFY(m_window->startUp());
        QVERIFY(m_window->settingsDialog()->rounding());
        QCOMPARE(m_window->settingsDialog()->places(), 9);
        QCOMPARE(m_window->settingsDialog()->logFile(), QStringLiteral("log.txt"));
        m_window->shutDown();
        QCOMPARE(m_msg.messages.size(), 2); // the one-unit warning and this, said once
        QVERIFY(m_msg.messages[0].text.startsWith(
            QStringLiteral("Ошибка № 75: Настройки не будут сохранены")));
    }

    void badBaseDatIsReportedAndTheRestLoads_data()
    {
        QTest::addColumn<QString>("base"); // nothing at all: no file
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QStringList>("units");
        QTest::newRow("missing") << QString()
                                 << "Ошибка № 53: Файл Base.dat не найден. Верните "
                                    "его на место, либо переустановите программу."
                                 << int(MsgIcon::Stop) << QStringList();
        QTest::newRow("empty") << ""
                               << "Ошибка № 62: Файл Base.dat пуст" << int(MsgIcon::Exclamation)
                               << QStringList();
        QTest::newRow("bad number") << "Длина\nМетр (м),1\nОсновная.\nФут (фт),abc\nПлохой.\n*\n"
                                    << "Ошибка № 13: Файл Base.dat, строка 4"
                                    << int(MsgIcon::Exclamation) << QStringList{"Метр (м)"};
    }
    // A missing file ends the program; an empty one keeps the stored positions for next time.
    void badBaseDatIsReportedAndTheRestLoads()
    {
        QFETCH(QString, base);
        QFETCH(QString, message);
        QFETCH(QStringList, units);
        writeSettings(QStringLiteral("\"Velic\"=\"2\"\r\n"));
        if (base.isNull())
            QFile::remove(path(QStringLiteral("Base.dat")));
        else
            writeCp1251(path(QStringLiteral("Base.dat")), base.toStdString());
        QCOMPARE(start(), !base.isNull());
        QVERIFY(!m_msg.messages.isEmpty());
        QVERIFY2(m_msg.messages[0].text.startsWith(message), qPrintable(m_msg.messages[0].text));
        QTEST(int(m_msg.messages[0].icon), "icon");
        QCOMPARE(m_msg.messages[0].title, QStringLiteral("Ошибка!"));
        if (base.isNull())
            return;
        QCOMPARE(items(list("InUnit")), units);
        m_window->shutDown();
        QCOMPARE(readBytes(registry()).find("\"Velic\"=\"2\"") != std::string::npos,
                 units.isEmpty());
    }

    void ignoredQuantityIsHiddenButListedInSettings()
    {
        writeCp1251(path(QStringLiteral("IGNORE.INI")), "Масса\n"); // read in any letter case
        QVERIFY(start());
        QCOMPARE(items(list("SelUnit")), (QStringList{"Длина", "Пустая", "Одна"}));
        auto* combo = child<QComboBox>(m_window->settingsDialog(), QStringLiteral("Combo1"));
        QCOMPARE(combo->count(), 4);
        QCOMPARE(m_window->settingsDialog()->ignored(), QStringList{"Масса"});
    }

    void storedSettingsAreRestoredOrFallBack_data()
    {
        QTest::addColumn<QString>("stored"); // Velic, Field1, Round
        QTest::addColumn<int>("category");
        QTest::addColumn<int>("inUnit");
        QTest::addColumn<int>("places"); // -1 when not rounding
        QTest::newRow("valid") << "1,2,4" << 1 << 2 << 4;
        QTest::newRow("beyond the list") << "9,7,-1" << 0 << 0 << -1;
        QTest::newRow("blanks and a plus") << " 1,+2 ,4 " << 1 << 2 << 4;
        QTest::newRow("no selection") << "-1,-1,9" << 0 << 0 << 9;
        QTest::newRow("not a number") << "abc,x1,9" << 0 << 0 << 9;
    }
    void storedSettingsAreRestoredOrFallBack()
    {
        QFETCH(QString, stored);
        QFETCH(int, places);
        const QStringList v = stored.split(QLatin1Char(','));
        writeSettings(
            QStringLiteral("\"Velic\"=\"%1\"\r\n\"Field1\"=\"%2\"\r\n\"Round\"=\"%3\"\r\n")
                .arg(v[0], v[1], v[2]));
        QVERIFY(start());
        QTEST(list("SelUnit")->currentIndex(), "category");
        QTEST(list("InUnit")->currentIndex(), "inUnit");
        QCOMPARE(m_window->settingsDialog()->rounding(), places >= 0);
        if (places >= 0)
            QCOMPARE(m_window->settingsDialog()->places(), places);
    }

    void textIsMendedAsItEntersWhereTheCaretWas_data()
    {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<QString>("kept");
        QTest::newRow("comma") << "3,5"
                               << "3.5";
        QTest::newRow("minus sign, en dash") << "–5−1"
                                             << "-5-1";
        QTest::newRow("times, dot") << "2×3·4"
                                    << "2*3*4";
        QTest::newRow("division signs") << "6÷2∕1"
                                        << "6/2/1";
        QTest::newRow("no-break, thin spaces") << "1\u00a0000\u2009000"
                                               << "1 000 000";
    }
    // Typed or pasted, typographic signs become operators as they enter the line.
    void textIsMendedAsItEntersWhereTheCaretWas()
    {
        QFETCH(QString, entered);
        QFETCH(QString, kept);
        QVERIFY(start());
        type(QStringLiteral("77"));
        inText()->setCursorPosition(1);
        inText()->insert(entered); // what a paste does
        QCOMPARE(inText()->text(), QStringLiteral("7") + kept + QStringLiteral("7"));
        QCOMPARE(inText()->cursorPosition(), 1 + kept.size());
        typeText(inText(), entered);
        QVERIFY(inText()->text().endsWith(kept + kept + QStringLiteral("7")));
    }

    // Typing names an overflow in its row, Enter reports it once; a coefficient that is not
    // a positive finite number leaves its rows empty, never stale.
    void outputsThatCannotBeComputedAreNeverStale()
    {
        QVERIFY(start());
        list("InUnit")->setCurrentIndex(2); // Верста
        outUnit(1)->setCurrentIndex(3);     // Метр
        m_msg.messages.clear();
        type(QStringLiteral("1e300"));
        QCOMPARE(out(0), QStringLiteral("Переполнение")); // Ангстрем
        QCOMPARE(m_msg.messages.size(), 0);
        QTest::keyClick(inText(), Qt::Key_Return);
        QCOMPARE(m_msg.messages.size(), 1);
        QCOMPARE(m_msg.messages[0].text,
                 QStringLiteral("Ошибка № 6: Переполнение! Не используйте числа больше 10^300."));
        QCOMPARE(out(0), QStringLiteral("Переполнение"));

        m_tables->coefficients[0][0] = 0.0; // Ангстрем
        m_tables->coefficients[0][2] = -1.0;
        type(QStringLiteral("6"));
        QCOMPARE(out(0) + out(1), QString()); // the input unit itself is bad
        list("InUnit")->setCurrentIndex(3);
        QCOMPARE(out(0), QString());
        QCOMPARE(out(1), QStringLiteral("6"));
    }

    void enterEvaluatesInPlaceAndWritesTheLog()
    {
        writeSettings(QStringLiteral("\"Logging\"=\"1\"\r\n\"LogFile\"=\"calc.log\"\r\n"
                                     "\"Field2\"=\"4\"\r\n"));
        QVERIFY(start());
        list("InUnit")->setCurrentIndex(3); // Метр
        enter(QStringLiteral("2*(3+4)"));
        QCOMPARE(inText()->text(), QStringLiteral("14"));
        QCOMPARE(out(0), QStringLiteral("1400"));

        type(QStringLiteral("(5"));
        typeText(inText(), QStringLiteral("Ω")); // the log's code page lacks it: "?" stands for it
        QTest::keyClick(inText(), Qt::Key_Return);
        QCOMPARE(inText()->text(), QStringLiteral("(5Ω"));

        const std::string expected = crlf("Метрованта 1.78\n\n"
                                          "2*(3+4) м = 14 м = \n"
                                          "       = 1400 см\n"
                                          "       = 140000000000 А\n"
                                          "       = 140000000000 А\n"
                                          "       = 140000000000 А\n"
                                          "\n"
                                          "(5? м = (5? м = \n"
                                          "       = 0 см\n"
                                          "       = 0 А\n"
                                          "       = 0 А\n"
                                          "       = 0 А\n"
                                          "\n");
        QCOMPARE(readBytes(path(QStringLiteral("calc.log"))), unitdb::encodeCp1251(expected).bytes);
    }

    void calculatorErrorsLeaveTheTextAndLogNothing()
    {
        writeSettings(QStringLiteral("\"Logging\"=\"1\"\r\n\"LogFile\"=\"c.log\"\r\n"));
        QVERIFY(start());
        const std::string header = readBytes(path(QStringLiteral("c.log")));
        const std::pair<const char*, const char*> rows[] = {
            {"5/0", "Деление на ноль не допускается!"},
            {"ln(0-1)", "Аргумент логарифма неположителен!"},
            {"1e300*1e300", "Переполнение! Не используйте числа больше 10^300."}};
        for (const auto& row : rows) {
            m_msg.messages.clear();
            enter(QString::fromUtf8(row.first));
            QCOMPARE(inText()->text(), QString::fromUtf8(row.first));
            QCOMPARE(m_msg.messages.size(), 1);
            QCOMPARE(m_msg.messages[0].text, QString::fromUtf8(row.second));
            QCOMPARE(m_msg.messages[0].title, QStringLiteral("Ошибка"));
            QCOMPARE(m_msg.messages[0].icon, MsgIcon::Stop);
        }
        QCOMPARE(readBytes(path(QStringLiteral("c.log"))), header);
    }

    void loggingTurnedOnDuringTheRunAppendsToTheLog()
    {
        std::ofstream(path(QStringLiteral("log.txt")).toStdString(), std::ios::binary) << "old\r\n";
        QVERIFY(start()); // logging off by default: the log is not touched
        QCOMPARE(readBytes(path(QStringLiteral("log.txt"))), std::string("old\r\n"));
        m_window->settingsDialog()->setLogFile(QStringLiteral("log.txt"));
        m_window->settingsDialog()->setLogging(true);
        enter(QStringLiteral("1"));
        QVERIFY(readBytes(path(QStringLiteral("log.txt"))).starts_with("old\r\n1 "));
    }

    void logThatCannotBeOpenedIsSwitchedOff_data()
    {
        QTest::addColumn<QString>("logFile");
        QTest::addColumn<bool>("programFile");
        QTest::newRow("missing folder") << "no/such/folder/log.txt" << false;
        QTest::newRow("FIFO") << "fifo" << false;
        QTest::newRow("Base.dat by another path") << "sub/../Base.dat" << true;
        QTest::newRow("link to Base.dat") << "link.txt" << true;
        QTest::newRow("ignore list in other letters") << "ignore.INI" << true;
        QTest::newRow("settings file") << "registry.reg" << true;
    }
    void logThatCannotBeOpenedIsSwitchedOff()
    {
        QFETCH(QString, logFile);
        QFETCH(bool, programFile);
        QDir(path({})).mkdir(QStringLiteral("sub"));
        QFile::link(path(QStringLiteral("Base.dat")), path(QStringLiteral("link.txt")));
        QCOMPARE(::mkfifo(qPrintable(path(QStringLiteral("fifo"))), 0600), 0);
        const std::string base = readBytes(path(QStringLiteral("Base.dat")));
        writeSettings(QStringLiteral("\"Logging\"=\"1\"\r\n\"LogFile\"=\"%1\"\r\n").arg(logFile));
        QVERIFY(start());                   // never waits on the FIFO
        QCOMPARE(m_msg.messages.size(), 2); // the one-unit warning and the log
        QVERIFY(m_msg.messages[1].text.startsWith(QStringLiteral("Ошибка № 75:")));
        QVERIFY(m_msg.messages[1].text.endsWith(QStringLiteral("Запись вычислений выключена.")));
        QVERIFY(!m_window->settingsDialog()->logging());
        m_msg.messages.clear();
        enter(QStringLiteral("1"));
        QCOMPARE(m_msg.messages.size(), 0);
        QCOMPARE(readBytes(path(QStringLiteral("Base.dat"))), base);

        // The settings dialog refuses a program file as the log and stays open.
        m_window->settingsDialog()->show();
        child<QPushButton>(m_window->settingsDialog(), QStringLiteral("Command4"))->click();
        QCOMPARE(m_window->settingsDialog()->isVisible(), programFile);
        QCOMPARE(m_msg.messages.size(), programFile ? 1 : 0);
    }

    void firstLetterJumpsAndCycles()
    {
        QVERIFY(start());
        QComboBox* in = list("InUnit");
        in->setCurrentIndex(3); // Метр
        const struct {
            QChar key;
            int selected;
        } steps[] = {{u'а', 0}, {u'А', 1}, {u'а', 0}, {u'в', 2},
                     {u'с', 4}, {u'с', 4}, {u'я', 4}, {u'м', 3}};
        for (const auto& step : steps) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(step.key));
            QApplication::sendEvent(in, &press);
            QCOMPARE(in->currentIndex(), step.selected);
        }
        QCOMPARE(control<QLabel>(QStringLiteral("LblUnit"))->text(), QStringLiteral("Метр (м)"));
        in->setCurrentIndex(4); // Сантиметр has no description
        QVERIFY(control<QPlainTextEdit>(QStringLiteral("LblDesc"))
                    ->toPlainText()
                    .startsWith(QStringLiteral("Информация недоступна!")));

        // The open list jumps too, and is as wide as its longest name.
        const QString longName =
            QStringLiteral("Британская имперская морская миля (брит. мор. миля)");
        m_tables->unitNames[1][2] = longName.toStdString();
        // Fusion widens a popup by itself; the Windows style does not.
        std::unique_ptr<QStyle> windowsStyle(QStyleFactory::create(QStringLiteral("Windows")));
        in->setStyle(windowsStyle.get());
        list("SelUnit")->setCurrentIndex(1);
        in->showPopup();
        QAbstractItemView* view = in->view();
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("б"));
        QApplication::sendEvent(view, &press);
        QCOMPARE(in->currentIndex(), 2);
        QVERIFY(view->width() >= view->fontMetrics().horizontalAdvance(longName));
        in->hidePopup();
        in->setStyle(nullptr);
        QCOMPARE(in->toolTip(), longName);
    }

    // The left button swaps; the right one offers copy and swap; by keyboard Ctrl+C copies the
    // whole value, Enter and Space swap.
    void outputsSwapWithTheInputRowAndCopy()
    {
        QVERIFY(start());
        list("InUnit")->setCurrentIndex(3); // Метр
        outUnit(0)->setCurrentIndex(4);     // Сантиметр
        outUnit(1)->setCurrentIndex(1);     // Аршин
        type(QStringLiteral("5"));
        QLineEdit* clicked = edit(QStringLiteral("OutText_0"));
        QTest::mouseClick(clicked, Qt::LeftButton);
        QCOMPARE(inText()->text(), QStringLiteral("500"));
        QCOMPARE(list("InUnit")->currentText(), QStringLiteral("Сантиметр (см)"));
        QCOMPARE(outUnit(0)->currentText(), QStringLiteral("Метр (м)"));
        QCOMPARE(out(0), QStringLiteral("5"));
        QCOMPARE(inText()->selectedText(), QStringLiteral("500"));

        QTest::mouseClick(clicked, Qt::RightButton);
        QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, {}, clicked->mapToGlobal(QPoint()));
        QApplication::sendEvent(clicked, &menuEvent);
        auto* menu = child<QMenu>(m_window.get(), QStringLiteral("OutputMenu"));
        menu->actions()[0]->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("5"));
        menu->actions()[1]->trigger();
        QCOMPARE(inText()->text(), QStringLiteral("5"));
        QTest::keyClick(clicked, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("500"));
        QTest::keyClick(clicked, Qt::Key_Return);
        QTest::keyClick(clicked, Qt::Key_Space);
        QCOMPARE(inText()->text(), QStringLiteral("5"));

        type(QStringLiteral("0"));
        QTest::mouseClick(clicked, Qt::LeftButton);
        QCOMPARE(inText()->text(), QString()); // a swapped «0» leaves the line empty
    }

    // Focus starts in the input line; Tab follows the rows as seen, skipping the folded
    // panel; Enter presses the focused button.
    void keyboardReachesEveryControlInTheOrderSeen()
    {
        QVERIFY(start());
        m_window->show();
        QApplication::setActiveWindow(m_window.get());
        QCOMPARE(QApplication::focusWidget(), inText());
        auto tabRound = [this] {
            QStringList seen{"SelUnit"};
            list("SelUnit")->setFocus(Qt::TabFocusReason);
            for (int i = 0; i < 30; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                if (QApplication::focusWidget() == list("SelUnit"))
                    break;
                seen << QApplication::focusWidget()->objectName();
            }
            return seen.join(' ');
        };
        auto rows = [](std::initializer_list<int> order) {
            QString names = "SelUnit InText InUnit CmdHelp_4";
            for (int i : order)
                names += QStringLiteral(" OutText_%1 OutUnit_%1 CmdHelp_%1").arg(i);
            return names;
        };
        QCOMPARE(tabRound(), rows({0, 1, 2, 3}));
        // "?" unfolds once and shows its row's unit; the fold button folds back.
        const int folded = m_window->height();
        outUnit(2)->setCurrentIndex(2);
        QTest::keyClick(button(QStringLiteral("CmdHelp_2")), Qt::Key_Return);
        QTest::keyClick(button(QStringLiteral("CmdHelp_2")), Qt::Key_Space);
        QCOMPARE(m_window->height(), folded + ui::twips(2200));
        QCOMPARE(child<QLabel>(m_window.get(), QStringLiteral("LblUnit"))->text(),
                 QStringLiteral("Верста"));
        QCOMPARE(tabRound(), rows({0, 1, 2, 3}) + " Command1 cmdSetup cmdEdit CmdScroll LblDesc");
        QTest::keyClick(button(QStringLiteral("CmdScroll")), Qt::Key_Return);
        QCOMPARE(m_window->height(), folded);
        QVERIFY(!button(QStringLiteral("CmdScroll"))->isEnabled());
        QTest::mouseClick(edit(QStringLiteral("OutText_1")), Qt::LeftButton);
        QCOMPARE(tabRound(), rows({1, 0, 2, 3}));
    }

    // The ignore list takes effect when «Хорошо» closes the dialog, keeping the quantity
    // while it is still shown.
    void ignoreListTakesEffectWhenTheSettingsAreConfirmed()
    {
        QVERIFY(start());
        m_window->show();
        list("SelUnit")->setCurrentIndex(3); // Одна
        QTest::mouseClick(button(QStringLiteral("cmdSetup")), Qt::LeftButton);
        auto* settings = m_window->settingsDialog();
        settings->setIgnoring(true); // off after a first start
        QTest::mouseClick(child<QPushButton>(settings, QStringLiteral("Command2")), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(settings, QStringLiteral("Command4")), Qt::LeftButton);
        QCOMPARE(items(list("SelUnit")), (QStringList{"Масса", "Пустая", "Одна"}));
        QCOMPARE(list("SelUnit")->currentText(), QStringLiteral("Одна"));
        settings->addIgnored(QStringLiteral("Одна"));
        settings->close();
        QCOMPARE(list("SelUnit")->currentText(), QStringLiteral("Масса"));
    }

    void shutDownStoresSelectionsAndTheIgnoreList()
    {
        QVERIFY(start());
        list("SelUnit")->setCurrentIndex(1);
        list("InUnit")->setCurrentIndex(2);
        outUnit(3)->setCurrentIndex(1);
        m_window->settingsDialog()->setIgnoring(true);
        m_window->settingsDialog()->addIgnored(QStringLiteral("Пустая"));
        m_window->settingsDialog()->setRounding(false);
        m_window->shutDown();
        QVERIFY(start());
        QCOMPARE(items(list("SelUnit")), (QStringList{"Длина", "Масса", "Одна"}));
        QCOMPARE(list("SelUnit")->currentIndex(), 1);
        QCOMPARE(list("InUnit")->currentIndex(), 2);
        QCOMPARE(outUnit(3)->currentIndex(), 1);
        QVERIFY(!m_window->settingsDialog()->rounding());
        QCOMPARE(readBytes(path(QStringLiteral("Ignore.ini"))),
                 unitdb::encodeCp1251("Пустая\r\n").bytes);
        m_window->settingsDialog()->setIgnoring(false); // the list stays for next time
        m_window->shutDown();
        QCOMPARE(readBytes(path(QStringLiteral("Ignore.ini"))),
                 unitdb::encodeCp1251("Пустая\r\n").bytes);
    }

    void baseIsSavedOnlyWhenChangedAndConfirmed()
    {
        const std::string original = readBytes(path(QStringLiteral("Base.dat")));
        QVERIFY(start());
        m_window->editor()->selectUnit(0); // a change taken back leaves nothing to save
        auto* desc = child<QPlainTextEdit>(m_window->editor(), QStringLiteral("DescEdit"));
        typeText(desc, QStringLiteral("."));
        QTest::keyClick(desc, Qt::Key_Backspace);
        QVERIFY(m_tables->changed);
        m_msg.messages.clear();
        m_window->shutDown();
        QCOMPARE(m_msg.messages.size(), 0);
        QCOMPARE(readBytes(path(QStringLiteral("Base.dat"))), original);

        for (MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
            QVERIFY(start());
            m_tables->descriptions[0][0] = "Изменено.";
            m_tables->changed = true;
            m_msg.messages.clear();
            m_msg.answers.enqueue(answer);
            m_window->shutDown();
            QCOMPARE(m_msg.messages.size(), 1);
            QCOMPARE(m_msg.messages[0].text,
                     QStringLiteral("База данных была изменена. Сохранить изменения?"));
            QCOMPARE(m_msg.messages[0].icon, MsgIcon::Question);
            if (answer == MsgAnswer::No)
                QCOMPARE(readBytes(path(QStringLiteral("Base.dat"))), original);
        }
        QVERIFY(
            readBytes(path(QStringLiteral("Base.dat")))
                .starts_with(
                    unitdb::encodeCp1251("Длина\r\nАнгстрем (А),1E-10\r\nИзменено.\r\n").bytes));
    }
};

QTEST_MAIN(ConversionWindowTest)
#include "conversionwindow_test.moc"
