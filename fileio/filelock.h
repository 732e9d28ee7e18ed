// One save at a time among copies of the program: a lock on a file beside the data, held from
// the check of what is on disk to the rename of the new file.
#pragma once

#include <chrono>
#include <filesystem>

namespace fileio
{

// Longer than any save takes, short enough that a stuck copy does not stall shut-down for long.
inline constexpr std::chrono::milliseconds kLockWait{5000};

// The lock of the program's files in `folder`: a hidden empty file that stays there.
std::filesystem::path folderLock(const std::filesystem::path& folder);

class FileLock
{
public:
    enum class Status {
        Held,       // ours until destroyed
        Busy,       // another copy held it for the whole wait
        Unavailable // no lock file can be made (a read-only folder): a save goes on without
    };

    // Waits at most `wait` for the lock on `lockFile`, which is created when missing and never
    // followed if a link stands there.
    explicit FileLock(const std::filesystem::path& lockFile,
                      std::chrono::milliseconds wait = kLockWait);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    Status status() const { return m_status; }
    bool held() const { return m_status == Status::Held; }
    // When the lock was taken: a file of a save older than this belongs to no running save.
    std::filesystem::file_time_type since() const { return m_since; }

private:
    Status m_status = Status::Unavailable;
    std::filesystem::file_time_type m_since;
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

} // namespace fileio
