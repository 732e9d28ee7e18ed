#include "settings/cprogramsettings.h"

#include "settings/registry_file.h"
#include "tempfolder.h"

#include <utility>
#include <vector>

namespace settings
{

// Reaches the integer branch of SetKeyValue, which WriteEntry never takes.
struct CProgramSettingsProbe {
    static void setDword(CProgramSettings& store, std::string_view name, std::string text)
    {
        store.SetKeyValue(store.rootKey(), store.composeKeyPath(), name, std::move(text),
                          kRegDword);
    }
    static void setOtherType(CProgramSettings& store, std::string_view name)
    {
        store.SetKeyValue(store.rootKey(), store.composeKeyPath(), name, std::string("x"),
                          kRegBinary);
    }
};

} // namespace settings

using namespace settings;

namespace
{

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00\n\n";
constexpr std::string_view kKeyLine =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvellant\\Metrovanta\\Settings]\n";

class CProgramSettingsTest : public TempFolderTest
{
protected:
    std::filesystem::path file() const { return folder() / "Metrovanta" / "registry.reg"; }

    // A store set up as start-up sets it up, on a registry file of its own.
    CProgramSettings makeStore()
    {
        CProgramSettings store(std::make_unique<FileRegistry>(file()),
                               [this](std::string_view title, std::string_view text) {
                                   messages.emplace_back(title, text);
                               });
        store.setRootKey(kHkeyLocalMachine);
        store.setMainBranch("SOFTWARE");
        store.setRegBase("Quorvellant");
        store.setProgram("Metrovanta");
        store.setSection("Settings");
        return store;
    }

    void writeSettingsFile(std::string_view values)
    {
        std::filesystem::create_directories(file().parent_path());
        writeFile(file(), std::string(kHeader) + std::string(kKeyLine) + std::string(values));
    }

    std::vector<std::pair<std::string, std::string>> messages;
};

} // namespace

