// The settings in the system registry on Windows, through its ANSI functions.
// Text is UTF-8 on our side and the ANSI code page on the registry's.
#include "settings/storebackend.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <utility>

namespace settings
{

namespace
{

// Query, set, create subkey, enumerate, notify, create link: for reading too.
constexpr REGSAM kAccess = 0x3F;

// Predefined keys are sign-extended 32-bit numbers, as <winreg.h> defines them.
HKEY rootHandle(RegistryRoot root)
{
    return reinterpret_cast<HKEY>(
        static_cast<ULONG_PTR>(static_cast<LONG_PTR>(static_cast<LONG>(root))));
}

// Converts between code pages; embedded NULs pass through. Nothing when a character
// has no place in the target code page (never replaced by "?").
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

// The value's text in the ANSI code page. The value may grow between the size query
// and the read; then it is asked for again.
std::optional<std::string> queryText(HKEY key, const std::string& name)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_DWORD))
            return std::nullopt;
        std::string bytes(size, '\0');
        const LSTATUS rc = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                            reinterpret_cast<BYTE*>(bytes.data()), &size);
        if (rc == ERROR_SUCCESS)
            return valueText(type, std::string_view(bytes).substr(0, size));
        if (rc != ERROR_MORE_DATA)
            return std::nullopt;
    }
    return std::nullopt;
}

class SystemRegistry final : public StoreBackend
{
public:
    explicit SystemRegistry(const StoreKey& key)
        : m_root(rootHandle(key.root)), m_path(recode(key.path, CP_UTF8, CP_ACP))
    {
    }

    StoreStatus open() override { return {}; }

    std::optional<std::string> text(std::string_view name) override
    {
        const auto ansiName = recode(name, CP_UTF8, CP_ACP);
        HKEY key = nullptr;
        if (!m_path || !ansiName ||
            RegOpenKeyExA(m_root, m_path->c_str(), 0, kAccess, &key) != ERROR_SUCCESS)
            return std::nullopt; // nothing was opened, so nothing to close
        const auto text = queryText(key, *ansiName);
        RegCloseKey(key);
        return text ? recode(*text, CP_ACP, CP_UTF8) : std::nullopt;
    }

    void write(std::string_view name, std::string_view text) override
    {
        const auto ansiName = recode(name, CP_UTF8, CP_ACP);
        const auto ansiText = recode(text, CP_UTF8, CP_ACP);
        if (!m_path || !ansiName || !ansiText) {
            fail(ERROR_NO_UNICODE_TRANSLATION);
            return;
        }
        HKEY key = nullptr;
        LSTATUS rc = RegCreateKeyExA(m_root, m_path->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     kAccess, nullptr, &key, nullptr);
        if (rc == ERROR_SUCCESS) {
            // The stored size counts the terminating NUL.
            rc = RegSetValueExA(key, ansiName->c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(ansiText->c_str()),
                                static_cast<DWORD>(ansiText->size() + 1));
            RegCloseKey(key);
        }
        if (rc != ERROR_SUCCESS)
            fail(rc);
    }

    // Every write is kept at once; what is left to do is to say whether one failed.
    StoreStatus flush() override { return std::exchange(m_failure, {}); }

private:
    void fail(LSTATUS code)
    {
        if (m_failure.ok()) {
            m_failure.code = StoreError::RegistryFailed;
            m_failure.systemError = static_cast<int>(code);
        }
    }

    HKEY m_root;
    std::optional<std::string> m_path;
    StoreStatus m_failure; // the first failed write since the last flush
};

} // namespace

std::filesystem::path defaultSettingsFile()
{
    return {};
}

std::unique_ptr<StoreBackend> makeBackend(const std::filesystem::path& /*file*/,
                                          const StoreKey& key)
{
    return std::make_unique<SystemRegistry>(key);
}

} // namespace settings
