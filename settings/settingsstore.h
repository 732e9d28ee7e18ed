// The settings store: named text values in one registry key, read with a
// fallback default and written as strings. Nothing is cached between calls.
#pragma once

#include "settings/registry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace settings
{

// Shows the user a message with an OK button; the window layer provides it.
using MessageReporter = std::function<void(std::string_view title, std::string_view text)>;

class SettingsStore
{
public:
    // On the system registry (the registry file where Windows has none).
    explicit SettingsStore(MessageReporter reporter = {});
    explicit SettingsStore(std::unique_ptr<Registry> registry, MessageReporter reporter = {});

    // MainBranch, Program, RegBase, RootKey, Section: the key is
    // RootKey\MainBranch\RegBase\Program\Section.
    const std::string& mainBranch() const { return m_mainBranch; }
    void setMainBranch(std::string mainBranch) { m_mainBranch = std::move(mainBranch); }
    const std::string& program() const { return m_program; }
    void setProgram(std::string program) { m_program = std::move(program); }
    const std::string& regBase() const { return m_regBase; }
    void setRegBase(std::string regBase) { m_regBase = std::move(regBase); }
    std::uint32_t rootKey() const { return m_rootKey; }
    void setRootKey(std::uint32_t rootKey) { m_rootKey = rootKey; }
    const std::string& section() const { return m_section; }
    void setSection(std::string section) { m_section = std::move(section); }

    // The named value as text (a 32-bit integer as decimal text); the default
    // when the value is missing, unreadable, of another type or empty.
    std::string ReadEntry(std::string_view entry, std::string_view defaultText);

    // Stores the text as a string value, creating the key when needed. A
    // write that fails is reported once until a write succeeds again.
    void WriteEntry(std::string_view entry, std::string_view value);

private:
    using KeyValue = std::variant<std::monostate, std::string, std::int32_t>;

    KeyValue GetKeyValue(std::uint32_t root, const std::string& keyPath,
                         std::string_view valueName);
    void SetKeyValue(std::uint32_t root, const std::string& keyPath, std::string_view valueName,
                     const KeyValue& value, std::uint32_t valueType);

    std::string composeKeyPath() const;
    void reportUnexpected(std::string_view operation);
    void reportWriteFailure(std::string_view operation, const RegStatus& status);

    std::unique_ptr<Registry> m_registry;
    MessageReporter m_report;
    bool m_writeFailureShown = false;

    std::uint32_t m_rootKey = kHkeyLocalMachine;
    std::string m_mainBranch = "SOFTWARE";
    std::string m_regBase;
    std::string m_program;
    std::string m_section = "Settings";

    friend struct CProgramSettingsProbe; // tests reach the integer branch of SetKeyValue
};

} // namespace settings
