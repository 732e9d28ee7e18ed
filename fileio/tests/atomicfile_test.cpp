// Replacing a file whole or not at all: each failing step, links, and what is no file.
#include "fileio/atomicfile.h"

#include "fileio/tests/testfolder.h"

#include <tuple>

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace fileio;

TEST(AtomicFile, EachFailedStepKeepsTheOldFileAndNamesTheStep)
{
    using enum FileStep;
    for (FileStep step : {Open, Write, Flush, Close, Rename}) {
        SCOPED_TRACE(static_cast<int>(step));
        TestFolder dir;
        const auto path = dir / "Ignore.ini";
        writeBytes(path, "old\r\n");
        const FileWriteResult r =
            writeFileAtomically(path, "new\r\n", [&](FileStep s) { return s == step ? EIO : 0; });
        EXPECT_EQ(std::tie(r.code, r.step, r.systemError, r.file),
                  std::tuple(FileError::WriteFailed, step, EIO, path));
        EXPECT_EQ(readBytes(path), "old\r\n");
        EXPECT_EQ(dir.names(), std::vector<std::string>{"Ignore.ini"});
    }
}

#ifndef _WIN32
// What the name leads to is replaced, as it was: through links, with its own
// permission bits; an old fixed temporary name is neither followed nor touched;
// a folder or a pipe is no file to replace, and the writer does not block on a pipe.
TEST(AtomicFile, ReplacesWhatTheNameLeadsTo)
{
    TestFolder dir;
    std::filesystem::create_directory(dir / "data");
    writeBytes(dir / "data" / "real.dat", "old");
    ::chmod((dir / "data" / "real.dat").c_str(), 0600);
    std::filesystem::create_symlink("data/real.dat", dir / "Base.dat");
    writeBytes(dir / "victim", "victim");
    std::filesystem::create_symlink(dir / "victim", dir / "Base.dat.tmp");
    std::filesystem::create_symlink(dir / "victim", dir / "Base.dat.bak");

    ASSERT_TRUE(writeFileAtomically(dir / "Base.dat", "new").ok());
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "Base.dat"));
    EXPECT_EQ(readBytes(dir / "data" / "real.dat"), "new");
    EXPECT_EQ(std::filesystem::status(dir / "data" / "real.dat").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    // A copy kept beside a file never goes where a planted link leads.
    EXPECT_EQ(keepCopy(dir / "Base.dat", dir / "Base.dat.bak", 10).code, FileError::Link);
    EXPECT_EQ(readBytes(dir / "victim"), "victim");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"Base.dat", "Base.dat.bak", "Base.dat.tmp",
                                                     "data", "victim"}));

    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(writeFileAtomically(dir / "pipe", "x").code, FileError::NotRegularFile);
    EXPECT_EQ(writeFileAtomically(dir / "data", "x").systemError, EISDIR);
}
#endif

// The copy kept before a file is replaced: the original's bytes, nothing for a missing
// original, and a failure that names the original when it cannot be read.
TEST(AtomicFile, KeepsACopyOfWhatIsThere)
{
    TestFolder dir;
    writeBytes(dir / "Base.dat", "old");
    ASSERT_TRUE(keepCopy(dir / "Base.dat", dir / "Base.dat.bak", 10).ok());
    EXPECT_EQ(readBytes(dir / "Base.dat.bak"), "old");
    EXPECT_TRUE(keepCopy(dir / "none", dir / "none.bak", 10).ok());
    const FileWriteResult tooLarge = keepCopy(dir / "Base.dat", dir / "other.bak", 2);
    EXPECT_EQ(std::tie(tooLarge.code, tooLarge.file),
              std::tuple(FileError::TooLarge, dir / "Base.dat"));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"Base.dat", "Base.dat.bak"}));
}

// One copy saves at a time; under the lock, what saves killed midway left goes, and only that.
TEST(AtomicFile, LeftoversOfKilledSavesGoUnderTheLock)
{
    TestFolder dir;
    std::vector<std::string> kept{"Base.dat.ABCDEF.tmp", "Base.dat.abc12.tmp", "Base.dat.bak",
                                  "notes.abc123.tmp"};
    for (const std::string& name : kept)
        writeBytes(dir / name, "x");
    writeBytes(dir / "Base.dat.abc123.tmp", "killed");
    writeBytes(dir / "Ignore.ini.bak.zz0099.tmp", "killed");
#ifndef _WIN32
    std::filesystem::create_symlink(dir / "notes.abc123.tmp", dir / "Base.dat.link00.tmp");
    kept.insert(kept.begin() + 3, "Base.dat.link00.tmp");
#endif
    {
        const FileLock first(folderLock(dir.path()));
        ASSERT_TRUE(first.held());
        const FileLock second(folderLock(dir.path()), std::chrono::milliseconds(20));
        EXPECT_EQ(second.status(), FileLock::Status::Busy);
        EXPECT_EQ(removeLeftovers(second, dir.path(), {"Base.dat"}), 0);
    }
    const FileLock lock(folderLock(dir.path()), std::chrono::milliseconds(0));
    EXPECT_EQ(removeLeftovers(lock, dir.path(), {"Base.dat", "Ignore.ini.bak"}), 2);
    auto names = dir.names();
    std::erase(names, ".metrovanta.lock");
    EXPECT_EQ(names, kept);
}
