// Writing the unit database back to Base.dat: the whole text is built and checked
// first, so a refused name leaves the file untouched, then it replaces the file atomically.
#include "unitdb/basefile.h"

#include "calc/numbertext.h"
#include "unitdb/coefficient.h"

#include <string_view>

namespace unitdb
{

namespace
{

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kBackupLimit = std::size_t{1} << 30;

// Appends the text, quoted where the rule says, or says why it cannot be written.
bool appendText(std::string& out, std::string_view text, TextField field, TextEncoding encoding,
                SaveResult& why)
{
    const TextCheck check = checkText(text, field, encoding);
    if (!check.ok()) {
        why.code = check.code;
        why.field = field;
        why.character = check.character;
        return false;
    }
    const std::string_view quote = needsQuotes(text, field) ? "\"" : "";
    out.append(quote).append(text).append(quote);
    return true;
}

} // namespace

SaveResult baseFileBytes(const UnitDatabase& database, std::string& bytes)
{
    bytes.clear();
    std::string text;
    const TextEncoding encoding = database.encoding();
    SaveResult why;
    for (std::size_t q = 0; q < database.size(); ++q) {
        const Quantity& quantity = database[q];
        why.quantity = q;
        if (!appendText(text, quantity.name, TextField::QuantityName, encoding, why))
            return why;
        text += kLineEnd;
        for (std::size_t s = 0; s < quantity.units.size(); ++s) {
            const Unit& unit = quantity.units[s];
            why.slot = s;
            if (!appendText(text, unit.name, TextField::UnitName, encoding, why))
                return why;
            if (const ErrorCode bad = checkCoefficient(unit.coefficient); bad != ErrorCode::None) {
                why.code = bad;
                return why;
            }
            text += ',';
            text += calc::numberText(unit.coefficient, '.');
            text += kLineEnd;
            if (!appendText(text, unit.description.text(), TextField::Description, encoding, why))
                return why;
            text += kLineEnd;
        }
        why.slot.reset();
        text += '*';
        text += kLineEnd;
    }
    bytes = encodeFile(text, encoding);
    return {};
}

std::filesystem::path backupPathFor(const std::filesystem::path& path)
{
    std::filesystem::path bak = path;
    bak += ".bak";
    return bak;
}

SaveResult save(const UnitDatabase& database, const std::filesystem::path& path,
                const SaveOptions& options)
{
    std::string bytes;
    SaveResult result = baseFileBytes(database, bytes);
    if (!result.ok())
        return result;
    if (bytes.size() > options.limit) {
        result.code = ErrorCode::TooLarge;
        return result;
    }

    if (options.backup == BackupMode::KeepOriginal) {
        // A file too large to load may still be kept, up to a bound.
        result.write = fileio::keepCopy(path, backupPathFor(path), kBackupLimit);
        if (!result.write.ok()) {
            result.code = ErrorCode::BackupFailed;
            return result;
        }
    }

    result.write = fileio::writeFileAtomically(path, bytes, options.fault);
    if (!result.write.ok())
        result.code = ErrorCode::WriteFailed;
    return result;
}

} // namespace unitdb
