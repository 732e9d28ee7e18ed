// Every file the program writes, failing at each step in turn or killed while it saves, and
// files it cannot read: the old file stays whole and the user is told what failed.
#include "convwin/tests/faultfs.h"
#include "convwin/tests/testsupport.h"
#include "dialogs/settingsdialog.h"
#include "unitdb/basefile.h"

#include <QProcess>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <random>

using namespace testsupport;
using faultfs::FaultScope;
using faultfs::Step;

namespace
{

const char* const kStepNames[] = {"open",   "write",        "flush", "close",
                                  "rename", "open to read", "fstat", "read"};

// One failing call: the file, the step, the system's error and the words the user reads for it.
struct Fault {
    QString file;
    Step step;
    int error;
    const char* reason;
};

// Every category full, each unit with a long description: over half a megabyte.
std::string fullBase()
{
    const std::string unit = ",1\nОписание единицы, довольно длинное, чтобы файл был большим и "
                             "запись занимала заметное время.\n";
    std::string text;
    for (std::size_t q = 0; q < unitdb::kMaxQuantities; ++q) {
        text += "Раздел " + std::to_string(q) + "\n";
        for (std::size_t s = 0; s < unitdb::kMaxUnits; ++s)
            text += "Единица " + std::to_string(1000 + s) + unit;
        text += "*\n";
    }
    return text;
}

// The process the kill test kills: starts the window on the folder's Base.dat, edits it, says
// so, and shuts down answering "Yes" to the save question.
int runChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::filesystem::path folder = QString::fromLocal8Bit(argv[2]).toStdString();
    convmodel::Session session({folder, folder / "registry.reg"}, "Метрованта", '.');
    ScriptedMessenger messenger;
    ConversionWindow window(session, messenger);
    if (!window.startUp())
        return 2;
    if (!session.database().setDescription(0, 0, "Изменено при этом запуске.").ok())
        return 3;
    messenger.answers << MsgAnswer::Yes;
    std::fputs("saving\n", stdout);
    std::fflush(stdout);
    window.shutDown();
    return 0;
}

// Starts a child on the folder and waits until it begins to save.
void startSaving(QProcess& child, const QString& folder)
{
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), folder});
    while (!child.canReadLine())
        QVERIFY2(child.waitForReadyRead(30000), "the child never started saving");
}

} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(MsgAnswer)

class FaultTest : public QObject, private WindowFixture
{
    Q_OBJECT

private:
    bool shown(const QString& part) const
    {
        return std::any_of(m_msg.messages.begin(), m_msg.messages.end(),
                           [&](const ShownMessage& m) { return m.text.contains(part); });
    }
    // Each step on each file, failing with each error a disk gives.
    static void addFaults(const QStringList& files, std::initializer_list<Step> steps)
    {
        QTest::addColumn<Fault>("fault");
        for (const QString& file : files)
            for (Step step : steps)
                for (const Fault& f :
                     {Fault{file, step, ENOSPC, "диск заполнен"},
                      Fault{file, step, EROFS, "файловая система только для чтения"},
                      Fault{file, step, EIO, "ошибка ввода-вывода"}})
                    QTest::addRow("%s, %s, %s", qPrintable(file),
                                  kStepNames[static_cast<int>(step)], f.reason)
                        << f;
    }
    // One more category, and "Yes" to the save question.
    void editAndConfirm()
    {
        QVERIFY(db().addQuantity("Новая").ok());
        m_msg.answers << MsgAnswer::Yes;
    }
    bool holdsTheEdit(const QString& file) const
    {
        unitdb::UnitDatabase back;
        return unitdb::load(back, file.toStdString()).ok() && back.size() == db().size();
    }

private slots:
    void init()
    {
        m_msg = ScriptedMessenger();
        makeFolder();
        writeCp1251(path("Ignore.ini"), "Пустая\n");
    }
    void cleanup() { removeFolder(); }