TEST_F(CProgramSettingsTest, ReadsEveryValueTypeFromTheFile)
{
    writeSettingsFile("\"Text\"=\"log.txt\"\n"
                      "\"Five\"=dword:00000005\n"
                      "\"MinusOne\"=dword:ffffffff\n"
                      "\"Lowest\"=dword:80000000\n"
                      "\"Binary\"=hex:35,00\n"
                      "\"Expand\"=hex(2):35,00\n"
                      "\"WithNul\"=hex(1):61,62,63,00\n"
                      "\"WithoutNul\"=hex(1):61,62,63\n"
                      "\"TwoNuls\"=hex(1):61,00,00\n"
                      "\"OnlyNul\"=hex(1):00\n"
                      "\"NoBytes\"=hex(1):\n"
                      "\"EmptyText\"=\"\"\n"
                      "\"ShortDword\"=hex(4):05,00\n"
                      "\"LongDword\"=hex(4):05,00,00,00,00,00,00,00\n");
    CProgramSettings store = makeStore();
    struct Row {
        const char* name;
        std::string expected;
    };
    const Row rows[] = {
        {"Text", "log.txt"},
        {"Five", "5"},
        {"MinusOne", "-1"},
        {"Lowest", "-2147483648"},
        {"Binary", "default"},
        {"Expand", "default"},
        {"WithNul", "abc"},
        {"WithoutNul", "abc"},
        {"TwoNuls", std::string("a\0", 2)}, // only one NUL is the terminator
        {"OnlyNul", "default"},
        {"NoBytes", "default"},
        {"EmptyText", "default"},
        {"ShortDword", "5"},
        {"LongDword", "default"},
        {"Missing", "default"},
        {"TEXT", "log.txt"},
        {"five", "5"},
        {"wItHoUtNuL", "abc"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(store.ReadEntry(row.name, "default"), row.expected);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(CProgramSettingsTest, WrittenTextsReadBackAndEmptyGivesTheDefault)
{
    CProgramSettings store = makeStore();
    const char* texts[] = {"-1", "0", "9", "log.txt", "C:\\Мои документы\\\"log\".txt", " "};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        store.WriteEntry("Value", text);
        EXPECT_EQ(store.ReadEntry("Value", "default"), text);
        EXPECT_EQ(store.ReadEntry("VALUE", "7"), text);
    }
    store.WriteEntry("Value", "");
    EXPECT_EQ(store.ReadEntry("Value", "default"), "default");
    EXPECT_TRUE(messages.empty());
}

TEST_F(CProgramSettingsTest, NamesInAnyCaseAreOneValueKeepingTheFirstSpelling)
{
    CProgramSettings store = makeStore();
    store.WriteEntry("LogFile", "log.txt");
    store.WriteEntry("Logfile", "calc.log");
    EXPECT_EQ(store.ReadEntry("LOGFILE", ""), "calc.log");
    EXPECT_EQ(readFile(file()),
              std::string(kHeader) + std::string(kKeyLine) + "\"LogFile\"=\"calc.log\"\n\n");
}

TEST_F(CProgramSettingsTest, WritingCreatesTheWholePathAndReadingCreatesNothing)
{
    CProgramSettings store = makeStore();
    EXPECT_EQ(store.ReadEntry("Launched", "0"), "0");
    EXPECT_FALSE(std::filesystem::exists(file().parent_path()));

    store.WriteEntry("Launched", "1");
    EXPECT_EQ(readFile(file()),
              std::string(kHeader) + std::string(kKeyLine) + "\"Launched\"=\"1\"\n\n");

    store.setProgram("Other");
    const std::string before = readFile(file());
    EXPECT_EQ(store.ReadEntry("Launched", "0"), "0");
    EXPECT_EQ(readFile(file()), before);
}

TEST_F(CProgramSettingsTest, KeyPathDropsOnlyTheTrailingBackslash)
{
    struct Row {
        const char* regBase;
        const char* program;
        const char* section;
        const char* keyLine;
    };
    const Row rows[] = {
        {"Quorvellant", "Metrovanta", "",
         "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvellant\\Metrovanta]"},
        {"", "Metrovanta", "Settings", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\\\Metrovanta\\Settings]"},
        {"", "", "", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\\\]"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keyLine);
        std::filesystem::remove(file());
        CProgramSettings store = makeStore();
        store.setRegBase(row.regBase);
        store.setProgram(row.program);
        store.setSection(row.section);
        store.WriteEntry("Velic", "3");
        EXPECT_EQ(readFile(file()), std::string(kHeader) + row.keyLine + "\n\"Velic\"=\"3\"\n\n");
        EXPECT_EQ(store.ReadEntry("Velic", "0"), "3");
    }
}

TEST_F(CProgramSettingsTest, DamagedFileGivesDefaultsAndIsReplacedOnTheNextWrite)
{
    const std::string damaged[] = {
        "garbage \x01\x02\xff",
        "REGEDIT5\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvellant\\Metrovanta\\Settings]\n"
        "\"Round\"=\"4\"\n",
        std::string(kHeader) + std::string(kKeyLine) + "\"Round\"=\"4\"\n\"Logging\"=\"1",
    };
    for (const auto& text : damaged) {
        SCOPED_TRACE(text);
        std::filesystem::create_directories(file().parent_path());
        writeFile(file(), text);
        CProgramSettings store = makeStore();
        EXPECT_EQ(store.ReadEntry("Round", "0"), "0");
        store.WriteEntry("Launched", "1");
        EXPECT_EQ(store.ReadEntry("Launched", "0"), "1");
        EXPECT_EQ(readFile(file()),
                  std::string(kHeader) + std::string(kKeyLine) + "\"Launched\"=\"1\"\n\n");
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(CProgramSettingsTest, OlderFileFormIsRead)
{
    std::filesystem::create_directories(file().parent_path());
    writeFile(file(), "REGEDIT4\r\n\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvellant\\Metrovanta\\Settings]\r\n"
                      "\"Round\"=\"-1\"\r\n\"Velic\"=dword:00000002\r\n");
    CProgramSettings store = makeStore();
    EXPECT_EQ(store.ReadEntry("Round", "0"), "-1");
    EXPECT_EQ(store.ReadEntry("velic", "0"), "2");
}

TEST_F(CProgramSettingsTest, FailedWriteIsReportedOnceUntilAWriteSucceeds)
{
    CProgramSettings store = makeStore();
    store.WriteEntry("Velic", "1");
    const std::string before = readFile(file());
    std::filesystem::path temp = file();
    temp += ".tmp";
    std::filesystem::create_directory(temp);

    store.WriteEntry("Velic", "2");
    store.WriteEntry("Field1", "3");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].first, "SetKeyValue");
    EXPECT_TRUE(messages[0].second.starts_with("Error: 1016. ")) << messages[0].second;
    EXPECT_NE(messages[0].second.find(file().string()), std::string::npos);
    EXPECT_EQ(readFile(file()), before);
    EXPECT_EQ(store.ReadEntry("Velic", "0"), "1");

    std::filesystem::remove(temp);
    store.WriteEntry("Velic", "2");
    std::filesystem::create_directory(temp);
    store.WriteEntry("Velic", "4");
    EXPECT_EQ(messages.size(), 2u);
    EXPECT_EQ(store.ReadEntry("Velic", "0"), "2");
}

TEST_F(CProgramSettingsTest, UnknownRootIsReportedOnWriteAndSilentOnRead)
{
    CProgramSettings store = makeStore();
    store.setRootKey(0x12345678);
    EXPECT_EQ(store.ReadEntry("Velic", "0"), "0");
    EXPECT_TRUE(messages.empty());
    store.WriteEntry("Velic", "1");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].second.starts_with("Error: 6. ")) << messages[0].second;
}

TEST_F(CProgramSettingsTest, IntegerWritesConvertTextAsTheRuntimeDoes)
{
    CProgramSettings store = makeStore();
    struct Row {
        const char* text;
        const char* readBack; // nullptr: refused with the message below
        const char* message;
    };
    const Row rows[] = {
        {"42", "42", nullptr},
        {" -7 ", "-7", nullptr},
        {"2.5", "2", nullptr},
        {"3.5", "4", nullptr},
        {"2147483647", "2147483647", nullptr},
        {"-2147483648", "-2147483648", nullptr},
        {"2147483648", nullptr, "Error: 6. Overflow"},
        {"1e400", nullptr, "Error: 6. Overflow"},
        {"abc", nullptr, "Error: 13. Type mismatch"},
        {"", nullptr, "Error: 13. Type mismatch"},
        {"12x", nullptr, "Error: 13. Type mismatch"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        messages.clear();
        store.WriteEntry("N", "untouched");
        CProgramSettingsProbe::setDword(store, "N", row.text);
        if (row.readBack != nullptr) {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(store.ReadEntry("N", "default"), row.readBack);
        } else {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0],
                      std::make_pair(std::string("SetKeyValue"), std::string(row.message)));
            EXPECT_EQ(store.ReadEntry("N", "default"), "untouched");
        }
    }
    CProgramSettingsProbe::setOtherType(store, "N");
    EXPECT_EQ(store.ReadEntry("N", "default"), "untouched");
}
