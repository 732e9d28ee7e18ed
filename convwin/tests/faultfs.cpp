// The replaced calls: each forwards to the next definition (the C library, or a
// sanitizer's interceptor) unless the armed fault matches.
#include "convwin/tests/faultfs.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>

namespace faultfs
{

namespace
{

struct State {
    bool armed = false;
    Step step = Step::Open;
    int error = 0;
    std::string pathPart;
    int failures = 0;
    std::set<int> fds;          // open descriptors of matching files
    std::set<std::FILE*> files; // open streams of matching files
};

// Never destroyed: the calls keep coming while the program exits.
State& state()
{
    static State* s = new State;
    return *s;
}

std::mutex& lock()
{
    static auto* m = new std::mutex;
    return *m;
}

bool matches(const char* path)
{
    const std::lock_guard guard(lock());
    return path && !state().pathPart.empty() && std::strstr(path, state().pathPart.c_str());
}

bool fail(Step step)
{
    const std::lock_guard guard(lock());
    State& s = state();
    if (!s.armed || s.step != step)
        return false;
    ++s.failures;
    errno = s.error;
    return true;
}

template <typename F> F next(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

} // namespace

FaultScope::FaultScope(Step step, int error, std::string pathPart)
{
    const std::lock_guard guard(lock());
    State& s = state();
    s.step = step;
    s.error = error;
    s.pathPart = std::move(pathPart);
    s.failures = 0;
    s.armed = true;
}

FaultScope::~FaultScope()
{
    const std::lock_guard guard(lock());
    state().armed = false;
}

int FaultScope::failures() const
{
    return state().failures;
}

const char* stepName(Step step)
{
    switch (step) {
    case Step::Open:
        return "open";
    case Step::Write:
        return "write";
    case Step::Flush:
        return "flush";
    case Step::Close:
        return "close";
    case Step::Rename:
        return "rename";
    case Step::OpenToRead:
        return "open to read";
    case Step::Stat:
        return "fstat";
    case Step::Read:
        return "read";
    }
    return "?";
}

} // namespace faultfs

using faultfs::Step;

namespace
{

bool writing(int flags)
{
    return (flags & (O_WRONLY | O_RDWR)) != 0;
}

int track(const char* path, int fd)
{
    if (fd >= 0 && faultfs::matches(path)) {
        const std::lock_guard guard(faultfs::lock());
        faultfs::state().fds.insert(fd);
    }
    return fd;
}

bool tracked(int fd)
{
    const std::lock_guard guard(faultfs::lock());
    return faultfs::state().fds.count(fd) != 0;
}

// Forgets a descriptor or stream; true when it was one of the matching files.
bool untrack(int fd)
{
    const std::lock_guard guard(faultfs::lock());
    return faultfs::state().fds.erase(fd) != 0;
}

bool trackedFile(std::FILE* file)
{
    const std::lock_guard guard(faultfs::lock());
    return faultfs::state().files.count(file) != 0;
}

bool untrackFile(std::FILE* file)
{
    const std::lock_guard guard(faultfs::lock());
    return faultfs::state().files.erase(file) != 0;
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...)
{
    mode_t mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, int));
        va_end(args);
    }
    if (faultfs::matches(path) && faultfs::fail(writing(flags) ? Step::Open : Step::OpenToRead))
        return -1;
    static auto real = faultfs::next<int (*)(const char*, int, ...)>("open");
    return track(path, real(path, flags, mode));
}

ssize_t read(int fd, void* data, size_t size)
{
    if (tracked(fd) && faultfs::fail(Step::Read))
        return -1;
    static auto real = faultfs::next<ssize_t (*)(int, void*, size_t)>("read");
    return real(fd, data, size);
}

int fstat(int fd, struct stat* st)
{
    if (tracked(fd) && faultfs::fail(Step::Stat))
        return -1;
    static auto real = faultfs::next<int (*)(int, struct stat*)>("fstat");
    return real(fd, st);
}

ssize_t write(int fd, const void* data, size_t size)
{
    if (tracked(fd) && faultfs::fail(Step::Write))
        return -1;
    static auto real = faultfs::next<ssize_t (*)(int, const void*, size_t)>("write");
    return real(fd, data, size);
}

int fsync(int fd)
{
    if (tracked(fd) && faultfs::fail(Step::Flush))
        return -1;
    static auto real = faultfs::next<int (*)(int)>("fsync");
    return real(fd);
}

int close(int fd)
{
    const bool mine = untrack(fd);
    static auto real = faultfs::next<int (*)(int)>("close");
    const int result = real(fd);
    // The descriptor is gone either way, as after a real failing close.
    if (mine && faultfs::fail(Step::Close))
        return -1;
    return result;
}

int rename(const char* from, const char* to)
{
    if ((faultfs::matches(from) || faultfs::matches(to)) && faultfs::fail(Step::Rename))
        return -1;
    static auto real = faultfs::next<int (*)(const char*, const char*)>("rename");
    return real(from, to);
}

std::FILE* fopen(const char* path, const char* mode)
{
    const bool forWriting = std::strpbrk(mode, "wa+") != nullptr;
    if (forWriting && faultfs::matches(path) && faultfs::fail(Step::Open))
        return nullptr;
    static auto real = faultfs::next<std::FILE* (*)(const char*, const char*)>("fopen");
    std::FILE* file = real(path, mode);
    if (file && faultfs::matches(path)) {
        const std::lock_guard guard(faultfs::lock());
        faultfs::state().files.insert(file);
    }
    return file;
}

size_t fwrite(const void* data, size_t size, size_t count, std::FILE* file)
{
    if (trackedFile(file) && faultfs::fail(Step::Write))
        return 0;
    static auto real = faultfs::next<size_t (*)(const void*, size_t, size_t, std::FILE*)>("fwrite");
    return real(data, size, count, file);
}

int fflush(std::FILE* file)
{
    if (file && trackedFile(file) && faultfs::fail(Step::Flush))
        return EOF;
    static auto real = faultfs::next<int (*)(std::FILE*)>("fflush");
    return real(file);
}

int fclose(std::FILE* file)
{
    const bool mine = untrackFile(file);
    static auto real = faultfs::next<int (*)(std::FILE*)>("fclose");
    const int result = real(file);
    if (mine && faultfs::fail(Step::Close))
        return EOF;
    return result;
}

} // extern "C"
