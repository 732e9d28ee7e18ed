// The registry layer on Windows: the system's ANSI registry functions. Text
// is UTF-8 on our side and the ANSI code page on the system's side.
#include "settings/registry.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstring>
#include <optional>
#include <vector>

namespace settings
{

namespace
{

// Predefined keys are sign-extended 32-bit numbers, as <winreg.h> defines them.
HKEY rootHandle(std::uint32_t root)
{
    return reinterpret_cast<HKEY>(
        static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(root))));
}

HKEY keyHandle(RegKey key)
{
    return reinterpret_cast<HKEY>(key);
}

bool isTextType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// Converts between code pages; embedded NULs pass through. nullopt when a
// character has no place in the target code page (never replaced by "?").
std::optional<std::string> recode(std::string_view text, UINT from, UINT to)
{
    if (text.empty())
        return std::string();
    const DWORD fromFlags = from == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0;
    const int length = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(from, fromFlags, text.data(), length, nullptr, 0);
    if (wideLength <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(from, fromFlags, text.data(), length, wide.data(), wideLength);

    const DWORD toFlags = to == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultOut = to == CP_UTF8 ? nullptr : &usedDefault;
    const int outLength = WideCharToMultiByte(to, toFlags, wide.data(), wideLength, nullptr, 0,
                                              nullptr, usedDefaultOut);
    if (outLength <= 0 || usedDefault)
        return std::nullopt;
    std::string out(static_cast<std::size_t>(outLength), '\0');
    WideCharToMultiByte(to, toFlags, wide.data(), wideLength, out.data(), outLength, nullptr,
                        usedDefaultOut);
    return out;
}

RegStatus statusOf(LSTATUS code)
{
    if (code == ERROR_SUCCESS)
        return {};
    RegStatus status{static_cast<long>(code), {}};
    wchar_t text[512] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, static_cast<DWORD>(code), 0, text, 512, nullptr);
    if (length > 0) {
        const std::wstring_view wide(text, length);
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(length),
                                             nullptr, 0, nullptr, nullptr);
        if (size > 0) {
            status.reason.assign(static_cast<std::size_t>(size), '\0');
            WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(length),
                                status.reason.data(), size, nullptr, nullptr);
        }
        while (!status.reason.empty() &&
               (status.reason.back() == '\n' || status.reason.back() == '\r'))
            status.reason.pop_back();
    }
    return status;
}

class WinRegistry final : public Registry
{
public:
    RegStatus openKey(std::uint32_t root, std::string_view subKey, std::uint32_t options,
                      std::uint32_t access, RegKey& key) override
    {
        key = 0;
        const auto path = recode(subKey, CP_UTF8, CP_ACP);
        if (!path)
            return statusOf(ERROR_NO_UNICODE_TRANSLATION);
        HKEY opened = nullptr;
        const LSTATUS rc = RegOpenKeyExA(rootHandle(root), path->c_str(), options, access, &opened);
        if (rc == ERROR_SUCCESS)
            key = reinterpret_cast<RegKey>(opened);
        return statusOf(rc);
    }

    // Text values change length on conversion, so the whole value is read and
    // converted first, and the size the caller learns is that of the UTF-8 bytes.
    RegStatus queryValue(RegKey key, std::string_view name, std::uint32_t* type, std::uint8_t* data,
                         std::uint32_t* size) override
    {
        if (data != nullptr && size == nullptr)
            return statusOf(ERROR_INVALID_PARAMETER);
        const auto ansiName = recode(name, CP_UTF8, CP_ACP);
        if (!ansiName)
            return statusOf(ERROR_NO_UNICODE_TRANSLATION);

        DWORD valueType = 0;
        std::vector<BYTE> raw;
        LSTATUS rc = ERROR_MORE_DATA;
        while (rc == ERROR_MORE_DATA) {
            DWORD rawSize = 0;
            rc = RegQueryValueExA(keyHandle(key), ansiName->c_str(), nullptr, &valueType, nullptr,
                                  &rawSize);
            if (rc != ERROR_SUCCESS)
                return statusOf(rc);
            raw.resize(rawSize);
            // The value may grow between the two calls; then ask again.
            rc = RegQueryValueExA(keyHandle(key), ansiName->c_str(), nullptr, &valueType,
                                  raw.data(), &rawSize);
            if (rc == ERROR_SUCCESS)
                raw.resize(rawSize);
        }
        if (rc != ERROR_SUCCESS)
            return statusOf(rc);

        std::string bytes(raw.begin(), raw.end());
        if (isTextType(valueType)) {
            auto utf8 = recode(bytes, CP_ACP, CP_UTF8);
            if (!utf8)
                return statusOf(ERROR_NO_UNICODE_TRANSLATION);
            bytes = std::move(*utf8);
        }
        if (type != nullptr)
            *type = valueType;
        const auto needed = static_cast<std::uint32_t>(bytes.size());
        if (data != nullptr) {
            if (*size < needed) {
                *size = needed;
                return statusOf(ERROR_MORE_DATA);
            }
            std::memcpy(data, bytes.data(), bytes.size());
        }
        if (size != nullptr)
            *size = needed;
        return {};
    }

    RegStatus createKey(std::uint32_t root, std::string_view subKey, std::uint32_t options,
                        std::uint32_t access, RegKey& key, std::uint32_t* disposition) override
    {
        key = 0;
        const auto path = recode(subKey, CP_UTF8, CP_ACP);
        if (!path)
            return statusOf(ERROR_NO_UNICODE_TRANSLATION);
        HKEY created = nullptr;
        DWORD how = 0;
        const LSTATUS rc = RegCreateKeyExA(rootHandle(root), path->c_str(), 0, nullptr, options,
                                           access, nullptr, &created, &how);
        if (rc == ERROR_SUCCESS) {
            key = reinterpret_cast<RegKey>(created);
            if (disposition != nullptr)
                *disposition = how;
        }
        return statusOf(rc);
    }

    RegStatus setValue(RegKey key, std::string_view name, std::uint32_t type,
                       std::span<const std::uint8_t> data) override
    {
        const auto ansiName = recode(name, CP_UTF8, CP_ACP);
        if (!ansiName)
            return statusOf(ERROR_NO_UNICODE_TRANSLATION);
        std::string bytes(data.begin(), data.end());
        if (isTextType(type)) {
            // A character the code page cannot hold is refused, not turned into "?".
            auto ansi = recode(bytes, CP_UTF8, CP_ACP);
            if (!ansi)
                return statusOf(ERROR_NO_UNICODE_TRANSLATION);
            bytes = std::move(*ansi);
        }
        return statusOf(RegSetValueExA(keyHandle(key), ansiName->c_str(), 0, type,
                                       reinterpret_cast<const BYTE*>(bytes.data()),
                                       static_cast<DWORD>(bytes.size())));
    }

    RegStatus closeKey(RegKey key) override { return statusOf(RegCloseKey(keyHandle(key))); }
};

} // namespace

std::unique_ptr<Registry> makeSystemRegistry()
{
    return std::make_unique<WinRegistry>();
}

} // namespace settings
