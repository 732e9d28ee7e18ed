// The registry file: where it lives, what reaches the disk and when, and the files it must
// leave alone.
#include "settings/registry_file.h"

#include "unitdb/tests/testfolder.h"

#include <sys/stat.h>

using namespace settings;

constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00\n\n";

class FileRegistryTest : public testing::Test
{
protected:
    std::filesystem::path file() const { return m_dir / "cfg" / "registry.reg"; }

    // Stores a text value under HKEY_LOCAL_MACHINE\path, creating the key.
    static RegStatus set(FileRegistry& reg, std::string_view path, std::string_view name,
                         std::string text)
    {
        RegKey key = 0;
        RegStatus status = reg.createKey(kHkeyLocalMachine, path, 0, kKeyAccessAll, key, nullptr);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.c_str());
        if (status.ok())
            status = reg.setValue(key, name, kRegSz, {bytes, text.size() + 1});
        reg.closeKey(key);
        return status;
    }

    TestFolder m_dir;
};

TEST(RegistryFileLocation, FollowsXdgConfigHomeOnlyWhenAbsolute)
{
    EXPECT_EQ(registryFileFor("/x/cfg", "/home/u"), "/x/cfg/Quorvellant/Metrovanta/registry.reg");
    for (const char* xdg : {static_cast<const char*>(nullptr), "rel"})
        EXPECT_EQ(registryFileFor(xdg, "/home/u"),
                  "/home/u/.config/Quorvellant/Metrovanta/registry.reg");
}

TEST_F(FileRegistryTest, ChangesReachTheFileOnlyAtFlushInOneReplace)
{
    FileRegistry reg(file());
    ASSERT_TRUE(set(reg, "A", "LogFile", "log.txt").ok());
    ASSERT_TRUE(set(reg, "a", "logfile", "mine.txt").ok());
    EXPECT_FALSE(std::filesystem::exists(file().parent_path()));
    ASSERT_TRUE(reg.flush().ok());
    ASSERT_TRUE(reg.flush().ok());
    EXPECT_EQ(reg.replaceCount(), 1u);
    EXPECT_EQ(readBytes(file()),
              std::string(kHeader) + "[HKEY_LOCAL_MACHINE\\A]\n\"LogFile\"=\"mine.txt\"\n\n");
    EXPECT_EQ(TestFolder::namesIn(file().parent_path()).size(), 1u); // no temporary left

    // The same value again changes nothing; a private file stays private.
    const auto privateFile =
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    std::filesystem::permissions(file(), privateFile);
    FileRegistry again(file());
    ASSERT_TRUE(set(again, "A", "LOGFILE", "mine.txt").ok());
    ASSERT_TRUE(again.flush().ok());
    EXPECT_EQ(again.replaceCount(), 0u);
    ASSERT_TRUE(set(again, "A", "LogFile", "other.txt").ok());
    ASSERT_TRUE(again.flush().ok());
    EXPECT_EQ(std::filesystem::status(file()).permissions(), privateFile);
}

TEST_F(FileRegistryTest, NamesThatWouldBreakTheFileAreRefused)
{
    FileRegistry reg(file());
    EXPECT_EQ(set(reg, "A", "two\nlines", "x").code, kErrorInvalidParameter);
    EXPECT_EQ(set(reg, "A\rB", "V", "x").code, kErrorInvalidParameter);
}

TEST_F(FileRegistryTest, FileThatCannotBeReadIsNeverReplaced)
{
    const auto folder = m_dir / "folder.reg";
    const auto fifo = m_dir / "fifo.reg";
    const auto large = m_dir / "large.reg";
    std::filesystem::create_directory(folder);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    writeBytes(large, "REGEDIT4\n");
    std::filesystem::resize_file(large, kMaxRegistryFileSize + 1);
    const std::pair<std::filesystem::path, int> rows[] = {
        {folder, EISDIR},
        {fifo, EINVAL},
        {large, EFBIG},
    };
    for (const auto& [file, error] : rows) {
        SCOPED_TRACE(file);
        const auto before = std::filesystem::status(file).type();
        FileRegistry reg(file);
        ASSERT_TRUE(set(reg, "A", "V", "x").ok()); // a FIFO must not block here
        EXPECT_EQ(reg.fileState().unwritableError, error);
        EXPECT_NE(reg.fileState().unwritableReason.find(file.string()), std::string::npos);
        EXPECT_EQ(reg.flush().code, kErrorRegistryIoFailed);
        EXPECT_EQ(std::filesystem::status(file).type(), before);
    }
}

TEST_F(FileRegistryTest, LinkIsSavedThroughToItsTarget)
{
    std::filesystem::create_directories(file().parent_path());
    const auto target = m_dir / "real.reg";
    writeBytes(target, "REGEDIT4\n");
    std::filesystem::create_symlink(target, file());
    FileRegistry reg(file());
    ASSERT_TRUE(set(reg, "A", "V", "x").ok());
    ASSERT_TRUE(reg.flush().ok());
    EXPECT_TRUE(std::filesystem::is_symlink(file()));
    EXPECT_NE(readBytes(target).find("\"V\"=\"x\""), std::string::npos);
}