    // Base.dat is retried once and then offered to be saved elsewhere.
    void savedFile_data()
    {
        addFaults({QStringLiteral("Base.dat"), QStringLiteral("Ignore.ini"),
                   QStringLiteral("registry.reg")},
                  {Step::Open, Step::Write, Step::Flush, Step::Close, Step::Rename});
    }
    void savedFile()
    {
        QFETCH(Fault, fault);
        const QString& file = fault.file;
        QVERIFY(start());
        const std::string before = readBytes(path(file));
        const bool base = file == QLatin1String("Base.dat");
        if (base) {
            editAndConfirm();
            m_msg.answers << MsgAnswer::Yes << MsgAnswer::No << MsgAnswer::Yes;
            m_msg.saveAnswers << path("elsewhere.dat");
        }
        changeSettings([](settings::RuntimeSettings& s) {
            s.ignoring = settings::Ignoring::On;
            s.ignoredCategories.push_back("Масса");
            s.decimalPlaces = 3;
        });
        {
            FaultScope scope(fault.step, fault.error, file.toStdString());
            m_window->shutDown();
            QVERIFY(scope.failures > (base ? 1 : 0));
        }
        QCOMPARE(readBytes(path(file)), before);
        const QString failed =
            file == QLatin1String("registry.reg")
                ? QStringLiteral("Не удалось сохранить настройки в файле «%1»").arg(path(file))
                : QStringLiteral("Не удалось сохранить файл %1").arg(file);
        QVERIFY(shown(failed + QStringLiteral(": ") + QString::fromUtf8(fault.reason)));
        if (base) {
            QCOMPARE(m_msg.proposedSaveNames.at(0), path("Base.dat.unsaved"));
            QVERIFY(holdsTheEdit(path("elsewhere.dat")));
        }
    }

    // Whether opening the log or writing to it fails, the old lines stay and the result shows.
    void calculationLog_data()
    {
        addFaults({QStringLiteral("calc.log")}, {Step::Open, Step::Write, Step::Flush});
    }
    void calculationLog()
    {
        QFETCH(Fault, fault);
        std::ofstream(path(fault.file).toStdString(), std::ios::binary) << "old\r\n";
        QVERIFY(start());
        changeSettings([&fault](settings::RuntimeSettings& s) {
            s.logFile = fault.file.toStdString();
            s.logging = settings::Logging::On;
        });
        {
            FaultScope scope(fault.step, fault.error, fault.file.toStdString());
            line("InText")->setText(QStringLiteral("2+2"));
            QTest::keyClick(line("InText"), Qt::Key_Return);
            QVERIFY(scope.failures > 0);
        }
        QVERIFY(readBytes(path(fault.file)).starts_with("old\r\n"));
        QVERIFY(shown(QStringLiteral("Не удалось %1 log-файл calc.log")
                          .arg(fault.step == Step::Open ? "открыть" : "записать в")));
        QCOMPARE(line("InText")->text(), QStringLiteral("4"));
    }

