#include "unitdb/atomicfile.h"

#include "testfolder.h"

#include <gtest/gtest.h>

using namespace unitdb;

TEST(AtomicFile, CreatesAndReplacesWithoutLeavingTheTemporaryFile)
{
    TestFolder dir;
    const auto path = dir / "Ignore.ini";
    ASSERT_TRUE(writeFileAtomically(path, "first\r\n").ok());
    EXPECT_EQ(readBytes(path), "first\r\n");
    ASSERT_TRUE(writeFileAtomically(path, std::string("\0two", 4)).ok());
    EXPECT_EQ(readBytes(path), std::string("\0two", 4));
    ASSERT_TRUE(writeFileAtomically(path, "").ok());
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    EXPECT_FALSE(std::filesystem::exists(temporaryPathFor(path)));
    EXPECT_EQ(temporaryPathFor(path).parent_path(), path.parent_path());
}

TEST(AtomicFile, EachFailedStepKeepsTheOldFileAndNamesTheStep)
{
    for (FileStep step :
         {FileStep::Open, FileStep::Write, FileStep::Flush, FileStep::Close, FileStep::Rename}) {
        SCOPED_TRACE(static_cast<int>(step));
        TestFolder dir;
        const auto path = dir / "Ignore.ini";
        writeBytes(path, "old\r\n");
        std::vector<FileStep> seen;
        const FileWriteResult r = writeFileAtomically(path, "new\r\n", [&](FileStep s) {
            seen.push_back(s);
            return s == step ? EIO : 0;
        });
        EXPECT_EQ(r.code, ErrorCode::WriteFailed);
        EXPECT_EQ(r.step, step);
        EXPECT_EQ(r.systemError, EIO);
        EXPECT_EQ(r.file, step == FileStep::Rename ? path : temporaryPathFor(path));
        EXPECT_EQ(readBytes(path), "old\r\n");
        EXPECT_FALSE(std::filesystem::exists(temporaryPathFor(path)));
        // Once a step fails no later step but the close runs.
        for (FileStep s : seen)
            EXPECT_TRUE(s <= step || s == FileStep::Close);
    }
}

TEST(AtomicFile, ANonEmptyFolderInTheWayFailsTheRename)
{
    TestFolder dir;
    const auto path = dir / "Base.dat";
    std::filesystem::create_directories(path / "inside");
    const FileWriteResult r = writeFileAtomically(path, "x");
    EXPECT_EQ(r.step, FileStep::Rename);
    EXPECT_FALSE(r.systemText.empty());
    EXPECT_TRUE(std::filesystem::is_directory(path / "inside"));
    EXPECT_FALSE(std::filesystem::exists(temporaryPathFor(path)));
}
