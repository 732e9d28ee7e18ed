// Ignore.ini: the quantities hidden from the main window's category list, one
// name a line, with CR LF, in Windows-1251 unless it was found in UTF-8.
#pragma once

#include "unitdb/textrule.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace unitdb
{

// A list of names a line: tens of thousands of names fit in a few MiB.
inline constexpr std::size_t kListFileLimit = std::size_t{4} << 20;

struct IgnoreList {
    std::vector<std::string> names;               // in file order
    TextEncoding encoding = TextEncoding::Cp1251; // how the file was stored
};

// Read like Base.dat's fields: leading blanks skipped, a comma splits a line, a leading
// double quote runs to the closing one. Empty fields name nothing and are left out. The
// encoding is told as decodeFile() tells it.
IgnoreList parseIgnoreList(std::string_view bytes);

struct IgnoreListBytes {
    std::string bytes; // when ok()
    TextCheck refused; // why names[index] cannot be written
    std::size_t index = 0;
    bool ok() const { return refused.ok(); }
};

// The file's bytes for the names in the encoding, which parseIgnoreList reads back as the
// same names: each as the text rule writes it, an empty one left out. Refuses the first
// name the rule refuses.
IgnoreListBytes ignoreListBytes(const std::vector<std::string>& names, TextEncoding encoding);

} // namespace unitdb
