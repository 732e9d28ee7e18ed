// The store on this platform's registry: the same cases on the registry file and
// on the Windows registry.
#include "settings/settingsstore.h"

#include "storetest.h"
#include "unitdb/tests/testfolder.h"

#include <string>

namespace settings
{

// Reaches the integer branch of storeValue, which writeText never takes.
struct SettingsStoreProbe {
    static void setDword(SettingsStore& store, std::string_view name, std::string text)
    {
        store.storeValue(store.rootKey(), store.composeKeyPath(), name, std::move(text), kRegDword);
    }
    static void setOtherType(SettingsStore& store, std::string_view name)
    {
        store.storeValue(store.rootKey(), store.composeKeyPath(), name, std::string("x"),
                         kRegBinary);
    }
};

} // namespace settings

using namespace settings;

namespace
{

std::string dword(std::uint32_t v)
{
    return {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

} // namespace

TEST_F(StoreTest, ReadsStringsAndDwordsAndDefaultsForEverythingElse)
{
    using namespace std::string_literals;
    struct Row {
        const char* name;
        std::uint32_t type;
        std::string bytes;
        std::string expected;
    };
    const Row rows[] = {
        {"Text", kRegSz, "log.txt\0"s, "log.txt"},
        {"Five", kRegDword, dword(5), "5"},
        {"MinusOne", kRegDword, dword(0xffffffff), "-1"},
        {"Lowest", kRegDword, dword(0x80000000), "-2147483648"},
        {"Binary", kRegBinary, "5\0"s, "default"},
        {"Expand", kRegExpandSz, "5\0"s, "default"},
        {"WithoutNul", kRegSz, "abc", "abc"},
        {"TwoNuls", kRegSz, "a\0\0"s, "a\0"s}, // only one NUL is the terminator
        {"OnlyNul", kRegSz, "\0"s, "default"},
        {"NoBytes", kRegSz, "", "default"},
        {"ShortDword", kRegDword, "\x05\0"s, "5"},
        {"LongDword", kRegDword, dword(5) + dword(0), "default"},
    };
    for (const auto& row : rows)
        seed(row.name, row.type, row.bytes);
    SettingsStore store = makeStore();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(store.readText(row.name, "default"), row.expected);
    }
    EXPECT_EQ(store.readText("Missing", "default"), "default");
    EXPECT_EQ(store.readText("five", "0"), "5"); // names match in any case
    EXPECT_TRUE(messages.empty());
}

TEST_F(StoreTest, WrittenTextsReadBackAndEmptyGivesTheDefault)
{
    SettingsStore store = makeStore();
    // On Windows the Cyrillic text needs an ANSI code page that holds it (1251).
    const char* texts[] = {"-1", "0", "9", "log.txt", "C:\\Мои документы\\\"log\".txt", " "};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        store.writeText("Value", text);
        EXPECT_EQ(store.readText("Value", "default"), text);
        EXPECT_EQ(store.readText("VALUE", "7"), text);
    }
    store.writeText("value", "");
    EXPECT_EQ(store.readText("Value", "default"), "default");
    EXPECT_TRUE(messages.empty());
}

TEST_F(StoreTest, ReadingCreatesNoKeyAndWritingCreatesTheWholePath)
{
    SettingsStore store = makeStore();
    EXPECT_EQ(store.readText("Launched", "0"), "0");
    EXPECT_FALSE(keyExists(programPath()));

    store.writeText("Launched", "1");
    EXPECT_TRUE(store.flush());
    EXPECT_TRUE(keyExists(keyPath()));
    EXPECT_EQ(store.readText("Launched", "0"), "1");

    // Another program's key does not exist: its values read as their defaults.
    store.setSection("Other");
    EXPECT_EQ(store.readText("Launched", "0"), "0");
    EXPECT_TRUE(store.flush());
    EXPECT_FALSE(keyExists(programPath() + "\\Other"));

    // An empty section leaves no trailing backslash: the program's own key.
    store.setSection("");
    store.writeText("Launched", "2");
    EXPECT_EQ(store.readText("Launched", "0"), "2");
    store.setSection("Settings");
    EXPECT_EQ(store.readText("Launched", "0"), "1");
    EXPECT_TRUE(messages.empty());
}

