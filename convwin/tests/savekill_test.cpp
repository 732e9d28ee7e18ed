// A real window process killed with SIGKILL while it saves a large Base.dat:
// afterwards the file is always either the whole old one or the whole new one.
#include "convwin/conversionwindow.h"
#include "convwin/tests/testsupport.h"
#include "dialogs/tests/scriptedmessenger.h"
#include "unitdb/basefile.h"
#include "unitdb/unitsort.h"
#include "unitdb/unittables.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <memory>
#include <random>

using namespace testsupport;

namespace
{

// Every category full, each unit with a long description: about 700 KB.
std::unique_ptr<unitdb::UnitTables> fullTables()
{
    auto tables = std::make_unique<unitdb::UnitTables>();
    tables->categoryCount = unitdb::kMaxCategories;
    for (std::size_t c = 0; c < unitdb::kMaxCategories; ++c) {
        tables->categoryNames[c] = "Раздел " + std::to_string(c);
        tables->unitCount[c] = unitdb::kMaxUnits;
        for (std::size_t s = 0; s < unitdb::kMaxUnits; ++s) {
            tables->unitNames[c][s] =
                "Единица " + std::to_string(1000 + s) + " (е" + std::to_string(s) + ")";
            tables->coefficients[c][s] = 1.0 + static_cast<double>(s) / 7.0;
            tables->descriptions[c][s] = "Описание единицы, довольно длинное, чтобы файл был "
                                         "большим и запись занимала заметное время.";
        }
    }
    return tables;
}

// What the child does to the tables before it saves them.
void edit(unitdb::UnitTables& tables)
{
    for (std::size_t c = 0; c < unitdb::kMaxCategories; ++c)
        tables.descriptions[c][0] = "Изменено при этом запуске.";
    tables.changed = true;
}

// The child: starts the window in the folder, edits, says so, and shuts down with "Yes".
int runChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    QDir::setCurrent(QString::fromLocal8Bit(argv[2]));
    auto tables = std::make_unique<unitdb::UnitTables>();
    ScriptedMessenger messenger;
    ConversionWindow window(*tables, messenger, QStringLiteral("registry.reg"));
    if (!window.startUp())
        return 2;
    edit(*tables);
    messenger.answers << MsgAnswer::Yes;
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    window.shutDown();
    return 0;
}

} // namespace

class SaveKillTest : public QObject
{
    Q_OBJECT

private slots:
    void killedSaveLeavesTheOldOrTheNewFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString base = dir.filePath(QStringLiteral("Base.dat"));
        auto tables = fullTables();
        QVERIFY(unitdb::save(*tables, base.toStdString()).ok());
        const std::string oldBytes = readBytes(base);
        unitdb::sortUnits(*tables);
        edit(*tables);
        std::string newBytes;
        QVERIFY(unitdb::baseFileBytes(*tables, newBytes).ok());
        QVERIFY(newBytes != oldBytes);

        const int rounds = std::max(16, qEnvironmentVariableIntValue("MV_KILL_ROUNDS"));
        // Starts a child and waits until it begins to save.
        const auto startSaving = [&](QProcess& child) {
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--child"), dir.path()});
            QVERIFY(child.waitForStarted());
            while (!child.canReadLine())
                QVERIFY2(child.waitForReadyRead(30000), "the child never started saving");
        };
        // One undisturbed run tells how long shut-down takes here; kills are spread over it.
        QElapsedTimer clock;
        {
            QProcess child;
            startSaving(child);
            clock.start();
            QVERIFY(child.waitForFinished(30000));
            QCOMPARE(readBytes(base), newBytes);
        }
        const auto span =
            static_cast<unsigned>(std::max<qint64>(1000, clock.nsecsElapsed() / 1000));
        std::mt19937 random(20261206);
        int sawOld = 0;
        for (int round = 0; round < rounds; ++round) {
            std::ofstream(base.toStdString(), std::ios::binary | std::ios::trunc) << oldBytes;
            QProcess child;
            startSaving(child);
            QThread::usleep(std::uniform_int_distribution<unsigned>(0, span)(random));
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(30000));
            const std::string after = readBytes(base);
            QVERIFY2(after == oldBytes || after == newBytes,
                     qPrintable(QStringLiteral("round %1: %2 bytes, neither old nor new")
                                    .arg(round)
                                    .arg(after.size())));
            sawOld += after == oldBytes;
        }
        qInfo("%d rounds over %u us: old file %d times", rounds, span, sawOld);
    }
};
int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "--child")
        return runChild(argc, argv);
    QApplication app(argc, argv);
    SaveKillTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "savekill_test.moc"
