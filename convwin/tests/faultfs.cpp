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
#include <map>
#include <mutex>
#include <string>

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
    // Every open descriptor and stream with its path, so that a fault armed after a
    // file was opened still finds it.
    std::map<int, std::string> fds;
    std::map<std::FILE*, std::string> files;
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

// With the lock held.
bool matchesLocked(const std::string& path)
{
    return !state().pathPart.empty() && path.find(state().pathPart) != std::string::npos;
}

bool matches(const char* path)
{
    const std::lock_guard guard(lock());
    return path && matchesLocked(path);
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
    static const char* const names[] = {"open",   "write",        "flush", "close",
                                        "rename", "open to read", "fstat", "read"};
    return names[static_cast<int>(step)];
}

} // namespace faultfs

using faultfs::Step;

namespace
{

bool writing(int flags)
{
    return (flags & (O_WRONLY | O_RDWR)) != 0;
}

bool isOpen(int fd)
{
    return fd >= 0;
}
bool isOpen(std::FILE* file)
{
    return file != nullptr;
}
std::map<int, std::string>& handles(int)
{
    return faultfs::state().fds;
}
std::map<std::FILE*, std::string>& handles(std::FILE*)
{
    return faultfs::state().files;
}

template <typename Key> Key track(const char* path, Key handle)
{
    if (isOpen(handle) && path) {
        const std::lock_guard guard(faultfs::lock());
        handles(handle).insert_or_assign(handle, path);
    }
    return handle;
}

// Whether a descriptor or stream is open on a file the armed fault names.
template <typename Key> bool tracked(Key handle)
{
    const std::lock_guard guard(faultfs::lock());
    const auto found = handles(handle).find(handle);
    return found != handles(handle).end() && faultfs::matchesLocked(found->second);
}

// Forgets a descriptor or stream; true when it was open on a file the fault names.
template <typename Key> bool untrack(Key handle)
{
    const bool mine = tracked(handle);
    const std::lock_guard guard(faultfs::lock());
    handles(handle).erase(handle);
    return mine;
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
    static auto real = faultfs::next<ssize_t (*)(int, void*, size_t)>("read");
    return tracked(fd) && faultfs::fail(Step::Read) ? -1 : real(fd, data, size);
}

int fstat(int fd, struct stat* st)
{
    static auto real = faultfs::next<int (*)(int, struct stat*)>("fstat");
    return tracked(fd) && faultfs::fail(Step::Stat) ? -1 : real(fd, st);
}

ssize_t write(int fd, const void* data, size_t size)
{
    static auto real = faultfs::next<ssize_t (*)(int, const void*, size_t)>("write");
    return tracked(fd) && faultfs::fail(Step::Write) ? -1 : real(fd, data, size);
}

int fsync(int fd)
{
    static auto real = faultfs::next<int (*)(int)>("fsync");
    return tracked(fd) && faultfs::fail(Step::Flush) ? -1 : real(fd);
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
    return track(path, real(path, mode));
}

size_t fwrite(const void* data, size_t size, size_t count, std::FILE* file)
{
    static auto real = faultfs::next<size_t (*)(const void*, size_t, size_t, std::FILE*)>("fwrite");
    return tracked(file) && faultfs::fail(Step::Write) ? 0 : real(data, size, count, file);
}

int fflush(std::FILE* file)
{
    static auto real = faultfs::next<int (*)(std::FILE*)>("fflush");
    return file && tracked(file) && faultfs::fail(Step::Flush) ? EOF : real(file);
}

int fclose(std::FILE* file)
{
    const bool mine = untrack(file);
    static auto real = faultfs::next<int (*)(std::FILE*)>("fclose");
    const int result = real(file);
    if (mine && faultfs::fail(Step::Close))
        return EOF;
    return result;
}

} // extern "C"
