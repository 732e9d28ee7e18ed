// The store on this platform's registry: the same cases on the registry file and
// on the Windows registry.
#include "settings/settingsstore.h"

#include "storetest.h"

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
    const std::pair<const char*, const char*> otherCase[] = {
        {"Missing", "default"}, {"TEXT", "log.txt"}, {"five", "5"}, {"wItHoUtNuL", "abc"}};
    for (const auto& [name, expected] : otherCase) {
        SCOPED_TRACE(name);
        EXPECT_EQ(store.readText(name, "default"), expected);
    }
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
