// Every file the program writes, failing at each step in turn: the old file
// stays whole, the user is told what failed, and the program goes on.
#include "convwin/conversionwindow.h"
#include "convwin/tests/faultfs.h"
#include "convwin/tests/testsupport.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/tests/scriptedmessenger.h"
#include "unitdb/unittables.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <memory>

using namespace testsupport;
using faultfs::FaultScope;
using faultfs::Step;

Q_DECLARE_METATYPE(Step)

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
    void addRows(bool withClose)
    {
        QTest::addColumn<Step>("step");
        QTest::addColumn<int>("error");
        const struct {
            const char* name;
            int error;
        } errors[] = {{"disk full", ENOSPC}, {"read-only", EROFS}, {"i/o", EIO}};
        for (Step step : {Step::Open, Step::Write, Step::Flush, Step::Close, Step::Rename}) {
            if (!withClose && (step == Step::Close || step == Step::Rename))
                continue;
            for (const auto& e : errors)
                QTest::addRow("%s, %s", faultfs::stepName(step), e.name) << step << e.error;
        }
    }

private slots:
    void init()
    {
        enterFolder();
        writeCp1251(path("Ignore.ini"), "Пустая\n");
    }
    void cleanup() { leaveFolder(); }

    void baseDat_data() { addRows(true); }
    void baseDat()
    {
        QFETCH(Step, step);
        QFETCH(int, error);
        startQuietly();
        const std::string before = readBytes(path("Base.dat"));
        m_tables->UnitDesc[0][0] = "Изменено.";
        m_tables->BaseChanged = true;
        m_msg.answers << MsgAnswer::Yes << MsgAnswer::No; // save, then do not retry
        {
            FaultScope fault(step, error, "Base.dat");
            m_window->shutDown();
            QVERIFY(fault.failures() > 0);
        }
        QCOMPARE(readBytes(path("Base.dat")), before);
        QVERIFY(!QFile::exists(path("Base.dat.tmp")));
        QVERIFY(shown(QStringLiteral("Не удалось сохранить файл Base.dat")));
        stillConverts();
        // Trying again once the disk is well saves the edits.
        m_msg.answers << MsgAnswer::Yes;
        m_window->shutDown();
        QVERIFY(readBytes(path("Base.dat")) != before);
    }

    void ignoreIni_data() { addRows(true); }
    void ignoreIni()
    {
        QFETCH(Step, step);
        QFETCH(int, error);
        startQuietly();
        const std::string before = readBytes(path("Ignore.ini"));
        m_window->settingsDialog()->setIgnoring(true);
        m_window->settingsDialog()->addIgnored(QStringLiteral("Масса"));
        {
            FaultScope fault(step, error, "Ignore.ini");
            m_window->shutDown();
            QVERIFY(fault.failures() > 0);
        }
        QCOMPARE(readBytes(path("Ignore.ini")), before);
        QVERIFY(shown(QStringLiteral("Не удалось сохранить файл Ignore.ini")));
        stillConverts();
    }

    void settingsFile_data() { addRows(true); }
    void settingsFile()
    {
        QFETCH(Step, step);
        QFETCH(int, error);
        startQuietly();
        const std::string before = readBytes(path("registry.reg"));
        QVERIFY(!before.empty());
        m_window->settingsDialog()->setPlaces(3);
        {
            FaultScope fault(step, error, "registry.reg");
            m_window->shutDown();
            QVERIFY(fault.failures() > 0);
        }
        QCOMPARE(readBytes(path("registry.reg")), before);
        QVERIFY(shown(QStringLiteral("registry.reg")));
        stillConverts();
    }

    void calculationLog_data() { addRows(false); }
    void calculationLog()
    {
        QFETCH(Step, step);
        QFETCH(int, error);
        startQuietly();
        m_window->settingsDialog()->setLogFile(QStringLiteral("calc.log"));
        m_window->settingsDialog()->setLogging(true);
        input()->setText(QStringLiteral("1+1"));
        QTest::keyClick(input(), Qt::Key_Return);
        const std::string before = readBytes(path("calc.log"));
        QVERIFY(!before.empty());
        {
            FaultScope fault(step, error, "calc.log");
            input()->setText(QStringLiteral("2+2"));
            QTest::keyClick(input(), Qt::Key_Return);
            if (step == Step::Open) // the log is already open: nothing to fail
                QCOMPARE(fault.failures(), 0);
            else
                QVERIFY(fault.failures() > 0);
        }
        QVERIFY(readBytes(path("calc.log")).starts_with(before));
        if (step != Step::Open)
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

    void filesReplacedByFolders()
    {
        startQuietly();
        const std::string base = readBytes(path("Base.dat"));
        QVERIFY(QFile::remove(path("Ignore.ini")));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Ignore.ini")));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Base.dat.tmp")));
        m_window->settingsDialog()->setIgnoring(true);
        m_tables->UnitDesc[0][0] = "Изменено.";
        m_tables->BaseChanged = true;
        m_msg.answers << MsgAnswer::No << MsgAnswer::Yes << MsgAnswer::No;
        m_window->shutDown();
        QVERIFY(shown(QStringLiteral("Не удалось сохранить файл Ignore.ini")));
        QVERIFY(shown(QStringLiteral("Не удалось сохранить файл Base.dat")));
        QCOMPARE(readBytes(path("Base.dat")), base);
        QVERIFY(QFileInfo(path("Ignore.ini")).isDir());
    }

    void baseDatThatIsAFolderIsReportedAndTheWindowStillWorks()
    {
        QVERIFY(QFile::remove(path("Base.dat")));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Base.dat")));
        QVERIFY(start());
        QCOMPARE(m_msg.messages.size(), 1);
        QVERIFY(m_msg.messages[0].text.startsWith(QStringLiteral("Ошибка № ")));
        QCOMPARE(m_tables->CatCount, 0);
        input()->setText(QStringLiteral("5"));
        QTest::keyClick(input(), Qt::Key_Return);
        m_window->shutDown();
    }
};

QTEST_MAIN(FaultTest)
#include "fault_test.moc"
