#include "unitdb/filereader.h"

#include "testfolder.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace unitdb;

// Every way a read can fail is a result with its code, step and errno.
TEST(FileReader, FailuresAreResults)
{
    struct Row {
        const char* what;
        std::size_t size; // bytes in the file
        std::size_t limit;
        ReadStep failing; // with EIO, unless `fail` is false
        bool fail;
        ErrorCode code;
        ReadStep step;
        int error;
    };
    const std::size_t big = 200 * 1024; // several reads
    const Row rows[] = {
        {"whole", big, big, ReadStep::Open, false, ErrorCode::None, ReadStep::Open, 0},
        {"over the limit", big + 1, big, ReadStep::Open, false, ErrorCode::FileTooLarge,
         ReadStep::Stat, 0},
        {"open fails", 10, big, ReadStep::Open, true, ErrorCode::ReadFailed, ReadStep::Open, EIO},
        {"fstat fails", 10, big, ReadStep::Stat, true, ErrorCode::ReadFailed, ReadStep::Stat, EIO},
        {"read fails", big, big, ReadStep::Read, true, ErrorCode::ReadFailed, ReadStep::Read, EIO},
    };
    TestFolder dir;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::string bytes(row.size, 'x');
        for (std::size_t i = 0; i < bytes.size(); i += 997)
            bytes[i] = static_cast<char>(i / 997);
        writeBytes(dir / "f", bytes);
        const FileReadResult r = readFile(dir / "f", row.limit, [&](ReadStep step) {
            return row.fail && step == row.failing ? EIO : 0;
        });
        EXPECT_EQ(r.code, row.code);
        EXPECT_EQ(r.systemError, row.error);
        if (r.ok())
            EXPECT_EQ(r.bytes, bytes);
        else
            EXPECT_EQ(r.step, row.step);
    }
    EXPECT_EQ(readFile(dir / "none", 10).code, ErrorCode::FileMissing);
    const FileReadResult folder = readFile(dir.path(), 10);
    EXPECT_EQ(folder.code, ErrorCode::NotRegularFile);
    EXPECT_EQ(folder.systemError, EISDIR);
#ifndef _WIN32
    // A pipe nobody writes to would block a plain open for good.
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(readFile(dir / "pipe", 10).code, ErrorCode::NotRegularFile);
    EXPECT_EQ(readFile("/dev/zero", 10).code, ErrorCode::NotRegularFile);
    // A regular file that fails every read, like a bad sector.
    std::filesystem::create_symlink("/proc/self/mem", dir / "mem");
    const FileReadResult mem = readFile(dir / "mem", 10);
    EXPECT_EQ(mem.code, ErrorCode::ReadFailed);
    EXPECT_EQ(mem.systemError, EIO);
#endif
}

TEST(FileReader, TellsAChangedFileFromTheSameOne)
{
    TestFolder dir;
    const auto path = dir / "Base.dat";
    writeBytes(path, "first");
    const FileStamp stamp = readFile(path, 100).stamp;
    EXPECT_EQ(compareWithDisk(path, stamp, 100), DiskState::Same);
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
