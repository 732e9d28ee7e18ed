// The program's settings: named text values in one registry key, read with a
// fallback and written as strings. On Windows they live in the system registry,
// elsewhere in one registry file that is read once and replaced by flush().
#pragma once

#include "fileio/fileerror.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace settings
{

class StoreBackend;

// Why the store could not read its values or keep them.
enum class StoreError {
    None,
    FileUnread,       // the settings file is there but cannot be read; it is never replaced
    FolderUnwritable, // the file's folder cannot be created or written; values live in memory
    CopyFailed,       // a damaged file could not be copied aside, so it was not replaced
    WriteFailed,      // the settings file could not be replaced; the old one is whole
    RegistryFailed,   // the system registry refused a value
};

struct StoreStatus {
    StoreError code = StoreError::None;
    int systemError = 0; // errno; for RegistryFailed the registry's Win32 error code
    fileio::FileError fileError = fileio::FileError::None; // the file layer's code, if it failed
    std::filesystem::path file;   // the settings file; empty for the system registry
    std::filesystem::path copy;   // where a damaged file is kept before it is replaced
    std::size_t droppedLines = 0; // lines of a damaged file that were left out (open() only)
    bool ok() const { return code == StoreError::None; }
};

// The predefined registry roots the store may use, numbered as Win32 numbers them.
enum class RegistryRoot : std::uint32_t { CurrentUser = 0x80000001, LocalMachine = 0x80000002 };

struct StoreKey {
    RegistryRoot root = RegistryRoot::LocalMachine;
    std::string path = "SOFTWARE\\Quorvellant\\Metrovanta\\Settings";
};

// $XDG_CONFIG_HOME/Quorvellant/Metrovanta/registry.reg, under ~/.config when the
// variable is unset or not absolute; empty on Windows, where the registry keeps them.
std::filesystem::path defaultSettingsFile();

class SettingsStore
{
public:
    // The key in the registry file `file`; on Windows in the system registry, `file` unused.
    explicit SettingsStore(const std::filesystem::path& file = defaultSettingsFile(),
                           const StoreKey& key = {});
    ~SettingsStore();
    SettingsStore(SettingsStore&&) noexcept;
    SettingsStore& operator=(SettingsStore&&) noexcept;

    // Reads the store unless a call before did, and says what keeps the values from being
    // kept (FileUnread, FolderUnwritable) and how many lines of a damaged file were dropped.
    // Every call gives the same answer.
    StoreStatus open();

    // The stored text (an expandable one as it stands), or a stored 32-bit integer in decimal
    // ("5", "-1"); the default when the value is missing, unreadable, of another type or empty.
    std::string read(std::string_view name, std::string_view defaultText);

    // Stores the text as a string value; a value that reads as the text already is left as it
    // is stored. Names are compared without regard to letter case (LogFile and Logfile are one
    // value); a new value keeps the spelling first written.
    void write(std::string_view name, std::string_view text);

    // Keeps what was written since the last flush. The registry file is replaced only when
    // something changed (a damaged one after its copy is kept), never when it was unread.
    StoreStatus flush();

private:
    std::unique_ptr<StoreBackend> m_backend;
};

} // namespace settings
