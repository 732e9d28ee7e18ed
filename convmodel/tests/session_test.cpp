// Start-up and shut-down in a fresh folder each time: what is read, restored and reported, in
// which order, and what is written back.
#include "convmodel/session.h"

#include "fileio/tests/testfolder.h"
#include "unitdb/cp1251.h"

#include <sys/stat.h>

#include <variant>

using namespace convmodel;

namespace
{

const char* const kBase = "Длина\nМетр (м),1\nОсновная единица длины.\n"
                          "Аршин (арш),0.7112\nСтарая русская мера.\n"
                          "Сантиметр (см),0.01\n\n"
                          "*\n"
                          "Масса\nКилограмм (кг),1\nМасса эталона.\n"
                          "Грамм (г),0.001\n\n"
                          "Тонна (т),1000\n\n"
                          "*\n"
                          "Пустая\n*\n"
                          "Одна\nШтука (шт),1\nЕдинственная.\n"
                          "*\n";

std::string crlf(std::string_view text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

void writeCp1251(const std::filesystem::path& file, std::string_view utf8)
{
    writeBytes(file, unitdb::encodeCp1251(crlf(utf8)).bytes);
}

template <typename T> const T* find(const std::vector<Problem>& problems)
{
    for (const Problem& p : problems)
        if (const auto* found = std::get_if<T>(&p))
            return found;
    return nullptr;
}

class SessionTest : public testing::Test
{
protected:
    TestFolder m_dir;
    std::unique_ptr<Session> m_session;

    void SetUp() override { writeCp1251(m_dir / "Base.dat", kBase); }
    std::filesystem::path settingsFile() const { return m_dir / "registry.reg"; }
    void writeSettings(const std::string& values)
    {
        writeBytes(settingsFile(), "Windows Registry Editor Version 5.00\r\n\r\n"
                                   "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvellant\\Metrovanta\\"
                                   "Settings]\r\n\"Launched\"=\"1\"\r\n" +
                                       values);
    }
    bool stored(const std::string& line) const
    {
        return readBytes(settingsFile()).find(line) != std::string::npos;
    }
    std::vector<Problem> start(std::filesystem::path settings = {})
    {
        m_session = std::make_unique<Session>(
            DataFiles{m_dir.path(), settings.empty() ? settingsFile() : settings},
            "Метрованта 1.78", '.');
        return m_session->start();
    }
    ConversionModel& model() { return m_session->model(); }
    settings::RuntimeSettings runtime() { return m_session->runtime(); }
};

} // namespace

TEST_F(SessionTest, FirstStartStoresTheFirstRunValuesAndListsEverything)
{
    const auto problems = start();
    ASSERT_EQ(problems.size(), 1u); // the one-unit quantity, with its unit
    const auto* single = find<SingleUnit>(problems);
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(std::tie(single->quantity, single->unit), std::tie("Одна", "Штука (шт)"));
    EXPECT_TRUE(stored("\"Launched\"=\"1\""));
    EXPECT_TRUE(stored("\"Round\"=\"9\""));
    EXPECT_EQ(model().listed(), (std::vector<std::size_t>{0, 1, 2, 3}));
    EXPECT_EQ(model().quantity()->units[0].name, "Аршин (арш)"); // sorted at start
    EXPECT_FALSE(std::filesystem::exists(m_dir / "log.txt"));    // logging is off at first
}

TEST_F(SessionTest, StoredChoicesAreRestoredOrFallBack)
{
    const struct {
        const char* velic;
        const char* field1;
        const char* round;
        int position;
        int inputSlot;
        int places; // -1: not rounding
    } rows[] = {
        {"4", "5", "-1", 0, 0, -1}, // one past the end
        {" 1", "+2 ", "4", 1, 2, 4},
        {"-1", "-1", "99", 0, 0, 15},
        {"x", "", "", 0, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.velic);
        writeSettings(std::string("\"Velic\"=\"") + row.velic + "\"\r\n\"Field1\"=\"" + row.field1 +
                      "\"\r\n\"Round\"=\"" + row.round + "\"\r\n");
        start();
        EXPECT_EQ(model().quantityPosition(), row.position);
        EXPECT_EQ(model().unitSlot(kInputRow), row.inputSlot);
        const auto r = runtime();
        EXPECT_EQ(r.rounding == settings::Rounding::On ? r.decimalPlaces : -1, row.places);
    }
}

TEST_F(SessionTest, AMissingBaseEndsStartUpAndABadOneLoadsWhatCameFirst)
{
    writeSettings("\"Velic\"=\"2\"\r\n");
    std::filesystem::remove(m_dir / "Base.dat");
    auto problems = start();
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(std::holds_alternative<BaseMissing>(problems.back()));

    writeCp1251(m_dir / "Base.dat", "Длина\nМетр (м),1\nОсновная.\nФут (фт),abc\nПлохой.\n*\n");
    problems = start();
    const auto* fault = find<BaseFault>(problems);
    ASSERT_NE(fault, nullptr);
    EXPECT_EQ(fault->load.line, 4);
    EXPECT_EQ(model().quantity()->units.size(), 1u);
    m_session->saveSettings();
    EXPECT_TRUE(stored("\"Velic\"=\"0\""));

    // Nothing loaded: the stored choices stay for a start that can use them.
    writeSettings("\"Velic\"=\"2\"\r\n");
    writeBytes(m_dir / "Base.dat", "");
    start();
    m_session->saveSettings();
    EXPECT_TRUE(stored("\"Velic\"=\"2\""));
}

TEST_F(SessionTest, TheIgnoreListHidesAndIsRewrittenOnlyWhileItIsOn)
{
    writeSettings("\"Ignoring\"=\"1\"\r\n");
    writeCp1251(m_dir / "IGNORE.INI", "Пустая\nМасса\n");
    start();
    EXPECT_EQ(model().listed(), (std::vector<std::size_t>{0, 3}));
    // Shown as the dialog orders them.
    EXPECT_EQ(runtime().ignoredCategories, (std::vector<std::string>{"Масса", "Пустая"}));
    ASSERT_FALSE(m_session->saveIgnoreList());
    EXPECT_EQ(readBytes(m_dir / "Ignore.ini"), unitdb::encodeCp1251("Масса\r\nПустая\r\n").bytes);

    auto r = runtime();
    r.ignoring = settings::Ignoring::Off;
    r.ignoredCategories = {"Длина"};
    m_session->setRuntime(r);
    EXPECT_EQ(model().listed(), (std::vector<std::size_t>{1, 2, 3}));
    EXPECT_EQ(model().quantityIndex(), 1u); // the chosen one was hidden: the first left
    ASSERT_FALSE(m_session->saveIgnoreList());
    EXPECT_EQ(readBytes(m_dir / "Ignore.ini"), unitdb::encodeCp1251("Масса\r\nПустая\r\n").bytes);
}

TEST_F(SessionTest, TheLogIsStartedAtStartUpAndAppendedWhenTurnedOnLater)
{
    writeSettings("\"Logging\"=\"1\"\r\n\"Logfile\"=\"calc.txt\"\r\n");
    start();
    model().setInput("2*(3+4)");
    const EnterOutcome outcome = m_session->enter("Переполнение");
    EXPECT_TRUE(outcome.problems.empty());
    EXPECT_FALSE(outcome.writeFailed);
    const std::string log = readBytes(m_dir / "calc.txt");
    EXPECT_TRUE(log.starts_with(
        unitdb::encodeCp1251("Метрованта 1.78\r\n\r\n2*(3+4) арш = 14 арш = ").bytes));
    model().setInput("(5Ω"); // the log's code page lacks it: "?" stands for it
    m_session->enter("");
    EXPECT_NE(
        readBytes(m_dir / "calc.txt").find(unitdb::encodeCp1251("(5? арш = (5? арш = ").bytes),
        std::string::npos);

    writeSettings("\"Logfile\"=\"calc.txt\"\r\n");
    start();
    auto r = runtime();
    r.logging = settings::Logging::On;
    m_session->setRuntime(r);
    model().setInput("1");
    m_session->enter("");
    const std::string appended = readBytes(m_dir / "calc.txt");
    EXPECT_TRUE(appended.starts_with(log));
    EXPECT_GT(appended.size(), log.size());
}

TEST_F(SessionTest, ALogThatCannotBeOpenedTurnsLoggingOffOnce)
{
    const struct {
        const char* name;
        LogRefused::Why why;
    } rows[] = {
        {"base.DAT", LogRefused::Why::OwnFile}, {"registry.reg", LogRefused::Why::OwnFile},
        {"  ", LogRefused::Why::NoName},        {"missing/log.txt", LogRefused::Why::OpenFailed},
        {"fifo", LogRefused::Why::OpenFailed}, // never waited on
    };
    ASSERT_EQ(::mkfifo((m_dir / "fifo").c_str(), 0600), 0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        writeSettings(std::string("\"Logging\"=\"1\"\r\n\"Logfile\"=\"") + row.name + "\"\r\n");
        const auto problems = start();
        const auto* refused = find<LogRefused>(problems);
        ASSERT_NE(refused, nullptr);
        EXPECT_EQ(refused->why, row.why);
        EXPECT_EQ(runtime().logging, settings::Logging::Off);
    }
    // Turned on again in the run, it is tried once more, at the next entry.
    auto r = runtime();
    r.logging = settings::Logging::On;
    m_session->setRuntime(r);
    EXPECT_EQ(m_session->enter("").problems.size(), 1u);
    EXPECT_TRUE(m_session->enter("").problems.empty());
}

TEST_F(SessionTest, BaseIsSavedOnlyWhenAnEditStands)
{
    start();
    EXPECT_FALSE(m_session->databaseEdited());
    auto& db = m_session->database();
    ASSERT_TRUE(db.setCoefficient(0, 0, 0.75).ok());
    EXPECT_TRUE(m_session->databaseEdited());
    ASSERT_TRUE(db.setCoefficient(0, 0, 0.7112).ok());
    EXPECT_FALSE(m_session->databaseEdited()); // taken back
    ASSERT_TRUE(db.setCoefficient(0, 0, 0.75).ok());
    EXPECT_EQ(m_session->baseOnDisk(), fileio::DiskState::Same);
    ASSERT_TRUE(m_session->saveBase(m_dir / "Base.dat").ok());
    EXPECT_NE(
        readBytes(m_dir / "Base.dat").find(unitdb::encodeCp1251("Аршин (арш),0.75\r\n").bytes),
        std::string::npos);
    EXPECT_EQ(m_session->baseOnDisk(), fileio::DiskState::Same);
    writeBytes(m_dir / "Base.dat", "Другая\r\n*\r\n");
    EXPECT_EQ(m_session->baseOnDisk(), fileio::DiskState::Changed);
}
