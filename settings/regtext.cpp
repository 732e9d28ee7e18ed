// Reading and writing the registry export text. The reader is strict: one
// bad line makes the whole file count as damaged, so that a half-read file
// is never mistaken for the user's settings.
#include "settings/regtext.h"

#include "settings/registry.h"

#include <array>
#include <charconv>

namespace settings
{

namespace
{

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

struct RootEntry {
    std::uint32_t root;
    std::string_view name;
};
constexpr std::array<RootEntry, 7> kRoots = {{
    {kHkeyClassesRoot, "HKEY_CLASSES_ROOT"},
    {kHkeyCurrentUser, "HKEY_CURRENT_USER"},
    {kHkeyLocalMachine, "HKEY_LOCAL_MACHINE"},
    {kHkeyUsers, "HKEY_USERS"},
    {kHkeyPerformanceData, "HKEY_PERFORMANCE_DATA"},
    {kHkeyCurrentConfig, "HKEY_CURRENT_CONFIG"},
    {kHkeyDynData, "HKEY_DYN_DATA"},
}};

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimRight(std::string_view s)
{
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string_view trimLeft(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

std::optional<std::uint32_t> rootFromName(std::string_view name)
{
    for (const auto& entry : kRoots) {
        if (equalsNoCase(entry.name, name))
            return entry.root;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> parseHex(std::string_view s, std::size_t maxDigits)
{
    if (s.empty() || s.size() > maxDigits)
        return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, 16);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

class Parser
{
public:
    explicit Parser(std::string_view text)
    {
        if (text.starts_with("\xEF\xBB\xBF"))
            text.remove_prefix(3);
        while (!text.empty()) {
            const auto eol = text.find('\n');
            m_lines.push_back(trimRight(text.substr(0, eol)));
            text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        }
    }

    std::optional<RegDocument> run()
    {
        if (m_lines.empty() || (m_lines[0] != kHeader5 && m_lines[0] != kHeader4))
            return std::nullopt;
        RegDocument doc;
        std::optional<std::size_t> current; // an index: adding keys moves them
        for (m_next = 1; m_next < m_lines.size();) {
            const std::string_view line = trimLeft(m_lines[m_next++]);
            if (line.empty() || line.front() == ';')
                continue;
            if (line.front() == '[') {
                current = keyLine(doc, line);
                if (!current)
                    return std::nullopt;
            } else if (line.front() == '"' || line.front() == '@') {
                if (!current || !valueLine(doc.keys[*current], line))
                    return std::nullopt;
            } else {
                return std::nullopt;
            }
        }
        return doc;
    }

private:
    static std::optional<std::size_t> keyLine(RegDocument& doc, std::string_view line)
    {
        if (line.size() < 2 || line.back() != ']' || line[1] == '-')
            return std::nullopt;
        const std::string_view full = line.substr(1, line.size() - 2);
        const auto slash = full.find('\\');
        const auto root = rootFromName(full.substr(0, slash));
        if (!root)
            return std::nullopt;
        const std::string_view path =
            slash == std::string_view::npos ? std::string_view() : full.substr(slash + 1);
        if (const RegKeyNode* existing = doc.findKey(*root, path))
            return static_cast<std::size_t>(existing - doc.keys.data());
        doc.addKey(*root, path);
        return doc.keys.size() - 1;
    }

    // Reads a quoted text starting at s[0] == '"'; moves s past the closing quote.
    static std::optional<std::string> quoted(std::string_view& s)
    {
        std::string out;
        for (std::size_t i = 1; i < s.size(); ++i) {
            if (s[i] == '"') {
                s.remove_prefix(i + 1);
                return out;
            }
            if (s[i] == '\\') {
                if (i + 1 >= s.size() || (s[i + 1] != '\\' && s[i + 1] != '"'))
                    return std::nullopt;
                ++i;
            }
            out += s[i];
        }
        return std::nullopt; // cut off before the closing quote
    }

    // A comma-separated byte list; a trailing backslash continues it on the next line.
    std::optional<std::vector<std::uint8_t>> byteList(std::string_view first)
    {
        std::string text(first);
        while (!text.empty() && text.back() == '\\') {
            if (m_next >= m_lines.size())
                return std::nullopt;
            text.pop_back();
            text += trimLeft(m_lines[m_next++]);
        }
        std::vector<std::uint8_t> bytes;
        std::string_view rest = trimLeft(trimRight(text));
        if (rest.empty())
            return bytes;
        while (true) {
            const auto comma = rest.find(',');
            const auto byte = parseHex(trimLeft(trimRight(rest.substr(0, comma))), 2);
            if (!byte)
                return std::nullopt;
            bytes.push_back(static_cast<std::uint8_t>(*byte));
            if (comma == std::string_view::npos)
                return bytes;
            rest.remove_prefix(comma + 1);
        }
    }

    bool valueLine(RegKeyNode& key, std::string_view line)
    {
        RegValue value;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            auto name = quoted(line);
            if (!name)
                return false;
            value.name = std::move(*name);
        }
        line = trimLeft(line);
        if (line.empty() || line.front() != '=')
            return false;
        line = trimLeft(line.substr(1));

        if (!line.empty() && line.front() == '"') {
            auto text = quoted(line);
            if (!text || !trimLeft(line).empty())
                return false;
            value.type = kRegSz;
            value.data.assign(text->begin(), text->end());
            value.data.push_back(0);
        } else if (startsWithNoCase(line, "dword:")) {
            const auto number = parseHex(line.substr(6), 8);
            if (!number)
                return false;
            value.type = kRegDword;
            for (int shift = 0; shift < 32; shift += 8)
                value.data.push_back(static_cast<std::uint8_t>(*number >> shift));
        } else if (startsWithNoCase(line, "hex:") || startsWithNoCase(line, "hex(")) {
            const auto colon = line.find(':');
            if (line[3] == '(') {
                const auto close = line.find("):");
                if (close == std::string_view::npos || close + 1 != colon)
                    return false;
                const auto type = parseHex(line.substr(4, close - 4), 8);
                if (!type)
                    return false;
                value.type = *type;
            } else {
                value.type = kRegBinary;
            }
            auto bytes = byteList(line.substr(colon + 1));
            if (!bytes)
                return false;
            value.data = std::move(*bytes);
        } else {
            return false;
        }

        if (RegValue* existing = findValue(key, value.name)) {
            existing->type = value.type;
            existing->data = std::move(value.data);
        } else {
            key.values.push_back(std::move(value));
        }
        return true;
    }

    std::vector<std::string_view> m_lines;
    std::size_t m_next = 0;
};

void appendQuoted(std::string& out, std::string_view text)
{
    out += '"';
    for (const char c : text) {
        if (c == '\\' || c == '"')
            out += '\\';
        out += c;
    }
    out += '"';
}

void appendHex(std::string& out, std::uint32_t value, int minDigits)
{
    std::array<char, 8> digits{};
    const auto [end, ec] = std::to_chars(digits.data(), digits.data() + digits.size(), value, 16);
    const auto count = static_cast<int>(end - digits.data());
    out.append(static_cast<std::size_t>(minDigits > count ? minDigits - count : 0), '0');
    out.append(digits.data(), end);
}

// A REG_SZ goes out as "text" only when that form reads back to the same
// bytes: one final NUL and no other, and nothing that would break the line.
bool fitsQuotedForm(const std::vector<std::uint8_t>& data)
{
    if (data.empty() || data.back() != 0)
        return false;
    for (std::size_t i = 0; i + 1 < data.size(); ++i) {
        if (data[i] == 0 || data[i] == '\n' || data[i] == '\r')
            return false;
    }
    return true;
}

void appendValue(std::string& out, const RegValue& value)
{
    if (value.name.empty())
        out += '@';
    else
        appendQuoted(out, value.name);
    out += '=';
    if (value.type == kRegSz && fitsQuotedForm(value.data)) {
        appendQuoted(out, std::string_view(reinterpret_cast<const char*>(value.data.data()),
                                           value.data.size() - 1));
    } else if (value.type == kRegDword && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | value.data[static_cast<std::size_t>(i)];
        out += "dword:";
        appendHex(out, number, 8);
    } else {
        if (value.type == kRegBinary) {
            out += "hex:";
        } else {
            out += "hex(";
            appendHex(out, value.type, 1);
            out += "):";
        }
        for (std::size_t i = 0; i < value.data.size(); ++i) {
            if (i > 0)
                out += ',';
            appendHex(out, value.data[i], 2);
        }
    }
    out += '\n';
}

} // namespace

bool equalsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

std::string_view rootName(std::uint32_t root)
{
    for (const auto& entry : kRoots) {
        if (entry.root == root)
            return entry.name;
    }
    return {};
}

RegKeyNode* RegDocument::findKey(std::uint32_t root, std::string_view path)
{
    for (auto& key : keys) {
        if (key.root == root && equalsNoCase(key.path, path))
            return &key;
    }
    return nullptr;
}

bool RegDocument::keyExists(std::uint32_t root, std::string_view path) const
{
    if (path.empty())
        return !rootName(root).empty();
    for (const auto& key : keys) {
        if (key.root != root || key.path.size() < path.size())
            continue;
        const bool below = key.path.size() == path.size() || key.path[path.size()] == '\\';
        if (below && equalsNoCase(std::string_view(key.path).substr(0, path.size()), path))
            return true;
    }
    return false;
}

RegKeyNode& RegDocument::addKey(std::uint32_t root, std::string_view path)
{
    keys.push_back(RegKeyNode{root, std::string(path), {}});
    return keys.back();
}

RegValue* findValue(RegKeyNode& key, std::string_view name)
{
    for (auto& value : key.values) {
        if (equalsNoCase(value.name, name))
            return &value;
    }
    return nullptr;
}

std::optional<RegDocument> parseRegText(std::string_view text)
{
    return Parser(text).run();
}

std::string formatRegText(const RegDocument& doc)
{
    std::string out(kHeader5);
    out += "\n\n";
    for (const auto& key : doc.keys) {
        out += '[';
        out += rootName(key.root);
        if (!key.path.empty()) {
            out += '\\';
            out += key.path;
        }
        out += "]\n";
        for (const auto& value : key.values)
            appendValue(out, value);
        out += '\n';
    }
    return out;
}

} // namespace settings
