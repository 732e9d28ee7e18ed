// The settings store: named text values in one registry key, read with a
// fallback default and written as strings. Writes are kept by flush(): on the
// registry file, one write of the whole file.
#pragma once

#include "settings/registry.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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
    std::string readText(std::string_view entry, std::string_view defaultText);

    // Stores the text as a string value, creating the key when needed. A
    // write that fails is reported once until a write succeeds again.
    void writeText(std::string_view entry, std::string_view value);

    // Keeps what writeText stored since the last flush. A failure is told to
    // the user, once, unless writable() already said that nothing can be kept.
    bool flush();

    // Whether flush() can keep the settings at all: false when the settings
    // file could not be read (it is then left as it is) or its folder cannot be
    // written (missing and not creatable, read-only, a file in the way). The
    // values stay in memory for the run either way. The caller that asks takes
    // over telling the user, with the reason below.
    bool writable();
    int unwritableError();          // errno; 0 when writable
    std::string unwritableReason(); // in Russian, naming the file or folder

    // Lines of a damaged settings file that were left out; the user is told
    // once, at the first read or write.
    std::size_t droppedLines();

private:
    using KeyValue = std::variant<std::monostate, std::string, std::int32_t>;

    KeyValue fetchValue(std::uint32_t root, const std::string& keyPath, std::string_view valueName);
    void storeValue(std::uint32_t root, const std::string& keyPath, std::string_view valueName,
                    const std::string& text);

    std::string composeKeyPath() const;
    void reportUnexpected(std::string_view operation);
    void reportWriteFailure(std::string_view operation, const RegStatus& status);
    const RegFileState& fileState();

    std::unique_ptr<Registry> m_registry;
    MessageReporter m_report;
    bool m_writeFailureShown = false;
    std::optional<RegFileState> m_fileState; // read from the registry at the first call
    bool m_unwritableTold = false;           // someone asked writable() and got false

    std::uint32_t m_rootKey = kHkeyLocalMachine;
    std::string m_mainBranch = "SOFTWARE";
    std::string m_regBase;
    std::string m_program;
    std::string m_section = "Settings";
};

} // namespace settings
