// The settings in one registry file, for platforms without the Windows registry.
// The file is read at the start; flush() puts this run's changes over what is on disk then,
// under the lock other copies of the program take too. A damaged file keeps its good values,
// and one that cannot be read is left as it is.
#include "fileio/atomicfile.h"
#include "fileio/filelock.h"
#include "fileio/filereader.h"
#include "settings/regtext.h"
#include "settings/storebackend.h"

#include <cassert>
#include <cerrno>
#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

namespace settings
{

namespace
{

namespace fs = std::filesystem;

// Far larger than any settings file this program writes; a bigger one is not read (nor
// replaced), so that a device or a runaway file cannot flood memory.
constexpr std::size_t kFileLimit = std::size_t(8) << 20;

// 0 when the file's folder is one we may write, or can be created below the nearest
// folder that exists; otherwise the errno why not.
int folderWriteError(const fs::path& file)
{
    fs::path folder = file.parent_path();
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

class RegistryFile final : public StoreBackend
{
public:
    RegistryFile(fs::path file, const StoreKey& key)
        : m_file(std::move(file)), m_root(static_cast<std::uint32_t>(key.root)), m_path(key.path),
          m_changes(m_root, m_path)
    {
    }

    StoreStatus open() override
    {
        if (m_opened)
            return *m_opened;
        const fileio::FileReadResult read = fileio::readFile(m_file, kFileLimit);
        // A file in the way of a folder leaves nothing to read there: what fails is writing,
        // and the folder check below says so.
        const bool noFolder =
            read.code == fileio::FileError::ReadFailed && read.systemError == ENOTDIR;
        if (!read.ok() && read.code != fileio::FileError::Missing && !noFolder) {
            m_opened = status(StoreError::FileUnread, read.systemError, read.code);
            return *m_opened;
        }
        std::size_t dropped = 0;
        if (read.ok()) {
            RegParse parsed = parseRegText(read.bytes);
            m_doc = std::move(parsed.doc);
            dropped = parsed.droppedLines;
            // Written back clean at the first flush, so that the damage is told once.
            m_damaged = dropped > 0;
        }
        removeLeftovers();
        const int error = folderWriteError(m_file);
        m_opened = status(error != 0 ? StoreError::FolderUnwritable : StoreError::None, error);
        m_opened->droppedLines = dropped;
        return *m_opened;
    }

    std::optional<std::string> text(std::string_view name) override
    {
        open();
        const RegValue* changed = m_changes.find(name);
        return textOf(changed != nullptr ? changed : stored(name));
    }

    void write(std::string_view name, std::string_view text) override
    {
        // The file keeps one value a line; the program's names never break one.
        assert(name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
        open();
        // Only a text that differs from the file's is this run's change: writing back what was
        // read keeps the value as stored, whatever its form, and must not undo what another
        // copy saved meanwhile.
        if (textOf(stored(name)) == text) {
            m_changes.erase(name);
            return;
        }
        std::vector<std::uint8_t> data(text.begin(), text.end());
        data.push_back(0);
        m_changes.set(name, kRegSz, std::move(data));
    }

    StoreStatus flush() override
    {
        const StoreStatus opened = open();
        if (m_changes.values().empty() && !m_damaged)
            return status(StoreError::None);
        if (opened.code == StoreError::FileUnread)
            return opened;
        std::error_code ec;
        if (m_file.has_parent_path())
            fs::create_directories(m_file.parent_path(), ec);
        if (ec)
            return status(StoreError::WriteFailed, ec.value(), fileio::FileError::WriteFailed);

        const fileio::FileLock lock(fileio::folderLock(m_file.parent_path()));
        if (lock.status() == fileio::FileLock::Status::Busy)
            return status(StoreError::WriteFailed, 0, fileio::FileError::Locked);
        // Another copy may have saved its own changes since this one read the file.
        const fileio::FileReadResult read = fileio::readFile(m_file, kFileLimit);
        if (!read.ok() && read.code != fileio::FileError::Missing)
            return status(StoreError::FileUnread, read.systemError, read.code);
        RegParse now = read.ok() ? parseRegText(read.bytes) : RegParse{};
        if (now.droppedLines > 0) {
            // Whatever the user had there may still be worth reading by hand.
            const auto kept = fileio::keepCopy(m_file, copyPath(), kFileLimit);
            if (!kept.ok())
                return status(StoreError::CopyFailed, kept.systemError, kept.code);
        } else if (m_changes.values().empty()) {
            m_doc = std::move(now.doc); // mended meanwhile: nothing left to write
            m_damaged = false;
            return status(StoreError::None);
        }
        RegKeyNode& key = now.doc.key(m_root, m_path);
        for (const RegValue& value : m_changes.values())
            key.set(value.name, value.type, value.data);
        const auto written = fileio::writeFileAtomically(m_file, formatRegText(now.doc));
        if (!written.ok())
            return status(StoreError::WriteFailed, written.systemError, written.code);
        m_doc = std::move(now.doc);
        m_changes = RegKeyNode(m_root, m_path);
        m_damaged = false;
        return status(StoreError::None);
    }

private:
    const RegValue* stored(std::string_view name)
    {
        const RegKeyNode* key = m_doc.findKey(m_root, m_path);
        return key != nullptr ? key->find(name) : nullptr;
    }

    static std::optional<std::string> textOf(const RegValue* value)
    {
        if (value == nullptr)
            return std::nullopt;
        if (value->type == kRegExpandSz)
            return valueText(kRegExpandSz, expandText(value->data));
        return valueText(value->type,
                         {reinterpret_cast<const char*>(value->data.data()), value->data.size()});
    }

    fs::path copyPath() const
    {
        fs::path copy = m_file;
        copy += ".damaged";
        return copy;
    }

    // What saves killed midway left beside the file; skipped while another copy saves.
    void removeLeftovers() const
    {
        const fs::path folder = m_file.parent_path();
        const fileio::FileLock lock(fileio::folderLock(folder), std::chrono::milliseconds(0));
        fileio::removeLeftovers(lock, folder,
                                {m_file.filename().string(), copyPath().filename().string()});
    }

    StoreStatus status(StoreError code, int error = 0,
                       fileio::FileError fileError = fileio::FileError::None) const
    {
        StoreStatus s;
        s.code = code;
        s.systemError = error;
        s.fileError = fileError;
        s.file = m_file;
        s.copy = copyPath();
        return s;
    }

    fs::path m_file;
    std::uint32_t m_root;
    std::string m_path;
    std::optional<StoreStatus> m_opened; // what the first read found
    RegDocument m_doc;                   // the file as read, or as this copy last wrote it
    RegKeyNode m_changes;                // this run's values that differ from m_doc
    bool m_damaged = false;              // the file on disk held lines that were left out
};

} // namespace

std::filesystem::path defaultSettingsFile()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    fs::path base;
    if (config != nullptr && config[0] == '/')
        base = config;
    else if (home != nullptr && home[0] != '\0')
        base = fs::path(home) / ".config";
    else
        base = ".config";
    return base / "Quorvellant" / "Metrovanta" / "registry.reg";
}

std::unique_ptr<StoreBackend> makeBackend(const std::filesystem::path& file, const StoreKey& key)
{
    return std::make_unique<RegistryFile>(file, key);
}

} // namespace settings
