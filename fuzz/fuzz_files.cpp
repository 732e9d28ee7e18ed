// The file layer under failing system calls: the first bytes choose which call
// fails and how, the rest is the file. Whatever fails, the reader, the loader
// and the writer return a result that says so; a write that fails leaves the
// old file whole and nothing beside it.
#include "fileio/atomicfile.h"
#include "fileio/filereader.h"
#include "unitdb/basefile.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace
{

namespace fs = std::filesystem;

const fs::path& scratchFolder()
{
    static const fs::path folder = [] {
        fs::path p = fs::temp_directory_path() / ("mv_fuzz_files_" + std::to_string(::getpid()));
        fs::remove_all(p);
        fs::create_directories(p);
        return p;
    }();
    return folder;
}

void writePlain(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        std::abort();
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// Fails the `failAt`-th call (1-based; 0 fails none) with `error`, and notes whether it did.
struct Fault {
    int failAt = 0;
    int error = 0;
    int calls = 0;
    bool fired = false;
    int next()
    {
        if (++calls != failAt)
            return 0;
        fired = true;
        return error;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    static const int errors[] = {EIO, EACCES, ENOENT, ENOSPC, EROFS, EISDIR, ENOMEM, EPERM};
    const int error = errors[data[1] % 8];
    // Repeated up to 64 times, so that a file takes several reads.
    std::string content;
    const std::string piece(reinterpret_cast<const char*>(data) + 3, size - 3);
    for (int i = 0; i <= data[2] % 64; ++i)
        content += piece;
    const std::size_t limit = data[1] & 0x80 ? content.size() / 2 : unitdb::kBaseFileLimit;
    const fs::path file = scratchFolder() / "Base.dat";
    writePlain(file, content);

    Fault readFault{data[0] % 16, error};
    const auto read =
        fileio::readFile(file, limit, [&](fileio::ReadStep) { return readFault.next(); });
    if (readFault.fired) {
        check(!read.ok() && read.systemError == error);
        check(read.code == (error == ENOENT && read.step == fileio::ReadStep::Open
                                ? fileio::FileError::Missing
                                : fileio::FileError::ReadFailed));
    } else if (content.size() > limit) {
        check(read.code == fileio::FileError::TooLarge);
    } else {
        check(read.ok() && read.bytes == content && read.stamp.size == content.size());
    }

    unitdb::UnitDatabase database;
    Fault loadFault{data[0] % 16, error};
    const auto loaded =
        unitdb::load(database, file, [&](fileio::ReadStep) { return loadFault.next(); });
    if (loadFault.fired)
        check(!loaded.ok() && !loaded.partial && database.size() == 0);

    Fault writeFault{data[0] % 8, error};
    writePlain(file, "old");
    const auto written = fileio::writeFileAtomically(
        file, piece, [&](fileio::FileStep) { return writeFault.next(); });
    check(written.ok() != writeFault.fired);
    if (writeFault.fired)
        check(written.systemError == error);
    std::ifstream in(file, std::ios::binary);
    const std::string after((std::istreambuf_iterator<char>(in)), {});
    check(after == (written.ok() ? piece : std::string("old")));
    check(std::distance(fs::directory_iterator(scratchFolder()), fs::directory_iterator()) == 1);
    return 0;
}
