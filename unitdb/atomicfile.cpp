// The write-then-rename file replacement, one system call a step so that each
// step's failure can be reported (and, in tests, provoked) on its own.
#include "unitdb/atomicfile.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
// The wide form, so that a folder name outside the ANSI code page still opens.
#define MV_OPEN ::_wopen
#define MV_WRITE ::_write
#define MV_SYNC ::_commit
#define MV_CLOSE ::_close
#define MV_OPEN_FLAGS (_O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY)
#else
#include <unistd.h>
#define MV_OPEN ::open
#define MV_WRITE ::write
#define MV_SYNC ::fsync
#define MV_CLOSE ::close
#define MV_OPEN_FLAGS (O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC)
#endif

namespace unitdb
{

namespace
{

FileWriteResult failure(FileStep step, int error, const std::filesystem::path& file)
{
    FileWriteResult r;
    r.code = ErrorCode::WriteFailed;
    r.step = step;
    r.systemError = error;
    r.systemText = std::generic_category().message(error);
    r.file = file;
    return r;
}

// Runs the injected fault for a step; 0 lets the real call go ahead.
int injected(const FileStepFault& fault, FileStep step)
{
    return fault ? fault(step) : 0;
}

bool writeAll(int fd, std::string_view bytes, int& error)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size() - done, 1u << 30);
        const auto n = MV_WRITE(fd, bytes.data() + done, static_cast<unsigned>(chunk));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

#ifndef _WIN32
// Makes the rename itself durable; a failure here loses nothing, so it is not reported.
void syncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

} // namespace

std::filesystem::path temporaryPathFor(const std::filesystem::path& path)
{
    std::filesystem::path tmp = path;
    tmp += ".tmp";
    return tmp;
}

FileWriteResult writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                    const FileStepFault& fault)
{
    const std::filesystem::path tmp = temporaryPathFor(path);
    auto discard = [&tmp] {
        std::error_code ignored;
        std::filesystem::remove(tmp, ignored);
    };

    int error = injected(fault, FileStep::Open);
    int fd = -1;
    if (error == 0) {
        fd = MV_OPEN(tmp.c_str(), MV_OPEN_FLAGS, 0666);
        if (fd < 0)
            error = errno;
    }
    // Nothing was created: whatever sits at the temporary path is not ours to remove.
    if (error != 0)
        return failure(FileStep::Open, error, tmp);

    error = injected(fault, FileStep::Write);
    if (error == 0)
        writeAll(fd, bytes, error);
    FileStep failed = error != 0 ? FileStep::Write : FileStep::None;

    if (failed == FileStep::None) {
        error = injected(fault, FileStep::Flush);
        if (error == 0 && MV_SYNC(fd) != 0)
            error = errno;
        if (error != 0)
            failed = FileStep::Flush;
    }

    int closeError = injected(fault, FileStep::Close);
    if (MV_CLOSE(fd) != 0 && closeError == 0)
        closeError = errno;
    if (failed == FileStep::None && closeError != 0) {
        failed = FileStep::Close;
        error = closeError;
    }
    if (failed != FileStep::None) {
        discard();
        return failure(failed, error, tmp);
    }

    std::error_code ec;
    error = injected(fault, FileStep::Rename);
    if (error == 0) {
        std::filesystem::rename(tmp, path, ec);
        error = ec.value();
    }
    if (error != 0) {
        discard();
        return failure(FileStep::Rename, error, path);
    }
#ifndef _WIN32
    syncFolder(path.parent_path());
#endif
    return {};
}

} // namespace unitdb
