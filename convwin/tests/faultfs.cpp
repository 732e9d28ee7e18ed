// The replaced calls: each forwards to the next definition (the C library, or a sanitizer's
// interceptor) unless the armed fault names its step and its file.
#include "convwin/tests/faultfs.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

using faultfs::FaultScope;
using faultfs::Step;

namespace
{

// Both need no destructor, so the calls that keep coming while the program exits are safe.
std::mutex faultLock;
FaultScope* armedFault = nullptr;

// True, with errno set, when the armed fault is this step on a path holding its text.
bool fails(Step step, const std::string& path)
{
    const std::lock_guard guard(faultLock);
    FaultScope* f = armedFault;
    if (!f || f->step != step || path.find(f->pathPart) == std::string::npos)
        return false;
    ++f->failures;
    errno = f->error;
    return true;
}

// Asked of the system, so that a fault armed after a file was opened still finds it.
std::string pathOf(int fd)
{
    char path[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t size = readlink(link.c_str(), path, sizeof path);
    return size > 0 ? std::string(path, static_cast<std::size_t>(size)) : std::string();
}

// The definition ours hides.
template <typename F> F* next(F*, const char* name)
{
    return reinterpret_cast<F*>(dlsym(RTLD_NEXT, name));
}

} // namespace

FaultScope::FaultScope(Step step, int error, std::string pathPart)
    : step(step), error(error), pathPart(std::move(pathPart))
{
    const std::lock_guard guard(faultLock);
    armedFault = this;
}

FaultScope::~FaultScope()
{
    const std::lock_guard guard(faultLock);
    armedFault = nullptr;
}

extern "C" {

int open(const char* path, int flags, ...)
{
    va_list args;
    va_start(args, flags);
    const mode_t mode = flags & (O_CREAT | O_TMPFILE) ? va_arg(args, mode_t) : 0;
    va_end(args);
    const bool writing = (flags & (O_WRONLY | O_RDWR)) != 0;
    static auto real = next(open, "open");
    return fails(writing ? Step::Open : Step::OpenToRead, path) ? -1 : real(path, flags, mode);
}

ssize_t read(int fd, void* data, size_t size)
{
    static auto real = next(read, "read");
    return fails(Step::Read, pathOf(fd)) ? -1 : real(fd, data, size);
}

int fstat(int fd, struct stat* st)
{
    static auto real = next(fstat, "fstat");
    return fails(Step::Stat, pathOf(fd)) ? -1 : real(fd, st);
}

ssize_t write(int fd, const void* data, size_t size)
{
    static auto real = next(write, "write");
    return fails(Step::Write, pathOf(fd)) ? -1 : real(fd, data, size);
}

int fsync(int fd)
{
    static auto real = next(fsync, "fsync");
    return fails(Step::Flush, pathOf(fd)) ? -1 : real(fd);
}

// The descriptor is gone either way, as after a real failing close.
int close(int fd)
{
    static auto real = next(close, "close");
    const std::string path = pathOf(fd);
    const int result = real(fd);
    return fails(Step::Close, path) ? -1 : result;
}

int rename(const char* from, const char* to)
{
    static auto real = next(rename, "rename");
    return fails(Step::Rename, from) || fails(Step::Rename, to) ? -1 : real(from, to);
}

// The C library writes a stream's bytes without calling our write and fsync.
std::FILE* fopen(const char* path, const char* mode)
{
    static auto real = next(fopen, "fopen");
    const bool writing = std::strpbrk(mode, "wa+") != nullptr;
    return writing && fails(Step::Open, path) ? nullptr : real(path, mode);
}

size_t fwrite(const void* data, size_t size, size_t count, std::FILE* file)
{
    static auto real = next(fwrite, "fwrite");
    return fails(Step::Write, pathOf(fileno(file))) ? 0 : real(data, size, count, file);
}

int fflush(std::FILE* file)
{
    static auto real = next(fflush, "fflush");
    return file && fails(Step::Flush, pathOf(fileno(file))) ? EOF : real(file);
}

} // extern "C"
