// Where the settings store keeps its values: the registry file, or the system
// registry on Windows. Each platform builds one of the two.
#pragma once

#include "settings/settingsstore.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace settings
{

class StoreBackend
{
public:
    virtual ~StoreBackend() = default;
    virtual StoreStatus open() = 0;
    // The named value as valueText() gives it; nothing when it is missing or unreadable.
    virtual std::optional<std::string> text(std::string_view name) = 0;
    virtual void write(std::string_view name, std::string_view text) = 0;
    virtual StoreStatus flush() = 0;
};

std::unique_ptr<StoreBackend> makeBackend(const std::filesystem::path& file, const StoreKey& key);

// A stored value as text: a string (expandable or not, its variables left as they are)
// without its one final NUL, a 32-bit integer in decimal; nothing for any other type.
std::optional<std::string> valueText(std::uint32_t type, std::string_view bytes);

} // namespace settings