    // A Base.dat or Ignore.ini read in part or not at all is left alone while nothing changed.
    // A change replaces Base.dat, keeping the old one as .bak, and the save question says so;
    // the ignore list's change goes over what the file holds once it reads again.
    void unreadFile_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("Base.dat, bad line") << Fault{"Base.dat", Step::Rename, 0, "строка 4"};
        for (const char* file : {"Base.dat", "Ignore.ini"})
            for (const Fault& f : {Fault{file, Step::OpenToRead, EACCES, "доступ запрещён"},
                                   Fault{file, Step::Stat, EIO, "ошибка ввода-вывода"},
                                   Fault{file, Step::Read, EIO, "ошибка ввода-вывода"}})
                QTest::addRow("%s, %s", file, kStepNames[static_cast<int>(f.step)]) << f;
        // Errors a planted link, a FIFO or a long name give: words, not «системная ошибка 40».
        for (const Fault& f : {Fault{"Base.dat", Step::OpenToRead, ELOOP, "символических ссылок"},
                               Fault{"Base.dat", Step::OpenToRead, ENXIO, "канал недоступны"},
                               Fault{"Base.dat", Step::OpenToRead, ENAMETOOLONG, "длинное имя"}})
            QTest::addRow("Base.dat, %s", f.reason) << f;
    }
    void unreadFile()
    {
        QFETCH(Fault, fault);
        const QString& file = fault.file;
        if (fault.error == 0)
            writeCp1251(path("Base.dat"), "Длина\nМетр (м),1\n\nВерста,много\n\n*\n");
        const std::string before = readBytes(path(file));
        {
            FaultScope scope(fault.step, fault.error, fault.error ? file.toStdString() : "none");
            QVERIFY(start());
        }
        QVERIFY(shown(QString::fromUtf8(fault.reason)));
        changeSettings([](settings::RuntimeSettings& s) { s.ignoring = settings::Ignoring::On; });
        m_window->shutDown();
        QCOMPARE(readBytes(path(file)), before);

        m_msg.messages.clear();
        editAndConfirm();
        changeSettings(
            [](settings::RuntimeSettings& s) { s.ignoredCategories.push_back("Масса"); });
        m_window->shutDown();
        if (file == QLatin1String("Ignore.ini")) {
            QCOMPARE(readBytes(path(file)), unitdb::encodeCp1251("Масса\r\nПустая\r\n").bytes);
            return;
        }
        QCOMPARE(readBytes(path(file + ".bak")), before);
        const QString question = m_msg.messages.at(0).text;
        QVERIFY(question.contains(fault.error ? QStringLiteral("Файл Base.dat не был прочитан")
                                              : QStringLiteral("со строки 4 и дальше")));
        QVERIFY(holdsTheEdit(path(file)));
    }

    // Another copy of the program saved Base.dat since start-up, or it cannot be read to tell:
    // the user decides where the edit goes, if anywhere; an unread file is kept as .bak.
    void changedOnDisk_data()
    {
        QTest::addColumn<MsgAnswer>("answer");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<bool>("unreadable");
        QTest::newRow("overwrite") << MsgAnswer::Yes << "Base.dat" << false;
        QTest::newRow("another file") << MsgAnswer::No << "Base.dat.unsaved" << false;
        QTest::newRow("do not save") << MsgAnswer::Cancel << "" << false;
        QTest::newRow("unreadable, overwrite") << MsgAnswer::Yes << "Base.dat" << true;
    }
    void changedOnDisk()
    {
        QFETCH(MsgAnswer, answer);
        QFETCH(QString, saved);
        QFETCH(bool, unreadable);
        QVERIFY(start());
        editAndConfirm();
        writeCp1251(path("Base.dat"), "Другая\nЕдиница,1\n\n*\n");
        if (unreadable)
            std::filesystem::resize_file(path("Base.dat").toStdString(),
                                         unitdb::kBaseFileLimit + 1);
        m_msg.answers << answer;
        m_msg.saveAnswers << path("Base.dat.unsaved");
        m_window->shutDown();
        QCOMPARE(m_msg.messages.last().buttons, MsgButtons::YesNoCancel);
        QVERIFY(m_msg.messages.last().text.contains(unreadable
                                                        ? QStringLiteral("не удаётся прочитать")
                                                        : QStringLiteral("изменился на диске")));
        for (const char* file : {"Base.dat", "Base.dat.unsaved"})
            QCOMPARE(holdsTheEdit(path(file)), saved == file);
        QCOMPARE(QFileInfo(path("Base.dat.bak")).size(),
                 unreadable ? unitdb::kBaseFileLimit + 1 : 0);
    }

    // Killed at a random moment of its save, the window leaves the whole old file or the
    // whole new one.
    void killedSaveLeavesTheOldOrTheNewFile()
    {
        const QString base = path("Base.dat");
        writeCp1251(base, fullBase());
        const std::string oldBytes = readBytes(base);
        // One undisturbed run gives the new file and how long saving takes here; the kills
        // are spread over that time.
        QProcess first;
        startSaving(first, m_dir->path());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(first.waitForFinished(30000));
        const auto span =
            static_cast<unsigned>(std::max<qint64>(1000, clock.nsecsElapsed() / 1000));
        const std::string newBytes = readBytes(base);
        QVERIFY(newBytes != oldBytes);
        std::mt19937 random(20261206);
        const int rounds = std::max(16, qEnvironmentVariableIntValue("MV_KILL_ROUNDS"));
        for (int round = 0; round < rounds; ++round) {
            std::ofstream(base.toStdString(), std::ios::binary) << oldBytes;
            QProcess child;
            startSaving(child, m_dir->path());
            QThread::usleep(std::uniform_int_distribution<unsigned>(0, span)(random));
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(30000));
            const std::string after = readBytes(base);
            QVERIFY2(after == oldBytes || after == newBytes, qPrintable(QString::number(round)));
        }
        // The next start clears what the killed saves left.
        QVERIFY(start());
        QCOMPARE(QDir(m_dir->path()).entryList({QStringLiteral("*.tmp")}, QDir::Files),
                 QStringList());
    }
};

int main(int argc, char** argv)
{
    if (argc >= 3 && std::string(argv[1]) == "--child")
        return runChild(argc, argv);
    QApplication app(argc, argv);
    FaultTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "fault_test.moc"
