// The input line's history and its file.
#include "convmodel/inputhistory.h"

#include "unitdb/cp1251.h"

#include <algorithm>

namespace convmodel
{

namespace
{

bool keepable(std::string_view text)
{
    return !text.empty() && text.size() <= InputHistory::kLongest && unitdb::isValidUtf8(text) &&
           std::ranges::none_of(text, [](char c) { return c >= 0 && c < ' ' && c != '\t'; });
}

} // namespace

void InputHistory::load(std::string_view bytes)
{
    m_entries.clear();
    while (!bytes.empty()) {
        const auto eol = bytes.find('\n');
        std::string_view line = bytes.substr(0, eol);
        bytes.remove_prefix(eol == std::string_view::npos ? bytes.size() : eol + 1);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (keepable(line))
            m_entries.emplace_back(line);
    }
    if (m_entries.size() > kKept)
        m_entries.erase(m_entries.begin(), m_entries.end() - kKept);
    m_at = m_entries.size();
    m_changed = false;
}

std::string InputHistory::bytes() const
{
    std::string out;
    for (const std::string& text : m_entries)
        out += text + '\n';
    return out;
}

void InputHistory::add(std::string_view text)
{
    if (keepable(text) && (m_entries.empty() || m_entries.back() != text)) {
        if (m_entries.size() == kKept)
            m_entries.erase(m_entries.begin());
        m_entries.emplace_back(text);
        m_changed = true;
    }
    m_at = m_entries.size();
}

void InputHistory::restartIfEdited(std::string_view line)
{
    if (m_at == m_entries.size() || m_entries[m_at] != line) {
        m_at = m_entries.size();
        m_typed = line;
    }
}

std::optional<std::string> InputHistory::older(std::string_view line)
{
    restartIfEdited(line);
    if (m_at == 0)
        return std::nullopt;
    return m_entries[--m_at];
}

std::optional<std::string> InputHistory::newer(std::string_view line)
{
    restartIfEdited(line);
    if (m_at == m_entries.size())
        return std::nullopt;
    return ++m_at == m_entries.size() ? m_typed : m_entries[m_at];
}

} // namespace convmodel
