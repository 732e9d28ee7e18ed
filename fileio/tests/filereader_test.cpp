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
}
