// The program's own files seen from outside: which name on disk a bare name stands for, and
// whether a name the user gives would write over one of them.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace convmodel
{

// The regular file in `folder` named `name` in any ASCII letter case, the exact spelling first,
// else the first by byte order; hidden files do not count. Empty when there is none.
std::filesystem::path findFile(const std::filesystem::path& folder, std::string_view name);

// The entry of `own` that writing to `name` would reach: the same file through any folder,
// symbolic or hard link, or the same name in any ASCII letter case in the same folder (a file
// the program reads in any case, or one not created yet). Empty when none.
std::filesystem::path sameFile(const std::filesystem::path& name,
                               const std::vector<std::filesystem::path>& own);

} // namespace convmodel
