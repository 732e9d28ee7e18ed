// The settings store on this platform's registry: a registry file in a fresh folder here, the
// system registry on Windows under a key of the test's own, removed afterwards.
#include "settings/settingsstore.h"

#include "fileio/tests/testfolder.h"

#include <random>
#include <tuple>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include "settings/registry_file.h"
#endif

using namespace settings;

class StoreTest : public testing::Test
{
protected:
    ~StoreTest() override
    {
#ifdef _WIN32
        RegDeleteTreeA(HKEY_CURRENT_USER, ("SOFTWARE\\MetrovantaTests\\" + m_program).c_str());
        // Goes only once no other run holds a key below it.
        RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\MetrovantaTests");
#endif
    }

    std::unique_ptr<Registry> registry() const
    {
#ifdef _WIN32
        return makeSystemRegistry();
#else
        return std::make_unique<FileRegistry>(m_file);
#endif
    }

    // A store set up as start-up sets one up, on the test's key, collecting the messages' texts.
    SettingsStore makeStore()
    {
        SettingsStore store(registry(), [this](std::string_view, std::string_view text) {
            m_messages.emplace_back(text);
        });
        store.setRootKey(kHkeyCurrentUser);
        store.setRegBase("MetrovantaTests");
        store.setProgram(m_program);
        return store;
    }

    TestFolder m_dir;
    const std::filesystem::path m_file = m_dir / "cfg" / "registry.reg";
    const std::string m_program = "Run" + std::to_string(std::random_device{}());
    // The store's key below the root, with the default main branch and section.
    const std::string m_keyPath = "SOFTWARE\\MetrovantaTests\\" + m_program + "\\Settings";
    std::vector<std::string> m_messages;
};

TEST_F(StoreTest, ReadsStringsAndDwordsAndDefaultsForEverythingElse)
{
    using namespace std::string_literals;
    // Name, type and bytes stored; what reading gives.
    const std::tuple<const char*, std::uint32_t, std::string, std::string> rows[] = {
        {"WithoutNul", kRegSz, "abc", "abc"},
        {"TwoNuls", kRegSz, "a\0\0"s, "a\0"s}, // only one NUL is the terminator
        {"NoBytes", kRegSz, "", "default"},
        {"MinusOne", kRegDword, "\xff\xff\xff\xff", "-1"},
        {"LongDword", kRegDword, "\x05\0\0\0\0\0\0\0"s, "default"},
        {"Expand", kRegExpandSz, "5\0"s, "default"},
    };
    const auto seeded = registry(); // as another program might store them
    RegKey key = 0;
    ASSERT_TRUE(
        seeded->createKey(kHkeyCurrentUser, m_keyPath, 0, kKeyAccessAll, key, nullptr).ok());
    for (const auto& [name, type, bytes, expected] : rows) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
        EXPECT_TRUE(seeded->setValue(key, name, type, {data, bytes.size()}).ok()) << name;
    }
    EXPECT_TRUE(seeded->closeKey(key).ok() && seeded->flush().ok());
    SettingsStore store = makeStore();
    for (const auto& [name, type, bytes, expected] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(store.readText(name, "default"), expected);
    }
}

TEST_F(StoreTest, WrittenTextsReadBackInAFreshStore)
{
    SettingsStore store = makeStore();
    // On Windows the Cyrillic text needs an ANSI code page that holds it (1251).
    for (const char* text : {"C:\\Мои документы\\\"log\".txt", " "}) {
        SCOPED_TRACE(text);
        store.writeText("Value", text);
        EXPECT_TRUE(store.flush());
        EXPECT_EQ(makeStore().readText("Value", "default"), text);
    }
}

#ifndef _WIN32
const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";

TEST_F(StoreTest, FailedFlushIsReportedOnceUntilAFlushSucceeds)
{
    SettingsStore store = makeStore();
    store.writeText("Velic", "1");
    std::filesystem::create_directories(m_file); // a folder where the file goes
    EXPECT_FALSE(store.flush());
    store.writeText("Field1", "3");
    EXPECT_FALSE(store.flush());
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(
        m_messages[0].starts_with("Не удалось сохранить настройки в файле «" + m_file.string()));

    std::filesystem::remove(m_file);
    EXPECT_TRUE(store.flush());
    std::filesystem::remove(m_file);
    std::filesystem::create_directories(m_file);
    store.writeText("Velic", "4");
    EXPECT_FALSE(store.flush());
    EXPECT_EQ(m_messages.size(), 2u);
}

TEST_F(StoreTest, DamagedFileIsToldOnceAndWrittenBackCleanKeepingACopy)
{
    std::filesystem::create_directories(m_file.parent_path());
    const std::string key = "[HKEY_CURRENT_USER\\" + m_keyPath + "]\n\"Round\"=\"4\"\n";
    const std::string damaged = kHeader + key + "broken\n\"Velic\"=hex:zz\n";
    writeBytes(m_file, damaged);
    SettingsStore store = makeStore();
    EXPECT_EQ(store.readText("Round", "9"), "4");
    EXPECT_EQ(store.readText("Velic", "0"), "0");
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_TRUE(m_messages[0].starts_with("Файл настроек поврежден: пропущено строк - 2."))
        << m_messages[0];

    EXPECT_TRUE(store.flush()); // even with nothing changed
    EXPECT_EQ(readBytes(m_file), kHeader + key + "\n");
    EXPECT_EQ(readBytes(m_file.string() + ".damaged"), damaged);
}

TEST_F(StoreTest, UnreadableFileIsToldByWhoeverAsksAndNotAgainAtFlush)
{
    writeBytes(m_file.parent_path(), "a file in the way");
    SettingsStore store = makeStore();
    EXPECT_FALSE(store.writable());
    EXPECT_EQ(store.unwritableReason(),
              "файл «" + m_file.string() + "» не удалось прочитать: часть пути - не папка");
    store.writeText("Round", "9");
    EXPECT_EQ(store.readText("Round", "0"), "9");
    EXPECT_FALSE(store.flush());
    EXPECT_TRUE(m_messages.empty());
}
#endif
