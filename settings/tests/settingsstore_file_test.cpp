// The store on the registry file: what it writes there and how it copes with the file.
#include "settings/settingsstore.h"

#include "settings/registry_file.h"
#include "unitdb/tests/testfolder.h"

#include <utility>
#include <vector>

using namespace settings;

namespace
{

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00\n\n";

class SettingsStoreTest : public testing::Test
{
protected:
    std::filesystem::path file() const { return dir / "Metrovanta" / "registry.reg"; }

    // A store set up as start-up sets it up, on a registry file of its own.
    SettingsStore makeStore()
    {
        SettingsStore store(std::make_unique<FileRegistry>(file()),
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

    TestFolder dir;
    std::vector<std::pair<std::string, std::string>> messages;
};

} // namespace

TEST_F(SettingsStoreTest, KeyPathDropsOnlyTheTrailingBackslash)
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

TEST_F(SettingsStoreTest, FailedFlushIsReportedOnceUntilAFlushSucceeds)
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

TEST_F(SettingsStoreTest, DamagedFileIsToldOnceAndAKnownUnwritableFolderNotAtAll)
{
    std::filesystem::create_directories(file().parent_path());
    writeBytes(file(), std::string(kHeader) +
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvellant\\Metrovanta\\Settings]\n"
                           "\"Round\"=\"4\"\nbroken\n\"Velic\"=hex:zz\n");
    SettingsStore store = makeStore();
    EXPECT_EQ(store.readText("Round", "9"), "4");
    EXPECT_EQ(store.readText("Velic", "0"), "0");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].second.starts_with("Файл настроек поврежден: пропущено строк - 2."))
        << messages[0].second;
    EXPECT_EQ(store.droppedLines(), 2u);

    std::filesystem::remove_all(dir / "Metrovanta");
    writeBytes(dir / "Metrovanta", "a file in the way");
    SettingsStore blocked = makeStore();
    EXPECT_FALSE(blocked.writable());
    EXPECT_EQ(blocked.unwritableError(), ENOTDIR);
    blocked.writeText("Round", "9");
    EXPECT_EQ(blocked.readText("Round", "0"), "9");
    EXPECT_FALSE(blocked.flush());
    EXPECT_EQ(messages.size(), 1u);
}
