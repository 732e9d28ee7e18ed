// The registry file: what reaches the disk and when, and the files it must leave alone.
#include "settings/registry_file.h"

#include "fileio/tests/testfolder.h"

#include <sys/stat.h>

using namespace settings;

class FileRegistryTest : public testing::Test
{
protected:
    // Stores the text as value V of HKEY_LOCAL_MACHINE\A, creating the key.
    static RegStatus setV(FileRegistry& reg, std::string text)
    {
        RegKey key = 0;
        reg.createKey(kHkeyLocalMachine, "A", 0, kKeyAccessAll, key, nullptr);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.c_str());
        return reg.setValue(key, "V", kRegSz, {bytes, text.size() + 1});
    }

    TestFolder m_dir;
    const std::filesystem::path m_file = m_dir / "cfg" / "registry.reg";
};

TEST_F(FileRegistryTest, ChangesReachTheFileOnlyAtFlushInOneReplace)
{
    FileRegistry reg(m_file);
    ASSERT_TRUE(setV(reg, "mine.txt").ok());
    EXPECT_FALSE(std::filesystem::exists(m_file.parent_path()));
    ASSERT_TRUE(reg.flush().ok());
    ASSERT_TRUE(reg.flush().ok());
    EXPECT_EQ(reg.replaceCount(), 1u);
    EXPECT_EQ(
        readBytes(m_file),
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\A]\n\"V\"=\"mine.txt\"\n\n");
    EXPECT_EQ(TestFolder::namesIn(m_file.parent_path()).size(), 1u); // no temporary left

    // The same value again changes nothing; a private file stays private.
    const auto privateFile =
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    std::filesystem::permissions(m_file, privateFile);
    FileRegistry again(m_file);
    ASSERT_TRUE(setV(again, "mine.txt").ok());
    ASSERT_TRUE(again.flush().ok());
    EXPECT_EQ(again.replaceCount(), 0u);
    ASSERT_TRUE(setV(again, "other.txt").ok());
    ASSERT_TRUE(again.flush().ok());
    EXPECT_EQ(std::filesystem::status(m_file).permissions(), privateFile);
}

TEST_F(FileRegistryTest, FileThatCannotBeReadIsNeverReplaced)
{
    const auto fifo = m_dir / "fifo.reg";
    const auto large = m_dir / "large.reg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    writeBytes(large, "REGEDIT4\n");
    std::filesystem::resize_file(large, kMaxRegistryFileSize + 1);
    const std::pair<std::filesystem::path, int> rows[] = {
        {fifo, EINVAL},
        {large, EFBIG},
    };
    for (const auto& [file, error] : rows) {
        SCOPED_TRACE(file);
        const auto before = std::filesystem::status(file).type();
        FileRegistry reg(file);
        ASSERT_TRUE(setV(reg, "x").ok()); // a FIFO must not block here
        EXPECT_EQ(reg.fileState().unwritableError, error);
        EXPECT_EQ(reg.flush().code, kErrorRegistryIoFailed);
        EXPECT_EQ(std::filesystem::status(file).type(), before);
    }
}

TEST_F(FileRegistryTest, LinkIsSavedThroughToItsTarget)
{
    std::filesystem::create_directories(m_file.parent_path());
    const auto target = m_dir / "real.reg";
    writeBytes(target, "REGEDIT4\n");
    std::filesystem::create_symlink(target, m_file);
    FileRegistry reg(m_file);
    ASSERT_TRUE(setV(reg, "x").ok());
    ASSERT_TRUE(reg.flush().ok());
    EXPECT_TRUE(std::filesystem::is_symlink(m_file));
    EXPECT_NE(readBytes(target).find("\"V\"=\"x\""), std::string::npos);
}
