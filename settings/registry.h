// The registry calls the settings store makes, as one small interface: the
// Win32 ANSI functions on Windows, a text file of the registry elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace settings
{

// Predefined root keys, numbered as Win32 numbers them (HKEY_CLASSES_ROOT ...).
inline constexpr std::uint32_t kHkeyClassesRoot = 0x80000000;
inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001;
inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t kHkeyUsers = 0x80000003;
inline constexpr std::uint32_t kHkeyPerformanceData = 0x80000004;
inline constexpr std::uint32_t kHkeyCurrentConfig = 0x80000005;
inline constexpr std::uint32_t kHkeyDynData = 0x80000006;

// Value types (REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD); any other
// 32-bit number may come back from a query as well.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

// Access mask of every open and create: query, set, create subkey,
// enumerate, notify, create link.
inline constexpr std::uint32_t kKeyAccessAll = 0x3F;

// Dispositions reported by createKey.
inline constexpr std::uint32_t kCreatedNewKey = 1;
inline constexpr std::uint32_t kOpenedExistingKey = 2;

// Status codes, Win32 error numbers.
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;            // no such key or value
inline constexpr long kErrorInvalidHandle = 6;           // unknown root or closed key
inline constexpr long kErrorInvalidParameter = 87;       // a call the layer cannot serve
inline constexpr long kErrorMoreData = 234;              // the data buffer is too small
inline constexpr long kErrorRegistryIoFailed = 1016;     // the settings file could not be written
inline constexpr long kErrorNoUnicodeTranslation = 1113; // text the ANSI code page cannot hold

// Outcome of a call: a Win32 status code, and for a failure the reason in
// words (which file and what the system said), for the user to read.
struct RegStatus {
    long code = kErrorSuccess;
    std::string reason;

    bool ok() const { return code == kErrorSuccess; }
};

// What became of the file behind a file-backed registry when it was read; the
// system registry has nothing to report.
struct RegFileState {
    std::string file;             // the settings file; empty for the system registry
    std::size_t droppedLines = 0; // lines of a damaged file that were left out
    int unwritableError = 0;      // errno why changes cannot be kept; 0 when they can
    std::string unwritableReason; // the same in words, naming the file
};

// An open key; 0 is none.
using RegKey = std::uintptr_t;

// Strings are UTF-8 on this side of the interface; names of keys and values
// are matched without regard to letter case.
class Registry
{
public:
    virtual ~Registry() = default;

    // RegOpenKeyExA: opens an existing key below a root; creates nothing.
    virtual RegStatus openKey(std::uint32_t root, std::string_view subKey, std::uint32_t options,
                              std::uint32_t access, RegKey& key) = 0;

    // RegQueryValueExA: with data null, reports the type and size in bytes;
    // with a buffer of *size bytes, also copies the data (kErrorMoreData and
    // the size needed when it does not fit). Any pointer may be null.
    virtual RegStatus queryValue(RegKey key, std::string_view name, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) = 0;

    // RegCreateKeyExA: opens the key, first creating it and every missing
    // key above it. disposition may be null.
    virtual RegStatus createKey(std::uint32_t root, std::string_view subKey, std::uint32_t options,
                                std::uint32_t access, RegKey& key, std::uint32_t* disposition) = 0;

    // RegSetValueExA: stores the bytes as they are under the given type.
    virtual RegStatus setValue(RegKey key, std::string_view name, std::uint32_t type,
                               std::span<const std::uint8_t> data) = 0;

    // RegCloseKey.
    virtual RegStatus closeKey(RegKey key) = 0;

    virtual RegFileState fileState() { return {}; }

    // Keeps every change made since the last flush, all in one write. The
    // system registry keeps each change at once and has nothing to do here.
    virtual RegStatus flush() { return {}; }
};

// The registry of this platform: the system registry on Windows, the
// per-user registry file elsewhere.
std::unique_ptr<Registry> makeSystemRegistry();

} // namespace settings
