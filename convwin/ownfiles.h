// The program's own files seen from outside: which name on disk a bare name stands for, and
// whether a name the user gives would write over one of them.
#pragma once

#include <QString>

#include <filesystem>
#include <vector>

namespace ownfiles
{

// The file in `folder` whose name matches `pattern` (wildcards allowed) in any letter case,
// the exact spelling first; hidden files and folders do not count. Empty when there is none.
QString findFile(const QString& folder, const QString& pattern);

// The entry of `own` that writing to `name` would reach: the same file through any folder,
// symbolic or hard link, or the same name in any letter case in the same folder (a file the
// program reads in any case, or one not created yet). Empty when none.
std::filesystem::path sameFile(const std::filesystem::path& name,
                               const std::vector<std::filesystem::path>& own);

} // namespace ownfiles
