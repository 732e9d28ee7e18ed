// Writing the unit tables back to Base.dat: the whole text is built and checked
// first, so a refused name leaves the file untouched, then it replaces the file atomically.
#include "unitdb/basefile.h"

#include "calc/numbertext.h"
#include "unitdb/cp1251.h"

#include <cerrno>
#include <cmath>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

namespace unitdb
{

namespace
{

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

SaveResult refused(ErrorCode code, int category, int slot, TextField field)
{
    SaveResult r;
    r.code = code;
    r.category = category;
    r.slot = slot;
    r.field = field;
    return r;
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
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

bool startsWithBlank(std::string_view text)
{
    return !text.empty() && (text.front() == ' ' || text.front() == '\t');
}

// A name's leading blanks are kept only inside quotes, which cannot hold a quote.
bool needsQuotes(std::string_view text, TextField field)
{
    return field != TextField::Description && startsWithBlank(text);
}

// Would the reader give this text back? A name loses a comma and what follows it,
// and a leading quote; any text loses a line break; a unit named "*" ends its category.
bool readsBack(std::string_view text, TextField field)
{
    if (text.find_first_of("\r\n") != std::string_view::npos)
        return false;
    if (field == TextField::Description)
        return true;
    if (text.find(',') != std::string_view::npos || trim(text).starts_with('"'))
        return false;
    if (needsQuotes(text, field) && text.find('"') != std::string_view::npos)
        return false;
    return field != TextField::UnitName || trim(text) != "*";
}

// Appends the text in Windows-1251, or says why it cannot be written.
bool appendText(std::string& out, std::string_view text, int category, int slot, TextField field,
                SaveResult& why)
{
    if (!readsBack(text, field)) {
        why = refused(ErrorCode::UnwritableText, category, slot, field);
        return false;
    }
    EncodeResult enc = encodeCp1251(text);
    if (!enc.ok()) {
        why = refused(enc.code, category, slot, field);
        why.character = enc.character;
        return false;
    }
    const std::string_view quote = needsQuotes(text, field) ? "\"" : "";
    out.append(quote).append(enc.bytes).append(quote);
    return true;
}

} // namespace

SaveResult baseFileBytes(const UnitTables& t, std::string& bytes)
{
    bytes.clear();
    SaveResult why;
    for (int c = 0; c < t.CatCount; ++c) {
        if (!appendText(bytes, t.CatNames[c], c, -1, TextField::CategoryName, why))
            return why;
        bytes += kLineEnd;
        for (int s = 0; s < t.UnitCount[c]; ++s) {
            if (!appendText(bytes, t.UnitNames[c][s], c, s, TextField::UnitName, why))
                return why;
            const double koef = t.UnitKoef[c][s];
            if (!std::isfinite(koef))
                return refused(ErrorCode::BadCoefficient, c, s, TextField::Coefficient);
            bytes += ',';
            bytes += calc::numberText(koef, '.');
            bytes += kLineEnd;
            if (!appendText(bytes, t.UnitDesc[c][s], c, s, TextField::Description, why))
                return why;
            bytes += kLineEnd;
        }
        bytes += '*';
        bytes += kLineEnd;
    }
    // Windows-1251 bytes that open with "п»ї" or happen to form UTF-8 would load
    // as other letters; only then is the file written as UTF-8, marked as such.
    if (bytes.starts_with(kUtf8Bom) || (isValidUtf8(bytes) && !isAscii(bytes)))
        bytes = std::string(kUtf8Bom) + decodeCp1251(bytes);
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

    std::error_code ec;
    if (options.backup == BackupMode::KeepOriginal && std::filesystem::is_regular_file(path, ec)) {
        std::ifstream in(path, std::ios::binary);
        const std::string original(std::istreambuf_iterator<char>(in), {});
        if (!in && !in.eof()) {
            result.code = ErrorCode::BackupFailed;
            result.write.code = ErrorCode::WriteFailed;
            result.write.step = FileStep::Open;
            result.write.systemError = errno;
            result.write.systemText = std::generic_category().message(errno);
            result.write.file = path;
            return result;
        }
        result.write = writeFileAtomically(backupPathFor(path), original);
        if (!result.write.ok()) {
            result.code = ErrorCode::BackupFailed;
            return result;
        }
    }

    result.write = writeFileAtomically(path, bytes, options.fault);
    if (!result.write.ok())
        result.code = ErrorCode::WriteFailed;
    return result;
}

} // namespace unitdb
