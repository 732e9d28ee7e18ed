// The store on the registry file: what it writes there and how it copes with the file.
#include "settings/settingsstore.h"

#include "settings/registry_file.h"
#include "tempfolder.h"

#include <utility>
#include <vector>

using namespace settings;

namespace
{

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00\n\n";

class CProgramSettingsTest : public TempFolderTest
{
protected:
    std::filesystem::path file() const { return folder() / "Metrovanta" / "registry.reg"; }

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

    std::vector<std::pair<std::string, std::string>> messages;
};

} // namespace

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
        SettingsStore store = makeStore();
        store.setRegBase(row.regBase);
        store.setProgram(row.program);
        store.setSection(row.section);
        store.WriteEntry("Velic", "3");
        EXPECT_EQ(readFile(file()), std::string(kHeader) + row.keyLine + "\n\"Velic\"=\"3\"\n\n");
        EXPECT_EQ(store.ReadEntry("Velic", "0"), "3");
    }
}

TEST_F(CProgramSettingsTest, FailedWriteIsReportedOnceUntilAWriteSucceeds)
{
    SettingsStore store = makeStore();
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
