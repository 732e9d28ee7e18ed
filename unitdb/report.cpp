// The database report text.
#include "unitdb/report.h"

#include "calc/numbertext.h"

#include <system_error>

namespace unitdb
{

std::string report(const UnitDatabase& database, std::uintmax_t baseFileBytes,
                   const ProgramVersion& version)
{
    using calc::plainNumberText;
    using calc::signedNumberText;

    // Kilobytes with one decimal, cut down: whole tenths first, in integers, so
    // that no rounding of the division can push a figure up.
    const std::uintmax_t tenths = baseFileBytes * 10 / 1024;
    std::size_t units = 0;
    std::size_t withoutDesc = 0;
    for (const Quantity& quantity : database.quantities()) {
        units += quantity.units.size();
        for (const Unit& unit : quantity.units)
            withoutDesc += unit.description.empty() ? 1 : 0;
    }
    // Integer arithmetic again: 29 of 100 is 29%, where 29 / 100 * 100 in doubles is 28.99...
    const std::size_t percent = units == 0 ? 0 : withoutDesc * 100 / units;

    const std::string crlf = "\r\n";
    std::string text = "МЕТРОВАНТА" + signedNumberText(version.majorVersion) + "." +
                       plainNumberText(version.minorVersion) + plainNumberText(version.revision);
    text += crlf;
    text += crlf;
    text += "Размер базы -" + signedNumberText(static_cast<double>(tenths) / 10) + " КБ" + crlf;
    text += "Разделов -" + signedNumberText(static_cast<double>(database.size())) + crlf;
    text += "В базе" + signedNumberText(static_cast<double>(units)) + " единиц" + crlf;
    text += "Без описаний -" + signedNumberText(static_cast<double>(withoutDesc)) + " (" +
            plainNumberText(static_cast<double>(percent)) + "%)";
    return text;
}

std::string report(const UnitDatabase& database, const std::filesystem::path& baseFile,
                   const ProgramVersion& version)
{
    std::error_code ec;
    std::uintmax_t size = std::filesystem::file_size(baseFile, ec);
    if (ec)
        size = 0;
    return report(database, size, version);
}

} // namespace unitdb
