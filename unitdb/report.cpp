// The database report text.
#include "unitdb/report.h"

#include "calc/numbertext.h"

#include <system_error>

namespace unitdb
{

std::string report(const UnitTables& t, std::uintmax_t baseFileBytes, const ProgramVersion& version)
{
    using calc::plainNumberText;
    using calc::signedNumberText;

    // Kilobytes with one decimal, cut down: whole tenths first, in integers, so
    // that no rounding of the division can push a figure up.
    const std::uintmax_t tenths = baseFileBytes * 10 / 1024;
    long units = 0;
    long withoutDesc = 0;
    for (int c = 0; c < t.categoryCount; ++c) {
        units += t.unitCount[c];
        for (int s = 0; s < t.unitCount[c]; ++s) {
            if (t.descriptions[c][s].empty())
                ++withoutDesc;
        }
    }
    // Integer arithmetic again: 29 of 100 is 29%, where 29 / 100 * 100 in doubles is 28.99...
    const long percent = units == 0 ? 0 : withoutDesc * 100 / units;

    const std::string crlf = "\r\n";
    std::string text = "МЕТРОВАНТА" + signedNumberText(version.majorVersion) + "." +
                       plainNumberText(version.minorVersion) + plainNumberText(version.revision);
    text += crlf;
    text += crlf;
    text += "Размер базы -" + signedNumberText(static_cast<double>(tenths) / 10) + " КБ" + crlf;
    text += "Разделов -" + signedNumberText(t.categoryCount) + crlf;
    text += "В базе" + signedNumberText(static_cast<double>(units)) + " единиц" + crlf;
    text += "Без описаний -" + signedNumberText(static_cast<double>(withoutDesc)) + " (" +
            plainNumberText(static_cast<double>(percent)) + "%)";
    return text;
}

std::string report(const UnitTables& tables, const std::filesystem::path& baseFile,
                   const ProgramVersion& version)
{
    std::error_code ec;
    std::uintmax_t size = std::filesystem::file_size(baseFile, ec);
    if (ec)
        size = 0;
    return report(tables, size, version);
}

} // namespace unitdb
