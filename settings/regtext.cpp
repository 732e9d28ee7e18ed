// Reading and writing the registry export text. The reader keeps what it can:
// a bad line is left out and counted, so that the caller can say so, and every
// good value around it survives.
#include "settings/regtext.h"

#include <array>
#include <charconv>
#include <map>
#include <optional>

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

// "HKEY_LOCAL_MACHINE" for 0x80000002 and so on; empty for an unknown root.
std::string_view rootName(std::uint32_t root)
{
    for (const auto& entry : kRoots) {
        if (entry.root == root)
            return entry.name;
    }
    return {};
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

std::string foldCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

std::string keyIndexName(std::uint32_t root, std::string_view path)
{
    std::string name = std::to_string(root);
    name += '\\';
    name += foldCase(path);
    return name;
}

void appendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The system's registry editor saves UTF-16 LE; a lone surrogate becomes U+FFFD
// and an odd final byte is dropped.
std::string utf16ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() / 2);
    const auto unit = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) |
               (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
    };
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        std::uint32_t cp = unit(i);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (cp >= 0xD800 && cp < 0xE000) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

constexpr std::size_t kNoKey = static_cast<std::size_t>(-1);

// The document as the parser builds it. A file may delete keys and values by the hundred
// thousand, so a deletion only marks what it removes, and the survivors are copied out once.
class Draft
{
public:
    // The key's position; a new one goes at the end.
    std::size_t key(std::uint32_t root, std::string_view path)
    {
        const auto [slot, added] = m_index.try_emplace(keyIndexName(root, path), m_keys.size());
        if (added)
            m_keys.push_back({root, std::string(path), {}, {}, true});
        return slot->second;
    }

    // The key and every key below it; an empty path is the whole root.
    void eraseTree(std::uint32_t root, std::string_view path)
    {
        const std::string name = keyIndexName(root, path);
        if (path.empty()) {
            eraseStartingWith(name);
            return;
        }
        if (const auto found = m_index.find(name); found != m_index.end())
            eraseAt(found);
        eraseStartingWith(name + '\\');
    }

    void set(std::size_t key, std::string_view name, std::uint32_t type,
             std::vector<std::uint8_t> data)
    {
        DraftKey& k = m_keys[key];
        const auto [slot, added] = k.index.try_emplace(foldCase(name), k.values.size());
        if (added)
            k.values.push_back({RegValue{std::string(name), 0, {}}, true});
        RegValue& value = k.values[slot->second].value;
        value.type = type;
        value.data = std::move(data);
    }

    void erase(std::size_t key, std::string_view name)
    {
        DraftKey& k = m_keys[key];
        if (const auto found = k.index.find(foldCase(name)); found != k.index.end()) {
            k.values[found->second].live = false;
            k.index.erase(found);
        }
    }

    RegDocument document()
    {
        RegDocument doc;
        for (DraftKey& k : m_keys) {
            if (!k.live)
                continue;
            RegKeyNode& node = doc.key(k.root, k.path);
            for (DraftValue& v : k.values)
                if (v.live)
                    node.set(v.value.name, v.value.type, std::move(v.value.data));
        }
        return doc;
    }

private:
    struct DraftValue {
        RegValue value;
        bool live = true;
    };
    struct DraftKey {
        std::uint32_t root;
        std::string path;
        std::vector<DraftValue> values;
        std::unordered_map<std::string, std::size_t> index; // folded name -> live value
        bool live = true;
    };
    using Index = std::map<std::string, std::size_t>;

    Index::iterator eraseAt(Index::iterator it)
    {
        m_keys[it->second].live = false;
        return m_index.erase(it);
    }

    // The names that start with the prefix sort together, so each removal costs one step.
    void eraseStartingWith(const std::string& prefix)
    {
        for (auto it = m_index.lower_bound(prefix);
             it != m_index.end() && it->first.starts_with(prefix);)
            it = eraseAt(it);
    }

    std::vector<DraftKey> m_keys;
    Index m_index; // root and folded path -> live key
};

class Parser
{
public:
    explicit Parser(std::string_view text)
    {
        if (text.starts_with("\xFF\xFE")) {
            m_decoded = utf16ToUtf8(text.substr(2));
            text = m_decoded;
        } else if (text.starts_with("\xEF\xBB\xBF")) {
            text.remove_prefix(3);
        }
        while (!text.empty()) {
            const auto eol = text.find('\n');
            m_lines.push_back(trimRight(text.substr(0, eol)));
            text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        }
    }

