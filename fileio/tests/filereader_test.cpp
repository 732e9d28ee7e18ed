// The careful whole-file reader and the changed-on-disk check. What is not a
// readable regular file of a sensible size is a result, never a hang or a flood.
#include "fileio/filereader.h"

#include "fileio/tests/testfolder.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace fileio;

TEST(FileReader, ReadsRegularFilesWithinTheLimitOnly)
{
    TestFolder dir;
    std::string bytes(200 * 1024, 'x'); // several reads, each chunk marked
    for (std::size_t i = 0; i < bytes.size(); i += 997)
        bytes[i] = static_cast<char>(i / 997);
    writeBytes(dir / "f", bytes);
    EXPECT_EQ(readFile(dir / "f", bytes.size()).bytes, bytes);
    EXPECT_EQ(readFile(dir / "f", bytes.size() - 1).code, FileError::TooLarge);
    EXPECT_EQ(readFile(dir / "none", 10).code, FileError::Missing);
    const FileReadResult folder = readFile(dir.path(), 10);
    EXPECT_EQ(folder.code, FileError::NotRegularFile);
    EXPECT_EQ(folder.systemError, EISDIR);
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(readFile(dir / "pipe", 10).code, FileError::NotRegularFile);
#endif
}

TEST(FileReader, TellsAChangedFileFromTheSameOne)
{
    TestFolder dir;
    const auto path = dir / "Base.dat";
    writeBytes(path, "first");
    const FileStamp stamp = readFile(path, 100).stamp;
    // Same size, same modification time: only the bytes tell.
    const auto time = std::filesystem::last_write_time(path);
    writeBytes(path, "other");
    std::filesystem::last_write_time(path, time);
    EXPECT_EQ(compareWithDisk(path, stamp, 100), DiskState::Changed);
    writeBytes(path, "first");
    std::filesystem::last_write_time(path, time);
    EXPECT_EQ(compareWithDisk(path, stamp, 100), DiskState::Same);
    EXPECT_EQ(compareWithDisk(path, stamp, 2), DiskState::Unreadable);
    std::filesystem::remove(path);
    EXPECT_EQ(compareWithDisk(path, stamp, 100), DiskState::Changed);

    // One byte changed anywhere in a longer file, in a whole word or in the tail.
    std::string bytes(100 * 1024 + 5, 'a');
    writeBytes(path, bytes);
    const FileStamp longStamp = readFile(path, bytes.size()).stamp;
    const auto longTime = std::filesystem::last_write_time(path);
    for (const std::size_t at : {std::size_t{0}, std::size_t{7}, bytes.size() / 2, bytes.size() - 1}) {
        SCOPED_TRACE(at);
        std::string changed = bytes;
        changed[at] = 'b';
        writeBytes(path, changed);
        std::filesystem::last_write_time(path, longTime);
        EXPECT_EQ(compareWithDisk(path, longStamp, bytes.size()), DiskState::Changed);
    }
}

#ifdef __linux__
TEST(FileReader, ReadsFilesThatClaimToBeEmpty)
{
    // /proc files report a size of 0 and hold text.
    const FileReadResult status = readFile("/proc/self/status", 1 << 20);
    ASSERT_TRUE(status.ok());
    EXPECT_NE(status.bytes.find("Name:"), std::string::npos);
}
#endif
