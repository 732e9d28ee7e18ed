// Ignore.ini: the quantities hidden from the main window's category list, one
// name a line, Windows-1251 with CR LF.
#pragma once

#include "unitdb/cp1251.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace unitdb
{

// A list of names a line: tens of thousands of names fit in a few MiB.
inline constexpr std::size_t kListFileLimit = std::size_t{4} << 20;

// The names in file order. Read like Base.dat's fields: leading blanks
// skipped, a comma splits a line, a leading double quote runs to the closing
// one. Empty fields name nothing and are left out. UTF-8 (with or without a
// BOM) is taken as UTF-8, anything else as Windows-1251.
std::vector<std::string> parseIgnoreList(std::string_view bytes);

// The file's bytes for the names, which parseIgnoreList reads back as the same
// names: quoted where a comma or a leading blank or quote needs it. Refuses a
// name Windows-1251 cannot hold (Unencodable) and one no quoting can carry, a
// line break or a quote in a quoted name (UnwritableText, position: the name's
// start in the text). Windows-1251 that would read as UTF-8 is written as UTF-8
// with its byte-order mark instead.
EncodeResult ignoreListBytes(const std::vector<std::string>& names);

} // namespace unitdb
