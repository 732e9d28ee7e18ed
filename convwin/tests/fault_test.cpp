// Every file the program writes, failing at each step in turn: the old file
// stays whole, the user is told what failed, and the program goes on.
#include "convwin/conversionwindow.h"
#include "convwin/tests/faultfs.h"
#include "convwin/tests/testsupport.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/tests/scriptedmessenger.h"
#include "unitdb/basefile.h"
#include "unitdb/unittables.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <initializer_list>
#include <memory>

using namespace testsupport;
using faultfs::FaultScope;
using faultfs::Step;

Q_DECLARE_METATYPE(Step)
Q_DECLARE_METATYPE(MsgAnswer)

class FaultTest : public QObject, private WindowFixture
{
    Q_OBJECT

private:
    void startQuietly()
    {
        QVERIFY(start());
        m_msg.messages.clear();
    }
    QLineEdit* input() { return child<QLineEdit>(m_window.get(), QStringLiteral("InText")); }
    bool shown(const QString& part) const
    {
        for (const auto& message : m_msg.messages)
            if (message.text.contains(part))
                return true;
        return false;
    }
    // The program goes on: typing still converts.
    void stillConverts()
    {
        input()->setText(QStringLiteral("7"));
        QCOMPARE(child<QLineEdit>(m_window.get(), QStringLiteral("OutText_0"))->text(),
                 QStringLiteral("7"));
    }
    void addRows(const QStringList& files, std::initializer_list<Step> steps)
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Step>("step");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        const struct {
            int error;
            const char* reason;
        } errors[] = {{ENOSPC, "диск заполнен"},
                      {EROFS, "файловая система только для чтения"},
                      {EIO, "ошибка ввода-вывода"}};
        for (const QString& file : files)
            for (Step step : steps)
                for (const auto& e : errors)
                    QTest::addRow("%s, %s, %s", qPrintable(file), faultfs::stepName(step), e.reason)
                        << file << step << e.error << QString::fromUtf8(e.reason);
    }
    // Edits the tables and answers the save question with Yes.
    void editAndConfirm()
    {
        m_tables->descriptions[0][0] = "Изменено.";
        m_tables->changed = true;
        m_msg.answers << MsgAnswer::Yes;
    }
    // The file holds the edited tables.
    void holdsTheEdit(const QString& file)
    {
        unitdb::UnitTables back;
        QVERIFY(unitdb::load(back, file.toStdString()).ok());
        QCOMPARE(back.descriptions[0][0], std::string("Изменено."));
    }

