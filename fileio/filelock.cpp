// The lock is the system's: flock on POSIX, LockFileEx on Windows. Either is let go when its
// holder ends, so a copy killed while saving never leaves the others locked out.
#include "fileio/filelock.h"

#include <thread>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace fileio
{

namespace
{

constexpr std::chrono::milliseconds kPoll{5};

#ifdef _WIN32
void* openLockFile(const std::filesystem::path& file)
{
    const HANDLE h = ::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

bool tryLock(void* handle)
{
    OVERLAPPED at{};
    return ::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                        &at) != 0;
}
#else
bool tryLock(int fd)
{
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        if (errno != EINTR)
            return false;
    return true;
}
#endif

} // namespace

std::filesystem::path folderLock(const std::filesystem::path& folder)
{
    return folder / ".metrovanta.lock";
}

FileLock::FileLock(const std::filesystem::path& lockFile, std::chrono::milliseconds wait)
{
#ifdef _WIN32
    m_handle = openLockFile(lockFile);
    if (m_handle == nullptr)
        return;
    auto attempt = [this] { return tryLock(m_handle); };
#else
    m_fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (m_fd < 0)
        return;
    auto attempt = [this] { return tryLock(m_fd); };
#endif
    const auto deadline = std::chrono::steady_clock::now() + wait;
    m_status = Status::Busy;
    for (;;) {
        if (attempt()) {
            m_status = Status::Held;
            m_since = std::filesystem::file_time_type::clock::now();
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return;
        std::this_thread::sleep_for(kPoll);
    }
}

FileLock::~FileLock()
{
#ifdef _WIN32
    if (m_handle != nullptr) {
        if (held()) {
            OVERLAPPED at{};
            ::UnlockFileEx(m_handle, 0, 1, 0, &at);
        }
        ::CloseHandle(m_handle);
    }
#else
    // Closing the only descriptor of the open file lets the lock go.
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

} // namespace fileio
