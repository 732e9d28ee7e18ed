// The registry export text ("Windows Registry Editor Version 5.00") in which
// the file-backed registry keeps its keys and values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings
{

struct RegValue {
    std::string name; // as first written; empty is the key's default value ("@")
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

struct RegKeyNode {
    std::uint32_t root = 0;
    std::string path; // below the root, as first written
    std::vector<RegValue> values;
};

// Keys in file order. Lookups fold ASCII letter case, as the registry does.
struct RegDocument {
    std::vector<RegKeyNode> keys;

    RegKeyNode* findKey(std::uint32_t root, std::string_view path);
    // True for a stored key and for every key above one (they exist implicitly).
    bool keyExists(std::uint32_t root, std::string_view path) const;
    RegKeyNode& addKey(std::uint32_t root, std::string_view path);
};

RegValue* findValue(RegKeyNode& key, std::string_view name);

bool equalsNoCase(std::string_view a, std::string_view b);

// "HKEY_LOCAL_MACHINE" for 0x80000002 and so on; empty for an unknown root.
std::string_view rootName(std::uint32_t root);

// Reads the text; nullopt when it is damaged in any way (wrong first line,
// a line that is neither a key, a value, a comment nor blank, a value before
// the first key, a cut-off line). A UTF-8 byte-order mark and CR LF are accepted.
std::optional<RegDocument> parseRegText(std::string_view text);

// Writes the document in the form parseRegText reads back to the same bytes.
std::string formatRegText(const RegDocument& doc);

} // namespace settings
