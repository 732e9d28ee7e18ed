// One system call a step, so that each step's failure is reported (and, in
// tests, provoked) on its own.
#include "fileio/filereader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace fileio
{

namespace
{

constexpr std::size_t kChunk = 64 * 1024;

#ifdef _WIN32
using StatBuffer = struct _stat64;
int openForReading(const std::filesystem::path& path)
{
    return ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY);
}
int statOf(int fd, StatBuffer& st)
{
    return ::_fstat64(fd, &st);
}
bool isRegular(const StatBuffer& st)
{
    return (st.st_mode & _S_IFMT) == _S_IFREG;
}
bool isFolder(const StatBuffer& st)
{
    return (st.st_mode & _S_IFMT) == _S_IFDIR;
}
std::int64_t modifiedOf(const StatBuffer& st)
{
    return st.st_mtime;
}
long long readSome(int fd, char* into, std::size_t size)
{
    return ::_read(fd, into, static_cast<unsigned>(size));
}
void closeFile(int fd)
{
    ::_close(fd);
}
#else
using StatBuffer = struct stat;
int openForReading(const std::filesystem::path& path)
{
    // Non-blocking, so that a FIFO or a device opens at once and is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd >= 0) {
        const int flags = ::fcntl(fd, F_GETFL);
        if (flags >= 0)
            ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    return fd;
}
int statOf(int fd, StatBuffer& st)
{
    return ::fstat(fd, &st);
}
bool isRegular(const StatBuffer& st)
{
    return S_ISREG(st.st_mode);
}
bool isFolder(const StatBuffer& st)
{
    return S_ISDIR(st.st_mode);
}
std::int64_t modifiedOf(const StatBuffer& st)
{
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}
long long readSome(int fd, char* into, std::size_t size)
{
    return ::read(fd, into, size);
}
void closeFile(int fd)
{
    ::close(fd);
}
#endif

int injected(const ReadStepFault& fault, ReadStep step)
{
    return fault ? fault(step) : 0;
}

FileReadResult failure(FileError code, ReadStep step, int error)
{
    FileReadResult r;
    r.code = code;
    r.step = step;
    r.systemError = error;
    return r;
}

// Eight bytes a step, each step a bijection of the state, so that files differing in one word
// always differ in hash. Enough to tell another program's save from ours within a run; not
// meant against forgery, and never stored.
std::uint64_t hashOf(std::string_view bytes)
{
    std::uint64_t h = 14695981039346656037ull ^ bytes.size();
    const auto mix = [&h](std::uint64_t word) {
        h = (h ^ word) * 0x9E3779B97F4A7C15ull;
        h ^= h >> 29;
    };
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, 8);
        mix(word);
    }
    if (at < bytes.size()) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, bytes.size() - at);
        mix(word);
    }
    return h;
}

FileReadResult readOpen(int fd, std::size_t limit, const ReadStepFault& fault)
{
    StatBuffer st{};
    int error = injected(fault, ReadStep::Stat);
    if (error == 0 && statOf(fd, st) != 0)
        error = errno;
    if (error != 0)
        return failure(FileError::ReadFailed, ReadStep::Stat, error);
    if (!isRegular(st))
        return failure(FileError::NotRegularFile, ReadStep::Stat, isFolder(st) ? EISDIR : 0);
    if (st.st_size < 0 || static_cast<std::uint64_t>(st.st_size) > limit)
        return failure(FileError::TooLarge, ReadStep::Stat, 0);

    FileReadResult r;
    // Some regular files (those under /proc) claim to be empty and are not, so
    // the size only sets the first allocation; the end of the data ends the loop.
    const auto expected = static_cast<std::size_t>(st.st_size);
    r.bytes.reserve(expected + 1);
    for (;;) {
        const std::size_t at = r.bytes.size();
        // The whole file at once where its size holds, and one byte past it to see the end;
        // one byte past the limit tells a file that grew too large from one that fits.
        const std::size_t want =
            std::min(at <= expected ? expected + 1 - at : kChunk, limit + 1 - at);
        r.bytes.resize(at + want);
        error = injected(fault, ReadStep::Read);
        const long long n = error == 0 ? readSome(fd, r.bytes.data() + at, want) : -1;
        if (n < 0 && error == 0) {
            error = errno;
            if (error == EINTR) {
                r.bytes.resize(at);
                continue;
            }
        }
        if (n < 0)
            return failure(FileError::ReadFailed, ReadStep::Read, error);
        r.bytes.resize(at + static_cast<std::size_t>(n));
        if (n == 0)
            break;
        if (r.bytes.size() > limit)
            return failure(FileError::TooLarge, ReadStep::Read, 0);
    }
    r.stamp.size = r.bytes.size();
    r.stamp.modified = modifiedOf(st);
    r.stamp.hash = hashOf(r.bytes);
    return r;
}

} // namespace

FileReadResult readFile(const std::filesystem::path& path, std::size_t limit,
                        const ReadStepFault& fault)
{
    int error = injected(fault, ReadStep::Open);
    int fd = -1;
    if (error == 0) {
        fd = openForReading(path);
        if (fd < 0)
            error = errno;
    }
    if (error == ENOENT)
        return failure(FileError::Missing, ReadStep::Open, error);
#ifdef _WIN32
    // Windows opens no folder and calls it a denied access.
    std::error_code ec;
    if (error == EACCES && std::filesystem::is_directory(path, ec))
        return failure(FileError::NotRegularFile, ReadStep::Open, EISDIR);
#endif
    if (error != 0)
        return failure(FileError::ReadFailed, ReadStep::Open, error);
    FileReadResult r = readOpen(fd, limit, fault);
    closeFile(fd);
    return r;
}

DiskState compareWithDisk(const std::filesystem::path& path, const FileStamp& stamp,
                          std::size_t limit)
{
    const FileReadResult now = readFile(path, limit);
    if (now.code == FileError::Missing)
        return DiskState::Changed;
    if (!now.ok())
        return DiskState::Unreadable;
    return now.stamp == stamp ? DiskState::Same : DiskState::Changed;
}

} // namespace fileio
