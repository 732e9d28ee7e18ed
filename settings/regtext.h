// The registry export text ("Windows Registry Editor Version 5.00") in which
// the settings file keeps its keys and values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace settings
{

// Predefined root keys, numbered as Win32 numbers them.
inline constexpr std::uint32_t kHkeyClassesRoot = 0x80000000;
inline constexpr std::uint32_t kHkeyCurrentUser = 0x80000001;
inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t kHkeyUsers = 0x80000003;
inline constexpr std::uint32_t kHkeyPerformanceData = 0x80000004;
inline constexpr std::uint32_t kHkeyCurrentConfig = 0x80000005;
inline constexpr std::uint32_t kHkeyDynData = 0x80000006;

// Value types, numbered as Win32 numbers them; a file may hold any other number too.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;

struct RegValue {
    std::string name; // as first written; empty is the key's default value ("@")
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

// One key's values in file order, found by name without regard to ASCII case.
class RegKeyNode
{
public:
    RegKeyNode(std::uint32_t root, std::string path) : m_root(root), m_path(std::move(path)) {}

    std::uint32_t root() const { return m_root; }
    const std::string& path() const { return m_path; } // below the root, as first written
    const std::vector<RegValue>& values() const { return m_values; }

    const RegValue* find(std::string_view name) const;
    // Replaces the type and data; a new value keeps this spelling of its name.
    void set(std::string_view name, std::uint32_t type, std::vector<std::uint8_t> data);
    // Linear in the key's size: for a copy's few changes, not for reading a file.
    bool erase(std::string_view name);

private:
    std::uint32_t m_root;
    std::string m_path;
    std::vector<RegValue> m_values;
    std::unordered_map<std::string, std::size_t> m_index; // folded name -> position
};

// Keys in file order. Lookups fold ASCII letter case, as the registry does.
class RegDocument
{
public:
    const std::vector<RegKeyNode>& keys() const { return m_keys; }

    RegKeyNode* findKey(std::uint32_t root, std::string_view path);
    // The key, added at the end when it is new.
    RegKeyNode& key(std::uint32_t root, std::string_view path);

private:
    std::vector<RegKeyNode> m_keys;
    std::unordered_map<std::string, std::size_t> m_index; // root and folded path -> position
};

// Compares without regard to ASCII letter case, as the registry compares names.
bool equalsNoCase(std::string_view a, std::string_view b);

struct RegParse {
    RegDocument doc;
    std::size_t droppedLines = 0; // lines that were neither blank, comment, key nor value
};

// Reads the text, keeping every well-formed key and value and counting the
// lines it had to leave out. Accepts UTF-8 (with or without a byte-order
// mark) or UTF-16 LE with its mark, LF or CR LF, either usual first line,
// and the deletions of an export file ("[-KEY]", "name"=-).
RegParse parseRegText(std::string_view text);

// The text of a REG_EXPAND_SZ value ("hex(2):"), which an export file holds as UTF-16 LE,
// in UTF-8: each NUL is kept as a NUL.
std::string expandText(const std::vector<std::uint8_t>& data);

// Writes the document, as UTF-8, in the form parseRegText reads back to it.
std::string formatRegText(const RegDocument& doc);

} // namespace settings