    RegParse run()
    {
        RegParse result;
        Draft draft;
        m_next = 0;
        // Where values go: a key, or nowhere after a deleted key, whose values an export
        // file also ignores.
        std::size_t current = kNoKey;
        bool underDeletedKey = false;
        while (m_next < m_lines.size()) {
            const std::size_t first = m_next;
            const std::string_view line = trimLeft(m_lines[m_next++]);
            bool good = true;
            // A first line anywhere: two exports pasted one after the other.
            if (line.empty() || line.front() == ';' || line == kHeader5 || line == kHeader4) {
                continue;
            } else if (line.front() == '[') {
                current = kNoKey;
                underDeletedKey = false;
                good = keyLine(draft, line, current, underDeletedKey);
            } else if (line.front() == '"' || line.front() == '@') {
                if (underDeletedKey)
                    continue;
                good = current != kNoKey && valueLine(draft, current, line);
            } else {
                good = false;
            }
            if (!good)
                result.droppedLines += m_next - first;
        }
        result.doc = draft.document();
        return result;
    }

private:
    static bool keyLine(Draft& draft, std::string_view line, std::size_t& current, bool& deleted)
    {
        if (line.size() < 3 || line.back() != ']')
            return false;
        std::string_view full = line.substr(1, line.size() - 2);
        const bool deletion = full.front() == '-';
        if (deletion)
            full.remove_prefix(1);
        const auto slash = full.find('\\');
        const auto root = rootFromName(full.substr(0, slash));
        if (!root)
            return false;
        const std::string_view path =
            slash == std::string_view::npos ? std::string_view() : full.substr(slash + 1);
        if (deletion) {
            draft.eraseTree(*root, path);
            deleted = true;
            return true;
        }
        current = draft.key(*root, path);
        return true;
    }

    // Reads a quoted text starting at s[0] == '"'; moves s past the closing
    // quote. Only \\ and \" are escapes: any other backslash is itself, as in
    // a folder name pasted by hand.
    static std::optional<std::string> quoted(std::string_view& s)
    {
        std::string out;
        for (std::size_t i = 1; i < s.size(); ++i) {
            if (s[i] == '"') {
                s.remove_prefix(i + 1);
                return out;
            }
            if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"'))
                ++i;
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

    bool valueLine(Draft& draft, std::size_t key, std::string_view line)
    {
        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else {
            auto quotedName = quoted(line);
            if (!quotedName)
                return false;
            name = std::move(*quotedName);
        }
        line = trimLeft(line);
        if (line.empty() || line.front() != '=')
            return false;
        line = trimLeft(line.substr(1));

        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
        if (line == "-") {
            draft.erase(key, name);
            return true;
        } else if (!line.empty() && line.front() == '"') {
            auto text = quoted(line);
            if (!text || !trimLeft(line).empty())
                return false;
            type = kRegSz;
            data.assign(text->begin(), text->end());
            data.push_back(0);
        } else if (startsWithNoCase(line, "dword:")) {
            const auto number = parseHex(line.substr(6), 8);
            if (!number)
                return false;
            type = kRegDword;
            for (int shift = 0; shift < 32; shift += 8)
                data.push_back(static_cast<std::uint8_t>(*number >> shift));
        } else if (startsWithNoCase(line, "hex:") || startsWithNoCase(line, "hex(")) {
            const auto colon = line.find(':');
            if (line[3] == '(') {
                const auto close = line.find("):");
                if (close == std::string_view::npos || close + 1 != colon)
                    return false;
                const auto hexType = parseHex(line.substr(4, close - 4), 8);
                if (!hexType)
                    return false;
                type = *hexType;
            } else {
                type = kRegBinary;
            }
            auto bytes = byteList(line.substr(colon + 1));
            if (!bytes)
                return false;
            data = std::move(*bytes);
        } else {
            return false;
        }
        draft.set(key, name, type, std::move(data));
        return true;
    }

    std::string m_decoded;
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

const RegValue* RegKeyNode::find(std::string_view name) const
{
    const auto found = m_index.find(foldCase(name));
    return found != m_index.end() ? &m_values[found->second] : nullptr;
}

void RegKeyNode::set(std::string_view name, std::uint32_t type, std::vector<std::uint8_t> data)
{
    const auto [slot, added] = m_index.try_emplace(foldCase(name), m_values.size());
    if (added)
        m_values.push_back(RegValue{std::string(name), 0, {}});
    RegValue& value = m_values[slot->second];
    value.type = type;
    value.data = std::move(data);
}

bool RegKeyNode::erase(std::string_view name)
{
    const auto found = m_index.find(foldCase(name));
    if (found == m_index.end())
        return false;
    const std::size_t position = found->second;
    m_index.erase(found);
    m_values.erase(m_values.begin() + static_cast<std::ptrdiff_t>(position));
    for (auto& [folded, index] : m_index) {
        if (index > position)
            --index;
    }
    return true;
}

RegKeyNode* RegDocument::findKey(std::uint32_t root, std::string_view path)
{
    const auto found = m_index.find(keyIndexName(root, path));
    return found != m_index.end() ? &m_keys[found->second] : nullptr;
}

RegKeyNode& RegDocument::key(std::uint32_t root, std::string_view path)
{
    const auto [slot, added] = m_index.try_emplace(keyIndexName(root, path), m_keys.size());
    if (added)
        m_keys.emplace_back(root, std::string(path));
    return m_keys[slot->second];
}

std::string expandText(const std::vector<std::uint8_t>& data)
{
    return utf16ToUtf8({reinterpret_cast<const char*>(data.data()), data.size()});
}

RegParse parseRegText(std::string_view text)
{
    return Parser(text).run();
}

std::string formatRegText(const RegDocument& doc)
{
    std::string out(kHeader5);
    out += "\n\n";
    for (const auto& key : doc.keys()) {
        out += '[';
        out += rootName(key.root());
        if (!key.path().empty()) {
            out += '\\';
            out += key.path();
        }
        out += "]\n";
        for (const auto& value : key.values())
            appendValue(out, value);
        out += '\n';
    }
    return out;
}

} // namespace settings
