// The write-then-rename file replacement, one system call a step so that each
// step's failure can be reported (and, in tests, provoked) on its own.
#include "fileio/atomicfile.h"

#include "fileio/filereader.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
// The wide form, so that a folder name outside the ANSI code page still opens.
#define MV_OPEN ::_wopen
#define MV_WRITE ::_write
#define MV_SYNC ::_commit
#define MV_CLOSE ::_close
#define MV_OPEN_FLAGS (_O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY)
#else
#include <unistd.h>
#define MV_OPEN ::open
#define MV_WRITE ::write
#define MV_SYNC ::fsync
#define MV_CLOSE ::close
#define MV_OPEN_FLAGS (O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC)
#endif

namespace fileio
{

namespace
{

namespace fs = std::filesystem;

FileWriteResult failure(FileStep step, int error, const fs::path& file,
                        FileError code = FileError::WriteFailed)
{
    FileWriteResult r;
    r.code = code;
    r.step = step;
    r.systemError = error;
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

// The file a chain of symbolic links ends at, so that replacing it keeps the links.
fs::path finalTarget(const fs::path& path, int& error)
{
    fs::path p = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(p, ec))
            return p;
        const fs::path target = fs::read_symlink(p, ec);
        if (ec) {
            error = ec.value();
            return p;
        }
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    error = static_cast<int>(std::errc::too_many_symbolic_link_levels);
    return p;
}

// A temporary is "<name>." + six of these + ".tmp": start-up knows leftovers by that pattern.
constexpr std::string_view kSuffixLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t kSuffixLength = 6;
constexpr std::string_view kTemporaryEnd = ".tmp";

// Six letters that differ between calls and between processes writing at once;
// the exclusive create settles any clash that is left.
std::string uniqueSuffix()
{
    static std::atomic<std::uint64_t> counter{0};
    int local = 0;
    std::uint64_t x = static_cast<std::uint64_t>(
                          std::chrono::high_resolution_clock::now().time_since_epoch().count()) ^
                      (reinterpret_cast<std::uintptr_t>(&local) << 16) ^ (++counter << 48);
#ifndef _WIN32
    x ^= static_cast<std::uint64_t>(::getpid()) << 32;
#endif
    std::string s;
    for (std::size_t i = 0; i < kSuffixLength; ++i) {
        x = (x ^ (x >> 31)) * 0x9E3779B97F4A7C15ull; // a mixing step, so nearby seeds spread
        s.push_back(kSuffixLetters[x % kSuffixLetters.size()]);
    }
    return s;
}

// Creates "<name>.XXXXXX.tmp" beside the target, never opening anything that was there.
int createTemporary(const fs::path& target, int mode, fs::path& tmp, int& error)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        tmp = target;
        tmp += "." + uniqueSuffix() + std::string(kTemporaryEnd);
        const int fd = MV_OPEN(tmp.c_str(), MV_OPEN_FLAGS, mode);
        if (fd >= 0)
            return fd;
        error = errno;
        if (error != EEXIST)
            return -1;
    }
    return -1;
}

#ifndef _WIN32
// Makes the rename itself durable; a failure here loses nothing, so it is not reported.
void syncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}
#endif

// Whether `file` is a temporary that createTemporary() made for one of `names`.
bool isTemporaryOf(std::string_view file, const std::vector<std::string>& names)
{
    if (!file.ends_with(kTemporaryEnd))
        return false;
    file.remove_suffix(kTemporaryEnd.size());
    if (file.size() < kSuffixLength + 1 || file[file.size() - kSuffixLength - 1] != '.')
        return false;
    const std::string_view suffix = file.substr(file.size() - kSuffixLength);
    if (suffix.find_first_not_of(kSuffixLetters) != std::string_view::npos)
        return false;
    file.remove_suffix(kSuffixLength + 1);
    return std::ranges::find(names, file) != names.end();
}

// Only a regular file of this user: never a link, whatever it leads to.
bool ownRegularFile(const fs::path& file)
{
#ifdef _WIN32
    std::error_code ec;
    return fs::is_regular_file(fs::symlink_status(file, ec));
#else
    struct stat info {
    };
    return ::lstat(file.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid();
#endif
}

// Writes the file at `target` itself, whatever stands there; see writeFileAtomically().
FileWriteResult replaceAt(const fs::path& target, std::string_view bytes,
                          const FileStepFault& fault)
{
    // Only a regular file is replaced: a folder, device or pipe at the name stays.
    int mode = 0666;
    int error = 0;
    std::error_code ec;
    const fs::file_status old = fs::status(target, ec);
    if (fs::exists(old)) {
        if (!fs::is_regular_file(old))
            return failure(FileStep::Open, fs::is_directory(old) ? EISDIR : 0, target,
                           FileError::NotRegularFile);
        mode = static_cast<int>(old.permissions() & fs::perms::mask);
    }

    fs::path tmp;
    error = injected(fault, FileStep::Open);
    const int fd = error == 0 ? createTemporary(target, mode, tmp, error) : -1;
    // Nothing was created: whatever sits at a temporary name is not ours to remove.
    if (fd < 0)
        return failure(FileStep::Open, error, target);
    auto discard = [&tmp] {
        std::error_code ignored;
        fs::remove(tmp, ignored);
    };
#ifndef _WIN32
    // The umask may have taken bits away; the replaced file's own bits come back.
    if (fs::exists(old))
        ::fchmod(fd, static_cast<mode_t>(mode));
#endif

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
        return failure(failed, error, target);
    }

    error = injected(fault, FileStep::Rename);
    if (error == 0) {
        fs::rename(tmp, target, ec);
        error = ec.value();
    }
    if (error != 0) {
        discard();
        return failure(FileStep::Rename, error, target);
    }
#ifndef _WIN32
    syncFolder(target.parent_path());
#endif
    return {};
}

} // namespace

FileWriteResult writeFileAtomically(const fs::path& path, std::string_view bytes,
                                    const FileStepFault& fault)
{
    int error = 0;
    const fs::path target = finalTarget(path, error);
    if (error != 0)
        return failure(FileStep::Open, error, path);
    return replaceAt(target, bytes, fault);
}

FileWriteResult keepCopy(const fs::path& original, const fs::path& copy, std::size_t limit)
{
    // A link planted at the copy's name could lead the copy over any file, the original too.
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(copy, ec)))
        return failure(FileStep::Open, 0, copy, FileError::Link);
    const FileReadResult old = readFile(original, limit);
    if (old.code == FileError::Missing)
        return {};
    if (!old.ok())
        return failure(FileStep::Open, old.systemError, original, old.code);
    return replaceAt(copy, old.bytes, {});
}

int removeLeftovers(const FileLock& held, const fs::path& folder,
                    const std::vector<std::string>& names)
{
    if (!held.held())
        return 0;
    int removed = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path file = it->path();
        std::error_code skip;
        // A newer one may be the save of a copy that takes no lock (an older version).
        if (isTemporaryOf(file.filename().string(), names) && ownRegularFile(file) &&
            fs::last_write_time(file, skip) < held.since() && !skip && fs::remove(file, skip))
            ++removed;
    }
    return removed;
}

} // namespace fileio
