// The registry kept in one text file, for platforms without the Windows
// registry. The file is read once, at the first call; changes stay in memory
// until flush() replaces the file, atomically, in one write.
#pragma once

#include "settings/registry.h"
#include "settings/regtext.h"

#include <filesystem>
#include <map>

namespace settings
{

// $XDG_CONFIG_HOME/Quorvellant/Metrovanta/registry.reg, or below
// $HOME/.config when the variable is unset, empty or not absolute.
std::filesystem::path defaultRegistryFile();
std::filesystem::path registryFileFor(const char* xdgConfigHome, const char* home);

// Larger than any settings file this program writes by far; a bigger one is
// not read (nor replaced), so that a device or a runaway file cannot flood memory.
inline constexpr std::size_t kMaxRegistryFileSize = std::size_t(8) << 20;

class FileRegistry final : public Registry
{
public:
    explicit FileRegistry(std::filesystem::path file = defaultRegistryFile());

    const std::filesystem::path& file() const { return m_file; }

    RegStatus openKey(std::uint32_t root, std::string_view subKey, std::uint32_t options,
                      std::uint32_t access, RegKey& key) override;
    RegStatus queryValue(RegKey key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                         std::uint32_t* size) override;
    RegStatus createKey(std::uint32_t root, std::string_view subKey, std::uint32_t options,
                        std::uint32_t access, RegKey& key, std::uint32_t* disposition) override;
    RegStatus setValue(RegKey key, std::string_view name, std::uint32_t type,
                       std::span<const std::uint8_t> data) override;
    RegStatus closeKey(RegKey key) override;

    RegFileState fileState() override;
    // Nothing to write is success. A file that exists but could not be read is
    // never replaced; a damaged one is copied to "<file>.damaged" first.
    RegStatus flush() override;

    // How many times flush() replaced the file.
    std::size_t replaceCount() const { return m_replaces; }

private:
    struct OpenedKey {
        std::uint32_t root = 0;
        std::string path;
    };

    void load();
    RegStatus replaceFile();
    RegKey addHandle(std::uint32_t root, std::string_view path);

    std::filesystem::path m_file;
    std::map<RegKey, OpenedKey> m_open;
    RegKey m_nextHandle = 1;

    bool m_loaded = false;
    RegDocument m_doc;
    RegFileState m_state;
    bool m_changed = false;
    bool m_damaged = false;  // the file on disk held lines that were left out
    bool m_keepFile = false; // the file exists but was not read: never replace it
    std::size_t m_replaces = 0;
};

} // namespace settings
