// The settings store. Registry calls that fail on reading are silent (the
// caller's default stands in); a failed write or flush is told to the user,
// since the settings would otherwise be lost without a word.
#include "settings/settingsstore.h"

#include <array>
#include <charconv>
#include <new>
#include <stdexcept>

namespace settings
{

namespace
{

// An unexpected run-time error, numbered as the runtime numbers them.
struct RuntimeError {
    int number;
    std::string_view description;
};
constexpr RuntimeError kOutOfMemory{7, "Out of memory"};
constexpr RuntimeError kInternalError{51, "Internal error"};

std::string decimalText(long long value)
{
    std::array<char, 24> digits{};
    const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return std::string(digits.data(), end);
}

std::string errorText(long number, std::string_view description)
{
    return "Error: " + decimalText(number) + ". " + std::string(description);
}

} // namespace

SettingsStore::SettingsStore(MessageReporter reporter)
    : SettingsStore(makeSystemRegistry(), std::move(reporter))
{
}

SettingsStore::SettingsStore(std::unique_ptr<Registry> registry, MessageReporter reporter)
    : m_registry(std::move(registry)), m_report(std::move(reporter))
{
}

std::string SettingsStore::composeKeyPath() const
{
    std::string path = m_mainBranch + "\\" + m_regBase + "\\" + m_program + "\\" + m_section;
    // Only the one backslash an empty Section leaves; empty middle parts stay doubled.
    if (!path.empty() && path.back() == '\\')
        path.pop_back();
    return path;
}

const RegFileState& SettingsStore::fileState()
{
    if (!m_fileState) {
        m_fileState = m_registry->fileState();
        if (m_fileState->droppedLines > 0 && m_report) {
            std::string text = "Файл настроек поврежден: пропущено строк - " +
                               decimalText(static_cast<long long>(m_fileState->droppedLines)) +
                               ". Остальные настройки прочитаны";
            if (m_fileState->unwritableError == 0)
                text +=
                    ", а прежний файл будет сохранен рядом как «" + m_fileState->file + ".damaged»";
            m_report("Метрованта", text + ".");
        }
    }
    return *m_fileState;
}

bool SettingsStore::writable()
{
    m_unwritableTold = fileState().unwritableError != 0;
    return !m_unwritableTold;
}

int SettingsStore::unwritableError()
{
    return fileState().unwritableError;
}

std::string SettingsStore::unwritableReason()
{
    return fileState().unwritableReason;
}

std::size_t SettingsStore::droppedLines()
{
    return fileState().droppedLines;
}

bool SettingsStore::flush()
{
    fileState();
    const RegStatus status = m_registry->flush();
    if (status.ok()) {
        m_writeFailureShown = false;
        return true;
    }
    if (!m_unwritableTold && !m_writeFailureShown && m_report) {
        m_writeFailureShown = true;
        m_report("Метрованта", status.reason);
    }
    return false;
}

std::string SettingsStore::readText(std::string_view entry, std::string_view defaultText)
{
    fileState();
    try {
        const KeyValue value = fetchValue(m_rootKey, composeKeyPath(), entry);
        std::string text;
        if (const auto* s = std::get_if<std::string>(&value))
            text = *s;
        else if (const auto* n = std::get_if<std::int32_t>(&value))
            text = decimalText(*n);
        return text.empty() ? std::string(defaultText) : text;
    } catch (...) {
        reportUnexpected("readText");
    }
    return std::string(defaultText);
}

void SettingsStore::writeText(std::string_view entry, std::string_view value)
{
    fileState();
    try {
        storeValue(m_rootKey, composeKeyPath(), entry, std::string(value));
    } catch (...) {
        reportUnexpected("writeText");
    }
}

SettingsStore::KeyValue SettingsStore::fetchValue(std::uint32_t root, const std::string& keyPath,
                                                  std::string_view valueName)
{
    RegKey key = 0;
    if (!m_registry->openKey(root, keyPath, 0, kKeyAccessAll, key).ok())
        return {}; // nothing was opened, so nothing to close
    KeyValue result;
    try {
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        if (m_registry->queryValue(key, valueName, &type, nullptr, &size).ok()) {
            if (type == kRegSz) {
                std::string buffer(size, '\0');
                auto* bytes = reinterpret_cast<std::uint8_t*>(buffer.data());
                if (m_registry->queryValue(key, valueName, nullptr, bytes, &size).ok()) {
                    // One final NUL is the terminator; a value stored without
                    // one is whole, and any further NULs belong to the value.
                    if (!buffer.empty() && buffer.back() == '\0')
                        buffer.pop_back();
                    result = std::move(buffer);
                }
            } else if (type == kRegDword) {
                std::array<std::uint8_t, 4> bytes{};
                std::uint32_t dwordSize = 4;
                if (m_registry->queryValue(key, valueName, nullptr, bytes.data(), &dwordSize)
                        .ok()) {
                    const std::uint32_t raw = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                              (std::uint32_t(bytes[3]) << 24);
                    result = static_cast<std::int32_t>(raw);
                }
            }
        }
    } catch (...) {
        reportUnexpected("fetchValue");
        result = std::monostate();
    }
    (void)m_registry->closeKey(key);
    return result;
}

void SettingsStore::storeValue(std::uint32_t root, const std::string& keyPath,
                               std::string_view valueName, const std::string& text)
{
    RegKey key = 0;
    std::uint32_t disposition = 0;
    const RegStatus created =
        m_registry->createKey(root, keyPath, 0, kKeyAccessAll, key, &disposition);
    if (!created.ok()) {
        reportWriteFailure("storeValue", created);
        return;
    }
    try {
        // The stored size counts the terminating NUL.
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.c_str());
        const RegStatus written =
            m_registry->setValue(key, valueName, kRegSz, {bytes, text.size() + 1});
        // Only a flush that keeps them clears an earlier failure.
        if (!written.ok())
            reportWriteFailure("storeValue", written);
    } catch (...) {
        reportUnexpected("storeValue");
    }
    (void)m_registry->closeKey(key);
}

void SettingsStore::reportUnexpected(std::string_view operation)
{
    RuntimeError error = kInternalError;
    std::string description;
    try {
        throw;
    } catch (const RuntimeError& e) {
        error = e;
    } catch (const std::bad_alloc&) {
        error = kOutOfMemory;
    } catch (const std::length_error&) {
        error = kOutOfMemory;
    } catch (const std::exception& e) {
        description = e.what();
    } catch (...) {
    }
    if (description.empty())
        description = error.description;
    if (m_report)
        m_report(operation, errorText(error.number, description));
}

void SettingsStore::reportWriteFailure(std::string_view operation, const RegStatus& status)
{
    // Shut-down writes a dozen values; one message for a disk that refuses them all.
    if (m_writeFailureShown)
        return;
    m_writeFailureShown = true;
    if (m_report)
        m_report(operation, errorText(status.code, status.reason));
}

} // namespace settings
