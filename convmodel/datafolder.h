// Where a user's data files live: $XDG_DATA_HOME/metrovanta, or ~/.local/share/metrovanta.
#pragma once

#include <filesystem>

namespace convmodel
{

// A relative or empty XDG_DATA_HOME is ignored, as the base directory rules say.
std::filesystem::path dataFolderFor(const char* xdgDataHome, const char* home);
std::filesystem::path defaultDataFolder();

} // namespace convmodel
