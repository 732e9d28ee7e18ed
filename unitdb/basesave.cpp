// Writing the unit tables back to Base.dat: the whole text is built and checked
// first, so a refused name leaves the file untouched, then it replaces the file atomically.
#include "unitdb/basefile.h"

#include "calc/numbertext.h"
#include "unitdb/coefficient.h"
#include "unitdb/cp1251.h"

#include <cmath>
#include <string_view>

namespace unitdb
{

namespace
{

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kBackupLimit = std::size_t{1} << 30;

SaveResult refused(ErrorCode code, int category, int slot, TextField field)
{
    SaveResult r;
    r.code = code;
    r.category = category;
    r.slot = slot;
    r.field = field;
    return r;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view trimRight(std::string_view s)
{
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isAscii(std::string_view bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// The reader skips a name's leading blanks and ends it at a comma, and skips a
// blank line where a category name is due; inside quotes all of that is kept.
bool needsQuotes(std::string_view text, TextField field)
{
    if (field == TextField::Description)
        return false;
    return (!text.empty() && isBlank(text.front())) || text.find(',') != std::string_view::npos ||
           (field == TextField::CategoryName && text.empty());
}

// Would the reader give this text back? No text can hold a line end; a name
// cannot open with a quote, nor hold one when it needs quotes; a unit named "*"
// would end its category.
bool readsBack(std::string_view text, TextField field)
{
    if (text.find('\n') != std::string_view::npos)
        return false;
    if (field == TextField::Description)
        return true;
    if (trimLeft(text).starts_with('"'))
        return false;
    if (needsQuotes(text, field) && text.find('"') != std::string_view::npos)
        return false;
    return field != TextField::UnitName || trimRight(text) != "*";
}

// Appends the text in the file's encoding, or says why it cannot be written.
bool appendText(std::string& out, std::string_view text, TextEncoding encoding, int category,
                int slot, TextField field, SaveResult& why)
{
    if (!readsBack(text, field)) {
        why = refused(ErrorCode::UnwritableText, category, slot, field);
        return false;
    }
    const std::string_view quote = needsQuotes(text, field) ? "\"" : "";
    if (encoding != TextEncoding::Cp1251) {
        if (!isValidUtf8(text)) {
            why = refused(ErrorCode::InvalidUtf8, category, slot, field);
            return false;
        }
        out.append(quote).append(text).append(quote);
        return true;
    }
    EncodeResult enc = encodeCp1251(text);
    if (!enc.ok()) {
        why = refused(enc.code, category, slot, field);
        why.character = enc.character;
        return false;
    }
    out.append(quote).append(enc.bytes).append(quote);
    return true;
}

} // namespace

SaveResult baseFileBytes(const UnitTables& t, std::string& bytes)
{
    bytes.clear();
    const TextEncoding encoding = t.encoding;
    SaveResult why;
    for (int c = 0; c < t.categoryCount; ++c) {
        if (!appendText(bytes, t.categoryNames[c], encoding, c, -1, TextField::CategoryName, why))
            return why;
        bytes += kLineEnd;
        for (int s = 0; s < t.unitCount[c]; ++s) {
            if (!appendText(bytes, t.unitNames[c][s], encoding, c, s, TextField::UnitName, why))
                return why;
            const double coefficient = t.coefficients[c][s];
            if (const ErrorCode bad = checkCoefficient(coefficient); bad != ErrorCode::None)
                return refused(bad, c, s, TextField::Coefficient);
            bytes += ',';
            bytes += calc::numberText(coefficient, '.');
            bytes += kLineEnd;
            if (!appendText(bytes, t.descriptions[c][s], encoding, c, s, TextField::Description,
                            why))
                return why;
            bytes += kLineEnd;
        }
        bytes += '*';
        bytes += kLineEnd;
    }
    switch (encoding) {
    case TextEncoding::Cp1251:
        // Windows-1251 bytes that open with "п»ї" or happen to form UTF-8 would load
        // as other letters; only then is the file written as UTF-8, marked as such.
        if (bytes.starts_with(kUtf8Bom) || (isValidUtf8(bytes) && !isAscii(bytes)))
            bytes = std::string(kUtf8Bom) + decodeCp1251(bytes);
        break;
    case TextEncoding::Utf8:
        // Text that opens with U+FEFF would lose it to the reader as a mark.
        if (bytes.starts_with(kUtf8Bom))
            bytes.insert(0, kUtf8Bom);
        break;
    case TextEncoding::Utf8WithBom:
        bytes.insert(0, kUtf8Bom);
        break;
    }
    return {};
}

std::filesystem::path backupPathFor(const std::filesystem::path& path)
{
    std::filesystem::path bak = path;
    bak += ".bak";
    return bak;
}

SaveResult save(const UnitTables& tables, const std::filesystem::path& path,
                const SaveOptions& options)
{
    std::string bytes;
    SaveResult result = baseFileBytes(tables, bytes);
    if (!result.ok())
        return result;

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
