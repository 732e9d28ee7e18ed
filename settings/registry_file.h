// The registry kept in one text file, for platforms without the Windows
// registry. Every call reads the file afresh; every change rewrites it whole.
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

private:
    struct OpenedKey {
        std::uint32_t root = 0;
        std::string path;
    };
    struct Snapshot {
        RegDocument doc;
        bool damaged = false; // the file exists but could not be read as a registry
    };

    Snapshot load() const;
    RegStatus save(const Snapshot& snapshot) const;
    RegKey addHandle(std::uint32_t root, std::string_view path);

    std::filesystem::path m_file;
    std::map<RegKey, OpenedKey> m_open;
    RegKey m_nextHandle = 1;
};

} // namespace settings
