// The database report shown by the settings dialog: version, file size and unit figures.
#pragma once

#include "unitdb/unitdatabase.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace unitdb
{

struct ProgramVersion {
    int majorVersion = 0;
    int minorVersion = 0;
    int revision = 0;
};

// The six report lines joined by CR LF, e.g. for 1.7.8 and 12 800 bytes:
//   "МЕТРОВАНТА 1.78", "", "Размер базы - 12.5 КБ", "Разделов - 20",
//   "В базе 350 единиц", "Без описаний - 25 (7%)".
// Without units the share reads 0%.
std::string report(const UnitDatabase& database, std::uintmax_t baseFileBytes,
                   const ProgramVersion& version);

// The same with the size of the file on disk; a file that is missing counts as 0 bytes.
std::string report(const UnitDatabase& database, const std::filesystem::path& baseFile,
                   const ProgramVersion& version);

} // namespace unitdb