TEST_F(StoreTest, UnknownRootIsReportedOnWriteAndSilentOnRead)
{
    SettingsStore store = makeStore();
    store.setRootKey(0x12345678);
    EXPECT_EQ(store.readText("Velic", "0"), "0");
    EXPECT_TRUE(messages.empty());
    store.writeText("Velic", "1");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].second.starts_with("Error: 6. ")) << messages[0].second;
}

TEST_F(StoreTest, IntegerWritesConvertTextAsTheRuntimeDoes)
{
    SettingsStore store = makeStore();
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
        store.writeText("N", "untouched");
        SettingsStoreProbe::setDword(store, "N", row.text);
        if (row.readBack != nullptr) {
            EXPECT_TRUE(messages.empty());
            EXPECT_EQ(store.readText("N", "default"), row.readBack);
        } else {
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(messages[0],
                      std::make_pair(std::string("storeValue"), std::string(row.message)));
            EXPECT_EQ(store.readText("N", "default"), "untouched");
        }
    }
    SettingsStoreProbe::setOtherType(store, "N");
    EXPECT_EQ(store.readText("N", "default"), "untouched");
}

#ifndef _WIN32
// What the store writes into the registry file and how it copes with the file.
namespace
{
constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00\n\n";
} // namespace

TEST_F(StoreTest, KeyPathDropsOnlyTheTrailingBackslash)
{
    struct Row {
        const char* regBase;
        const char* program;
        const char* section;
        const char* keyLine;
    };
    const Row rows[] = {
        {"Quorvellant", "Metrovanta", "", "[HKEY_CURRENT_USER\\Software\\Quorvellant\\Metrovanta]"},
        {"", "Metrovanta", "Settings", "[HKEY_CURRENT_USER\\Software\\\\Metrovanta\\Settings]"},
        {"", "", "", "[HKEY_CURRENT_USER\\Software\\\\]"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keyLine);
        std::filesystem::remove(file());
        SettingsStore store = makeStore();
        store.setRegBase(row.regBase);
        store.setProgram(row.program);
        store.setSection(row.section);
        store.writeText("Velic", "3");
        EXPECT_TRUE(store.flush());
        EXPECT_EQ(readBytes(file()), std::string(kHeader) + row.keyLine + "\n\"Velic\"=\"3\"\n\n");
        EXPECT_EQ(store.readText("Velic", "0"), "3");
    }
}

TEST_F(StoreTest, FailedFlushIsReportedOnceUntilAFlushSucceeds)
{
    SettingsStore store = makeStore();
    store.writeText("Velic", "1");
    ASSERT_TRUE(store.writable());
    std::filesystem::create_directories(file()); // a folder where the file goes
    EXPECT_FALSE(store.flush());
    store.writeText("Field1", "3");
    EXPECT_FALSE(store.flush());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].second.find("Не удалось сохранить настройки в файле «" + file().string()),
              std::string::npos)
        << messages[0].second;
    EXPECT_EQ(store.readText("Velic", "0"), "1"); // kept in memory for the run

    std::filesystem::remove(file());
    EXPECT_TRUE(store.flush());
    std::filesystem::remove(file());
    std::filesystem::create_directories(file());
    store.writeText("Velic", "4");
    EXPECT_FALSE(store.flush());
    EXPECT_EQ(messages.size(), 2u);
}

TEST_F(StoreTest, DamagedFileIsToldOnceAndAKnownUnwritableFolderNotAtAll)
{
    std::filesystem::create_directories(folder());
    writeBytes(file(), std::string(kHeader) + "[HKEY_CURRENT_USER\\" + keyPath() +
                           "]\n"
                           "\"Round\"=\"4\"\nbroken\n\"Velic\"=hex:zz\n");
    SettingsStore store = makeStore();
    EXPECT_EQ(store.readText("Round", "9"), "4");
    EXPECT_EQ(store.readText("Velic", "0"), "0");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].second.starts_with("Файл настроек поврежден: пропущено строк - 2."))
        << messages[0].second;
    EXPECT_EQ(store.droppedLines(), 2u);

    std::filesystem::remove_all(folder());
    writeBytes(folder(), "a file in the way");
    SettingsStore blocked = makeStore();
    EXPECT_FALSE(blocked.writable());
    EXPECT_EQ(blocked.unwritableError(), ENOTDIR);
    blocked.writeText("Round", "9");
    EXPECT_EQ(blocked.readText("Round", "0"), "9");
    EXPECT_FALSE(blocked.flush());
    EXPECT_EQ(messages.size(), 1u);
}
#endif