private slots:
    void init()
    {
        m_msg = ScriptedMessenger();
        enterFolder();
        writeCp1251(path("Ignore.ini"), "Пустая\n");
    }
    void cleanup() { leaveFolder(); }

    // Base.dat is retried once and then offered to be saved elsewhere.
    void savedFile_data()
    {
        addRows({QStringLiteral("Base.dat"), QStringLiteral("Ignore.ini"),
                 QStringLiteral("registry.reg")},
                {Step::Open, Step::Write, Step::Flush, Step::Close, Step::Rename});
    }
    void savedFile()
    {
        QFETCH(QString, file);
        QFETCH(Step, step);
        QFETCH(int, error);
        QFETCH(QString, reason);
        startQuietly();
        const std::string before = readBytes(path(file));
        QVERIFY(!before.empty());
        const bool base = file == QLatin1String("Base.dat");
        if (base) {
            editAndConfirm();
            m_msg.answers << MsgAnswer::Yes << MsgAnswer::No << MsgAnswer::Yes;
            m_msg.saveAnswers << path("elsewhere.dat");
        }
        m_window->settingsDialog()->setIgnoring(true);
        m_window->settingsDialog()->addIgnored(QStringLiteral("Масса"));
        m_window->settingsDialog()->setPlaces(3);
        {
            FaultScope fault(step, error, file.toStdString());
            m_window->shutDown();
            QVERIFY(fault.failures() > (base ? 1 : 0));
        }
        QCOMPARE(readBytes(path(file)), before);
        QVERIFY(shown(file == QLatin1String("registry.reg")
                          ? file
                          : QStringLiteral("Не удалось сохранить файл %1: %2").arg(file, reason)));
        if (base) {
            QCOMPARE(m_msg.saveDialogs.size(), 1);
            QCOMPARE(m_msg.saveDialogs[0].proposed, path("Base.dat.unsaved"));
            holdsTheEdit(path("elsewhere.dat"));
        }
        stillConverts();
    }

    // The log is already open when it fails; opening it is the start-up case below.
    void calculationLog_data()
    {
        addRows({QStringLiteral("calc.log")}, {Step::Write, Step::Flush});
    }
    void calculationLog()
    {
        QFETCH(QString, file);
        QFETCH(Step, step);
        QFETCH(int, error);
        startQuietly();
        m_window->settingsDialog()->setLogFile(file);
        m_window->settingsDialog()->setLogging(true);
        input()->setText(QStringLiteral("1+1"));
        QTest::keyClick(input(), Qt::Key_Return);
        const std::string before = readBytes(path("calc.log"));
        QVERIFY(!before.empty());
        {
            FaultScope fault(step, error, file.toStdString());
            input()->setText(QStringLiteral("2+2"));
            QTest::keyClick(input(), Qt::Key_Return);
            QVERIFY(fault.failures() > 0);
        }
        QVERIFY(readBytes(path("calc.log")).starts_with(before));
        QVERIFY(shown(QStringLiteral("Не удалось записать в log-файл calc.log")));
        QCOMPARE(input()->text(), QStringLiteral("4"));
        stillConverts();
    }

    void logThatCannotBeOpenedAtStartUp()
    {
        std::ofstream(path("calc.log").toStdString(), std::ios::binary) << "old\r\n";
        writeRegistry(QStringLiteral(
            "\"Launched\"=\"1\"\r\n\"Logging\"=\"1\"\r\n\"LogFile\"=\"calc.log\"\r\n"));
        {
            FaultScope fault(Step::Open, EACCES, "calc.log");
            QVERIFY(start());
        }
        QVERIFY(shown(QStringLiteral("Не удалось открыть log-файл calc.log")));
        QCOMPARE(readBytes(path("calc.log")), std::string("old\r\n"));
        stillConverts();
    }

    // Tables that do not hold the whole file: the question says so and the old
    // file is kept as Base.dat.bak before it is replaced.
    void incompleteBaseDat_data()
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("asked");
        const QString unread = QStringLiteral("Файл Base.dat не был прочитан");
        QTest::newRow("bad line") << Step::Rename << 0 << QStringLiteral("строка 4")
                                  << QStringLiteral("со строки 4 и дальше не были загружены");
        QTest::newRow("open fails")
            << Step::OpenToRead << EACCES << QStringLiteral("доступ запрещён") << unread;
        QTest::newRow("fstat fails")
            << Step::Stat << EIO << QStringLiteral("ошибка ввода-вывода") << unread;
        QTest::newRow("read fails")
            << Step::Read << EIO << QStringLiteral("ошибка ввода-вывода") << unread;
    }
    void incompleteBaseDat()
    {
        QFETCH(Step, step);
        QFETCH(int, error);
        QFETCH(QString, told);
        QFETCH(QString, asked);
        if (error == 0)
            writeCp1251(path("Base.dat"), "Длина\nМетр (м),1\n\nВерста,много\n\n*\n");
        const std::string before = readBytes(path("Base.dat"));
        {
            FaultScope fault(step, error, error ? "Base.dat" : "none");
            QVERIFY(start());
        }
        QVERIFY(shown(told));
        m_msg.messages.clear();
        m_tables->categoryNames[m_tables->categoryCount++] = "Новая";
        m_tables->changed = true;
        m_msg.answers << MsgAnswer::Yes;
        m_window->shutDown();
        QVERIFY(m_msg.messages.at(0).text.contains(asked));
        QVERIFY(m_msg.messages.at(0).text.endsWith(
            QStringLiteral("Прежний файл будет сохранён как Base.dat.bak.")));
        QCOMPARE(readBytes(path("Base.dat.bak")), before);
        unitdb::UnitTables back;
        QVERIFY(unitdb::load(back, "Base.dat").ok());
        QCOMPARE(back.categoryCount, m_tables->categoryCount);
    }

    // Special files at start-up neither hang nor abort; at shut-down the old file,
    // which cannot be kept, is not replaced, and the tables go to another file.
    void specialBaseDat_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder") << "folder" << QStringLiteral("это папка");
        QTest::newRow("pipe") << "pipe" << QStringLiteral("это не обычный файл");
        QTest::newRow("bad sector") << "/proc/self/mem" << QStringLiteral("ошибка ввода-вывода");
    }
    void specialBaseDat()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        const std::string base = path("Base.dat").toStdString();
        QVERIFY(QFile::remove(path("Base.dat")));
        if (kind == "folder")
            QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Base.dat")));
        else if (kind == "pipe")
            QCOMPARE(::mkfifo(base.c_str(), 0600), 0);
        else
            QVERIFY(QFile::link(kind, path("Base.dat")));
        const auto type = std::filesystem::symlink_status(base).type();
        QVERIFY(start());
        QCOMPARE(m_msg.messages.size(), 1);
        QVERIFY(m_msg.messages[0].text.startsWith(
            QStringLiteral("Ошибка № 75: Не удалось прочитать файл Base.dat: ") + reason));
        QCOMPARE(m_tables->categoryCount, 0);
        m_tables->categoryNames[m_tables->categoryCount++] = "Новая";
        m_tables->changed = true;
        // Save; do not retry; do save elsewhere.
        m_msg.answers << MsgAnswer::Yes << MsgAnswer::No << MsgAnswer::Yes;
        m_msg.saveAnswers << path("saved.dat");
        m_window->shutDown();
        QVERIFY(shown(QStringLiteral("не удалось сохранить прежний файл как Base.dat.bak")));
        QCOMPARE(std::filesystem::symlink_status(base).type(), type);
        QVERIFY(QFile::exists(path("saved.dat")));
    }

    // Another copy of the program saved Base.dat since start-up: the user decides.
    void changedOnDisk_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::newRow("overwrite") << MsgAnswer::Yes;
        QTest::newRow("another file") << MsgAnswer::No;
        QTest::newRow("do not save") << MsgAnswer::Cancel;
    }
    void changedOnDisk()
    {
        QFETCH(MsgAnswer, answer);
        const bool overwritten = answer == MsgAnswer::Yes;
        const bool savedElsewhere = answer == MsgAnswer::No;
        startQuietly();
        editAndConfirm();
        writeCp1251(path("Base.dat"), "Другая\nЕдиница,1\n\n*\n");
        const std::string other = readBytes(path("Base.dat"));
        m_msg.answers << answer;
        m_msg.saveAnswers << path("Base.dat.unsaved");
        m_window->shutDown();
        QCOMPARE(m_msg.messages.at(1).buttons, MsgButtons::YesNoCancel);
        QVERIFY(m_msg.messages.at(1).text.contains(QStringLiteral("изменился на диске")));
        if (overwritten)
            holdsTheEdit(path("Base.dat"));
        else
            QCOMPARE(readBytes(path("Base.dat")), other);
        QCOMPARE(QFile::exists(path("Base.dat.unsaved")), savedElsewhere);
        if (savedElsewhere)
            holdsTheEdit(path("Base.dat.unsaved"));
    }

    // An Ignore.ini that could not be read is not emptied at shut-down; a list
    // the user filled replaces it, with the old one kept beside it.
    void unreadableIgnoreIni_data()
    {
        QTest::addColumn<Step>("step");
        for (Step step : {Step::OpenToRead, Step::Stat, Step::Read})
            QTest::newRow(faultfs::stepName(step)) << step;
    }
    void unreadableIgnoreIni()
    {
        QFETCH(Step, step);
        const std::string before = readBytes(path("Ignore.ini"));
        {
            FaultScope fault(step, EIO, "Ignore.ini");
            QVERIFY(start());
        }
        QVERIFY(shown(QStringLiteral("Не удалось прочитать файл Ignore.ini: ошибка ввода-вывода")));
        m_window->settingsDialog()->setIgnoring(true);
        m_window->shutDown();
        QCOMPARE(readBytes(path("Ignore.ini")), before);
        m_window->settingsDialog()->addIgnored(QStringLiteral("Масса"));
        m_window->shutDown();
        QCOMPARE(readBytes(path("Ignore.ini.bak")), before);
        QCOMPARE(readBytes(path("Ignore.ini")), std::string("\xCC\xE0\xF1\xF1\xE0\r\n"));
    }
};

QTEST_MAIN(FaultTest)
#include "fault_test.moc"
