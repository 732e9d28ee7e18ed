// The file-backed registry. A damaged file keeps its good values; a file that
// cannot be read is left as it is, and the run's settings live in memory only.
#include "settings/registry_file.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace settings
{

namespace
{

bool holdsLineBreakOrNul(std::string_view s)
{
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Stands for "not a regular file" (a folder, a FIFO, a device) in the errno slot.
constexpr int kNotRegularFile = EINVAL;

std::string systemReason(int error)
{
    switch (error) {
    case ENOENT:
        return "нет такого файла или папки";
    case EACCES:
    case EPERM:
        return "доступ запрещен";
    case EROFS:
        return "файловая система только для чтения";
    case ENOSPC:
        return "нет места на диске";
    case EDQUOT:
        return "превышена дисковая квота";
    case EISDIR:
        return "это папка";
    case ENOTDIR:
        return "часть пути - не папка";
    case EIO:
        return "ошибка ввода-вывода";
    case EFBIG:
        return "файл больше " + std::to_string(kMaxRegistryFileSize >> 20) + " МБ";
    case ELOOP:
        return "слишком много символических ссылок";
    case kNotRegularFile:
        return "это не обычный файл";
    default:
        return "системная ошибка " + std::to_string(error);
    }
}

RegStatus ioFailure(const std::filesystem::path& file, int error)
{
    return {kErrorRegistryIoFailed, "Не удалось сохранить настройки в файле «" + file.string() +
                                        "»: " + systemReason(error)};
}

RegStatus unknownRoot()
{
    return {kErrorInvalidHandle, "Неизвестный корневой раздел реестра"};
}

RegStatus unwritableName()
{
    return {kErrorInvalidParameter, "Имя с переводом строки нельзя записать в файл настроек"};
}

struct FileRead {
    enum class Outcome { Missing, Read, Failed } outcome = Outcome::Missing;
    std::string bytes;
    int error = 0;
};

// Opens without blocking (a FIFO named as the file must not hang start-up)
// and reads a regular file only, up to the size limit.
FileRead readSettingsFile(const std::filesystem::path& file)
{
    FileRead result;
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT)
            result = {FileRead::Outcome::Failed, {}, errno};
        return result;
    }
    struct stat info {
    };
    if (::fstat(fd, &info) != 0)
        result.error = errno;
    else if (S_ISDIR(info.st_mode))
        result.error = EISDIR;
    else if (!S_ISREG(info.st_mode))
        result.error = kNotRegularFile;
    else if (static_cast<std::uintmax_t>(info.st_size) > kMaxRegistryFileSize)
        result.error = EFBIG;
    while (result.error == 0) {
        char buffer[65536];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got < 0)
            result.error = errno;
        else if (got == 0)
            break;
        else if (result.bytes.size() + static_cast<std::size_t>(got) > kMaxRegistryFileSize)
            result.error = EFBIG; // it grew while we read
        else
            result.bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    result.outcome = result.error == 0 ? FileRead::Outcome::Read : FileRead::Outcome::Failed;
    if (result.error != 0)
        result.bytes.clear();
    return result;
}

// The folder the file goes into must be a folder we may write, or be
// creatable below the nearest one that exists.
int folderWriteError(const std::filesystem::path& file)
{
    std::filesystem::path folder = file.parent_path();
    if (folder.empty())
        folder = ".";
    while (true) {
        struct stat info {
        };
        if (::stat(folder.c_str(), &info) == 0) {
            if (!S_ISDIR(info.st_mode))
                return ENOTDIR;
            return ::access(folder.c_str(), W_OK | X_OK) == 0 ? 0 : errno;
        }
        if (errno != ENOENT)
            return errno;
        if (!folder.has_parent_path() || folder.parent_path() == folder)
            return ENOENT;
        folder = folder.parent_path();
    }
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// So that the rename itself survives a power cut; a failure here changes nothing we can fix.
void syncFolder(const std::filesystem::path& folder)
{
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// A name of our own, created exclusively: two copies of the program saving
// at once never write into one temporary file, and a link planted under the
// name is never followed.
int createTemporary(const std::filesystem::path& target, std::filesystem::path& temp)
{
    static std::atomic<unsigned> counter{0};
    const auto tick = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = target;
        temp += ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++) + "." +
                std::to_string(tick % 1000003);
        const int fd =
            ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

std::filesystem::path registryFileFor(const char* xdgConfigHome, const char* home)
{
    std::filesystem::path base;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/')
        base = xdgConfigHome;
    else if (home != nullptr && home[0] != '\0')
        base = std::filesystem::path(home) / ".config";
    else
        base = ".config";
    return base / "Quorvellant" / "Metrovanta" / "registry.reg";
}

std::filesystem::path defaultRegistryFile()
{
    return registryFileFor(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::unique_ptr<Registry> makeSystemRegistry()
{
    return std::make_unique<FileRegistry>();
}

FileRegistry::FileRegistry(std::filesystem::path file) : m_file(std::move(file))
{
    m_state.file = m_file.string();
}

void FileRegistry::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    FileRead read = readSettingsFile(m_file);
    if (read.outcome == FileRead::Outcome::Failed) {
        m_keepFile = true;
        m_state.unwritableError = read.error;
        m_state.unwritableReason =
            "файл «" + m_file.string() + "» не удалось прочитать: " + systemReason(read.error);
        return;
    }
    if (read.outcome == FileRead::Outcome::Read) {
        RegParse parsed = parseRegText(read.bytes);
        m_doc = std::move(parsed.doc);
        m_state.droppedLines = parsed.droppedLines;
        // Written back clean at the next flush, so that the user hears of it once.
        m_damaged = m_changed = parsed.droppedLines > 0;
    }
    if (const int error = folderWriteError(m_file); error != 0) {
        m_state.unwritableError = error;
        m_state.unwritableReason = "в папку «" + m_file.parent_path().string() +
                                   "» нельзя записать: " + systemReason(error);
    }
}

RegFileState FileRegistry::fileState()
{
    load();
    return m_state;
}

RegStatus FileRegistry::flush()
{
    load();
    if (!m_changed)
        return {};
    if (m_keepFile)
        return {kErrorRegistryIoFailed, "Настройки не сохранены: " + m_state.unwritableReason};
    RegStatus status = replaceFile();
    if (status.ok()) {
        m_changed = m_damaged = false;
        ++m_replaces;
    }
    return status;
}

RegStatus FileRegistry::replaceFile()
{
    // A link is saved through: its target is replaced in the target's own folder.
    std::error_code ec;
    std::filesystem::path target = m_file;
    if (std::filesystem::is_symlink(m_file, ec)) {
        const auto resolved = std::filesystem::canonical(m_file, ec);
        if (!ec)
            target = resolved;
    }
    const std::filesystem::path folder = target.parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    if (ec)
        return ioFailure(m_file, ec.value());

    std::filesystem::path temp;
    const int fd = createTemporary(target, temp);
    if (fd < 0)
        return ioFailure(m_file, errno);
    struct stat old {
    };
    if (::stat(target.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777); // a private file stays private
    const bool written = writeAll(fd, formatRegText(m_doc)) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        const int error = written ? errno : writeError;
        ::unlink(temp.c_str());
        return ioFailure(m_file, error);
    }

    if (m_damaged) {
        // Whatever the user had there may still be worth reading by hand.
        std::filesystem::path copy = target;
        copy += ".damaged";
        std::filesystem::copy_file(target, copy, std::filesystem::copy_options::overwrite_existing,
                                   ec);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return ioFailure(m_file, error);
    }
    syncFolder(folder);
    return {};
}

RegKey FileRegistry::addHandle(std::uint32_t root, std::string_view path)
{
    const RegKey handle = m_nextHandle++;
    m_open.emplace(handle, OpenedKey{root, std::string(path)});
    return handle;
}

RegStatus FileRegistry::openKey(std::uint32_t root, std::string_view subKey,
                                std::uint32_t /*options*/, std::uint32_t /*access*/, RegKey& key)
{
    key = 0;
    if (rootName(root).empty())
        return unknownRoot();
    load();
    if (!m_doc.keyExists(root, subKey))
        return {kErrorFileNotFound, {}};
    key = addHandle(root, subKey);
    return {};
}

RegStatus FileRegistry::queryValue(RegKey key, std::string_view name, std::uint32_t* type,
                                   std::uint8_t* data, std::uint32_t* size)
{
    const auto open = m_open.find(key);
    if (open == m_open.end())
        return {kErrorInvalidHandle, {}};
    if (data != nullptr && size == nullptr)
        return {kErrorInvalidParameter, {}};
    const RegKeyNode* node = m_doc.findKey(open->second.root, open->second.path);
    const RegValue* value = node != nullptr ? node->find(name) : nullptr;
    if (value == nullptr)
        return {kErrorFileNotFound, {}};

    if (type != nullptr)
        *type = value->type;
    const auto needed = static_cast<std::uint32_t>(value->data.size());
    if (data != nullptr) {
        if (*size < needed) {
            *size = needed;
            return {kErrorMoreData, {}};
        }
        if (needed > 0)
            std::memcpy(data, value->data.data(), needed);
    }
    if (size != nullptr)
        *size = needed;
    return {};
}

RegStatus FileRegistry::createKey(std::uint32_t root, std::string_view subKey,
                                  std::uint32_t /*options*/, std::uint32_t /*access*/, RegKey& key,
                                  std::uint32_t* disposition)
{
    key = 0;
    if (rootName(root).empty())
        return unknownRoot();
    if (holdsLineBreakOrNul(subKey))
        return unwritableName();
    load();
    const bool exists = m_doc.keyExists(root, subKey);
    if (!exists) {
        m_doc.key(root, subKey);
        m_changed = true;
    }
    if (disposition != nullptr)
        *disposition = exists ? kOpenedExistingKey : kCreatedNewKey;
    key = addHandle(root, subKey);
    return {};
}

RegStatus FileRegistry::setValue(RegKey key, std::string_view name, std::uint32_t type,
                                 std::span<const std::uint8_t> data)
{
    const auto open = m_open.find(key);
    if (open == m_open.end())
        return {kErrorInvalidHandle, {}};
    if (holdsLineBreakOrNul(name))
        return unwritableName();
    RegKeyNode& node = m_doc.key(open->second.root, open->second.path);
    const RegValue* old = node.find(name);
    if (old != nullptr && old->type == type &&
        std::equal(old->data.begin(), old->data.end(), data.begin(), data.end()))
        return {}; // the same again: nothing to write at exit
    node.set(name, type, {data.begin(), data.end()});
    m_changed = true;
    return {};
}

RegStatus FileRegistry::closeKey(RegKey key)
{
    return m_open.erase(key) == 1 ? RegStatus{} : RegStatus{kErrorInvalidHandle, {}};
}

} // namespace settings
