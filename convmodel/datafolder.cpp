// The data folder from the environment.
#include "convmodel/datafolder.h"

#include <cstdlib>

namespace convmodel
{

std::filesystem::path dataFolderFor(const char* xdgDataHome, const char* home)
{
    std::filesystem::path base;
    if (xdgDataHome != nullptr && xdgDataHome[0] == '/')
        base = xdgDataHome;
    else if (home != nullptr && home[0] != '\0')
        base = std::filesystem::path(home) / ".local" / "share";
    else
        base = std::filesystem::path(".local") / "share";
    return base / "metrovanta";
}

std::filesystem::path defaultDataFolder()
{
    return dataFolderFor(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

} // namespace convmodel
