#include "settings/registry_file.h"

#include "tempfolder.h"

using namespace settings;

namespace
{

class FileRegistryTest : public TempFolderTest
{
protected:
    std::filesystem::path file() const { return folder() / "cfg" / "registry.reg"; }

    RegStatus set(FileRegistry& reg, std::string_view path, std::string_view name,
                  std::string_view text)
    {
        RegKey key = 0;
        RegStatus status = reg.createKey(kHkeyLocalMachine, path, 0, kKeyAccessAll, key, nullptr);
        if (!status.ok())
            return status;
        std::string bytes(text);
        bytes += '\0';
        status = reg.setValue(key, name, kRegSz,
                              {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
        EXPECT_TRUE(reg.closeKey(key).ok());
        return status;
    }
};

} // namespace

TEST(RegistryFileLocation, FollowsXdgConfigHome)
{
    EXPECT_EQ(registryFileFor("/x/cfg", "/home/u"), "/x/cfg/Quorvellant/Metrovanta/registry.reg");
    EXPECT_EQ(registryFileFor(nullptr, "/home/u"),
              "/home/u/.config/Quorvellant/Metrovanta/registry.reg");
    // An empty or relative value is not a usable base folder.
    EXPECT_EQ(registryFileFor("", "/home/u"),
              "/home/u/.config/Quorvellant/Metrovanta/registry.reg");
    EXPECT_EQ(registryFileFor("rel", "/home/u"),
              "/home/u/.config/Quorvellant/Metrovanta/registry.reg");
}

TEST_F(FileRegistryTest, OpeningAMissingKeyCreatesNothing)
{
    FileRegistry reg(file());
    RegKey key = 0;
    EXPECT_EQ(reg.openKey(kHkeyLocalMachine, "SOFTWARE\\Q", 0, kKeyAccessAll, key).code,
              kErrorFileNotFound);
    EXPECT_FALSE(std::filesystem::exists(folder() / "cfg"));

    ASSERT_TRUE(set(reg, "SOFTWARE\\Q\\S", "V", "1").ok());
    const std::string before = readFile(file());
    EXPECT_EQ(reg.openKey(kHkeyLocalMachine, "SOFTWARE\\Q\\Other", 0, kKeyAccessAll, key).code,
              kErrorFileNotFound);
    EXPECT_EQ(readFile(file()), before);
}

TEST_F(FileRegistryTest, CreatingAKeyReportsWhetherItWasNew)
{
    FileRegistry reg(file());
    RegKey key = 0;
    std::uint32_t disposition = 0;
    ASSERT_TRUE(reg.createKey(kHkeyLocalMachine, "A\\B", 0, kKeyAccessAll, key, &disposition).ok());
    EXPECT_EQ(disposition, kCreatedNewKey);
    EXPECT_TRUE(reg.closeKey(key).ok());
    EXPECT_EQ(reg.closeKey(key).code, kErrorInvalidHandle);

    ASSERT_TRUE(reg.createKey(kHkeyLocalMachine, "a", 0, kKeyAccessAll, key, &disposition).ok());
    EXPECT_EQ(disposition, kOpenedExistingKey);
    EXPECT_EQ(reg.createKey(0x12345678, "A", 0, kKeyAccessAll, key, nullptr).code,
              kErrorInvalidHandle);
}

TEST_F(FileRegistryTest, QueryReportsSizeThenCopiesAndRefusesASmallBuffer)
{
    FileRegistry reg(file());
    ASSERT_TRUE(set(reg, "A", "Name", "abc").ok());
    RegKey key = 0;
    ASSERT_TRUE(reg.openKey(kHkeyLocalMachine, "A", 0, kKeyAccessAll, key).ok());
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    ASSERT_TRUE(reg.queryValue(key, "NAME", &type, nullptr, &size).ok());
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 4u);

    std::uint8_t buffer[4] = {};
    size = 3;
    EXPECT_EQ(reg.queryValue(key, "name", nullptr, buffer, &size).code, kErrorMoreData);
    EXPECT_EQ(size, 4u);
    ASSERT_TRUE(reg.queryValue(key, "name", nullptr, buffer, &size).ok());
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), std::string("abc\0", 4));
    EXPECT_EQ(reg.queryValue(key, "missing", &type, nullptr, &size).code, kErrorFileNotFound);
    EXPECT_TRUE(reg.closeKey(key).ok());
}

TEST_F(FileRegistryTest, FolderThatCannotBeCreatedIsReported)
{
    writeFile(folder() / "cfg", "a plain file in the way");
    FileRegistry reg(file());
    const RegStatus status = set(reg, "A", "V", "x");
    EXPECT_EQ(status.code, kErrorRegistryIoFailed);
    EXPECT_NE(status.reason.find(file().string()), std::string::npos) << status.reason;
}

TEST_F(FileRegistryTest, DamagedFileReadsEmptyAndIsReplacedKeepingACopy)
{
    std::filesystem::create_directories(file().parent_path());
    const std::string garbage = "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_LOCAL_MACHINE\\A]\n\"V\"=\"cut";
    writeFile(file(), garbage);
    FileRegistry reg(file());
    RegKey key = 0;
    EXPECT_EQ(reg.openKey(kHkeyLocalMachine, "A", 0, kKeyAccessAll, key).code, kErrorFileNotFound);
    EXPECT_EQ(readFile(file()), garbage);

    ASSERT_TRUE(set(reg, "A", "W", "fresh").ok());
    EXPECT_EQ(readFile(file()), "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_LOCAL_MACHINE\\A]\n\"W\"=\"fresh\"\n\n");
    std::filesystem::path copy = file();
    copy += ".damaged";
    EXPECT_EQ(readFile(copy), garbage);
}

TEST_F(FileRegistryTest, WritesKeepOtherKeysAndTheStoredSpelling)
{
    FileRegistry reg(file());
    ASSERT_TRUE(set(reg, "Other", "X", "1").ok());
    ASSERT_TRUE(set(reg, "A", "LogFile", "log.txt").ok());
    ASSERT_TRUE(set(reg, "a", "Logfile", "mine.txt").ok());
    EXPECT_EQ(readFile(file()), "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_LOCAL_MACHINE\\Other]\n\"X\"=\"1\"\n\n"
                                "[HKEY_LOCAL_MACHINE\\A]\n\"LogFile\"=\"mine.txt\"\n\n");
}

TEST_F(FileRegistryTest, NamesThatWouldBreakTheFileAreRefused)
{
    FileRegistry reg(file());
    EXPECT_EQ(set(reg, "A", "two\nlines", "x").code, kErrorInvalidParameter);
    EXPECT_EQ(set(reg, "A\nB", "V", "x").code, kErrorInvalidParameter);
}
