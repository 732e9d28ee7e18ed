#include "settings/registry_file.h"

#include "unitdb/tests/testfolder.h"

#include <sys/stat.h>

using namespace settings;

namespace
{

class FileRegistryTest : public testing::Test
{
protected:
    TestFolder dir;
    std::filesystem::path file() const { return dir / "cfg" / "registry.reg"; }

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
    // Unset, empty or relative is no usable base folder.
    for (const char* xdg : {static_cast<const char*>(nullptr), "", "rel"})
        EXPECT_EQ(registryFileFor(xdg, "/home/u"),
                  "/home/u/.config/Quorvellant/Metrovanta/registry.reg");
}

TEST_F(FileRegistryTest, ChangesReachTheFileOnlyAtFlushInOneReplace)
{
    FileRegistry reg(file());
    RegKey key = 0;
    EXPECT_EQ(reg.openKey(kHkeyLocalMachine, "SOFTWARE\\Q", 0, kKeyAccessAll, key).code,
              kErrorFileNotFound);
    ASSERT_TRUE(set(reg, "Other", "X", "1").ok());
    ASSERT_TRUE(set(reg, "A", "LogFile", "log.txt").ok());
    ASSERT_TRUE(set(reg, "a", "Logfile", "mine.txt").ok());
    EXPECT_FALSE(std::filesystem::exists(dir / "cfg"));
    ASSERT_TRUE(reg.flush().ok());
    ASSERT_TRUE(reg.flush().ok()); // nothing new: no second write
    EXPECT_EQ(reg.replaceCount(), 1u);
    const std::string written = "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_LOCAL_MACHINE\\Other]\n\"X\"=\"1\"\n\n"
                                "[HKEY_LOCAL_MACHINE\\A]\n\"LogFile\"=\"mine.txt\"\n\n";
    EXPECT_EQ(readBytes(file()), written);
    EXPECT_EQ(TestFolder::namesIn(dir / "cfg").size(), 1u);

    // The same value again changes nothing; a private file stays private.
    ::chmod(file().c_str(), 0600);
    FileRegistry again(file());
    ASSERT_TRUE(set(again, "A", "LOGFILE", "mine.txt").ok());
    ASSERT_TRUE(again.flush().ok());
    EXPECT_EQ(again.replaceCount(), 0u);
    ASSERT_TRUE(set(again, "A", "LogFile", "other.txt").ok());
    ASSERT_TRUE(again.flush().ok());
    struct stat info {
    };
    ASSERT_EQ(::stat(file().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(FileRegistryTest, KeysAreCreatedOnceAndNamesThatWouldBreakTheFileAreRefused)
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
    EXPECT_EQ(set(reg, "A", "two\nlines", "x").code, kErrorInvalidParameter);
    EXPECT_EQ(set(reg, "A\nB", "V", "x").code, kErrorInvalidParameter);
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

TEST_F(FileRegistryTest, UnwritableFolderIsKnownAtTheFirstCallAndValuesStayInMemory)
{
    writeBytes(dir / "cfg", "a plain file in the way");
    FileRegistry reg(file());
    EXPECT_EQ(reg.fileState().unwritableError, ENOTDIR);
    ASSERT_TRUE(set(reg, "A", "V", "x").ok());
    RegKey key = 0;
    ASSERT_TRUE(reg.openKey(kHkeyLocalMachine, "A", 0, kKeyAccessAll, key).ok());
    std::uint32_t size = 0;
    EXPECT_TRUE(reg.queryValue(key, "V", nullptr, nullptr, &size).ok());
    const RegStatus status = reg.flush();
    EXPECT_EQ(status.code, kErrorRegistryIoFailed);
    EXPECT_NE(status.reason.find(file().string()), std::string::npos) << status.reason;
}

TEST_F(FileRegistryTest, DamagedFileKeepsItsGoodValuesAndIsReplacedKeepingACopy)
{
    std::filesystem::create_directories(file().parent_path());
    const std::string damaged = "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_LOCAL_MACHINE\\A]\n\"V\"=\"cut\n\"W\"=\"kept\"\n";
    writeBytes(file(), damaged);
    FileRegistry reg(file());
    EXPECT_EQ(reg.fileState().droppedLines, 1u);
    EXPECT_EQ(reg.fileState().unwritableError, 0);
    EXPECT_EQ(readBytes(file()), damaged);

    ASSERT_TRUE(reg.flush().ok()); // written back clean even with no change
    EXPECT_EQ(readBytes(file()), "Windows Registry Editor Version 5.00\n\n"
                                 "[HKEY_LOCAL_MACHINE\\A]\n\"W\"=\"kept\"\n\n");
    std::filesystem::path copy = file();
    copy += ".damaged";
    EXPECT_EQ(readBytes(copy), damaged);
}

TEST_F(FileRegistryTest, FileThatCannotBeReadIsNeverReplaced)
{
    std::filesystem::create_directories(file().parent_path());
    struct Row {
        const char* what;
        void (*make)(const std::filesystem::path&);
        int error;
    };
    const Row rows[] = {
        {"folder", [](const std::filesystem::path& f) { std::filesystem::create_directory(f); },
         EISDIR},
        {"fifo", [](const std::filesystem::path& f) { ASSERT_EQ(::mkfifo(f.c_str(), 0600), 0); },
         EINVAL},
        {"too large",
         [](const std::filesystem::path& f) {
             writeBytes(f, "Windows Registry Editor Version 5.00\n");
             std::filesystem::resize_file(f, kMaxRegistryFileSize + 1);
         },
         EFBIG},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove_all(file());
        row.make(file());
        const auto before = std::filesystem::status(file());
        FileRegistry reg(file());
        ASSERT_TRUE(set(reg, "A", "V", "x").ok()); // a FIFO must not block here
        const RegFileState state = reg.fileState();
        EXPECT_EQ(state.unwritableError, row.error);
        EXPECT_NE(state.unwritableReason.find(file().string()), std::string::npos);
        EXPECT_EQ(reg.flush().code, kErrorRegistryIoFailed);
        EXPECT_EQ(std::filesystem::status(file()).type(), before.type());
        EXPECT_EQ(TestFolder::namesIn(dir / "cfg").size(), 1u);
    }
}

TEST_F(FileRegistryTest, LinkIsSavedThroughToItsTarget)
{
    std::filesystem::create_directories(file().parent_path());
    const auto target = dir / "real.reg";
    writeBytes(target, "REGEDIT4\n");
    std::filesystem::create_symlink(target, file());
    FileRegistry reg(file());
    ASSERT_TRUE(set(reg, "A", "V", "x").ok());
    ASSERT_TRUE(reg.flush().ok());
    EXPECT_TRUE(std::filesystem::is_symlink(file()));
    EXPECT_NE(readBytes(target).find("\"V\"=\"x\""), std::string::npos);
}
