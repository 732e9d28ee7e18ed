// The program's own files seen from outside: which name on disk a bare name stands for,
// whether a name the user gives would write over one of them, and whether the settings
// file can be written at all.
#pragma once

#include <QString>

#include <filesystem>
#include <optional>
#include <string>
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

// Why a file at `file` could not be created or replaced: its folder cannot be made or written,
// or the name is taken by a folder. The errno of the first obstacle; nothing when it can.
std::optional<int> unwritableReason(const std::filesystem::path& file);

} // namespace ownfiles
