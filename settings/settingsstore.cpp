// The store's rules that hold on either back end: the type of a value read, and
// the default for one that is missing or empty.
#include "settings/settingsstore.h"

#include "settings/regtext.h"
#include "settings/storebackend.h"

#include <array>
#include <charconv>

namespace settings
{

std::optional<std::string> valueText(std::uint32_t type, std::string_view bytes)
{
    if (type == kRegSz || type == kRegExpandSz) {
        // One final NUL is the terminator; a value stored without one is whole, and any
        // further NULs belong to the value.
        if (!bytes.empty() && bytes.back() == '\0')
            bytes.remove_suffix(1);
        return std::string(bytes);
    }
    if (type == kRegDword && bytes.size() == 4) {
        std::uint32_t raw = 0;
        for (int i = 3; i >= 0; --i)
            raw = (raw << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
        std::array<char, 12> digits{};
        const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(),
                                             static_cast<std::int32_t>(raw));
        return std::string(digits.data(), end);
    }
    return std::nullopt;
}

SettingsStore::SettingsStore(const std::filesystem::path& file, const StoreKey& key)
    : m_backend(makeBackend(file, key))
{
}

SettingsStore::~SettingsStore() = default;
SettingsStore::SettingsStore(SettingsStore&&) noexcept = default;
SettingsStore& SettingsStore::operator=(SettingsStore&&) noexcept = default;

StoreStatus SettingsStore::open()
{
    return m_backend->open();
}

std::string SettingsStore::read(std::string_view name, std::string_view defaultText)
{
    const std::optional<std::string> text = m_backend->text(name);
    return text && !text->empty() ? *text : std::string(defaultText);
}

void SettingsStore::write(std::string_view name, std::string_view text)
{
    m_backend->write(name, text);
}

StoreStatus SettingsStore::flush()
{
    return m_backend->flush();
}

} // namespace settings
