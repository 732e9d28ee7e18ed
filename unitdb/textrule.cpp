// The text rule shared by the Base.dat and Ignore.ini writers and by every box that takes
// such text: it mirrors what the two readers do with a field.
#include "unitdb/textrule.h"

#include "unitdb/cp1251.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace unitdb
{

namespace
{

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

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

TextCheck refused(ErrorCode code, char32_t character = 0)
{
    return {code, character};
}

bool isContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Pure ASCII reads the same either way; other bytes are UTF-8 when their well-formed
// multi-byte sequences outnumber their malformed bytes. Russian in Windows-1251 is nearly all
// malformed as UTF-8, letter after letter, while a UTF-8 file with a stray byte is nearly all
// well-formed, and is then told as such rather than read as other letters.
bool readsAsUtf8(std::string_view bytes)
{
    std::size_t wellFormed = 0;
    std::size_t malformed = 0;
    const std::size_t size = bytes.size();
    for (std::size_t pos = 0; pos < size;) {
        // Eight bytes, or 32, and the one after them without a continuation byte: every high
        // byte among them stands alone, as in Windows-1251 text without its rarer signs.
        if (pos + 33 <= size) {
            std::array<std::uint64_t, 4> words{};
            std::memcpy(words.data(), bytes.data() + pos, 32);
            if (std::ranges::none_of(words, anyContinuationByte) &&
                !isContinuation(bytes[pos + 32])) {
                for (const std::uint64_t word : words)
                    malformed += nonAsciiBytes(word);
                pos += 32;
                if (malformed >= wellFormed + (size - pos) / 2)
                    return false;
                continue;
            }
        }
        if (pos + 9 <= size) {
            std::uint64_t word = 0;
            std::memcpy(&word, bytes.data() + pos, 8);
            if (!anyContinuationByte(word) && !isContinuation(bytes[pos + 8])) {
                malformed += nonAsciiBytes(word);
                pos += 8;
                if (malformed >= wellFormed + (size - pos) / 2)
                    return false;
                continue;
            }
        }
        if (static_cast<unsigned char>(bytes[pos]) < 0x80) {
            ++pos;
            continue;
        }
        // Without a continuation byte after it, a high byte is malformed on its own: the usual
        // case in Windows-1251, where a letter follows a letter.
        if (pos + 1 == size || !isContinuation(bytes[pos + 1])) {
            ++malformed;
            ++pos;
        } else {
            const std::size_t start = pos;
            nextCodePoint(bytes, pos);
            ++(pos - start == 1 ? malformed : wellFormed);
        }
        // A well-formed sequence takes two bytes at least, so the rest can no longer win.
        if (malformed >= wellFormed + (size - pos) / 2)
            return false;
    }
    return wellFormed > malformed;
}

} // namespace

bool needsQuotes(std::string_view text, TextField field)
{
    if (field == TextField::Description)
        return false;
    // The readers skip a name's leading blanks and end it at a comma; Base.dat skips a blank
    // line where a quantity is due. Ignore.ini leaves out an empty name instead.
    return (!text.empty() && isBlank(text.front())) || text.find(',') != std::string_view::npos ||
           (field == TextField::QuantityName && text.empty());
}

TextCheck checkText(std::string_view text, TextField field, TextEncoding encoding)
{
    // Base.dat splits lines at LF only and drops one CR before it, so a CR inside a line stays.
    const char* lineEnds = field == TextField::ListName ? "\r\n" : "\n";
    if (text.find_first_of(lineEnds) != std::string_view::npos)
        return refused(ErrorCode::LineBreak);
    if (field != TextField::Description) {
        if (trimLeft(text).starts_with('"'))
            return refused(ErrorCode::OpeningQuote);
        // A quoted field runs to the next quote.
        if (needsQuotes(text, field) && text.find('"') != std::string_view::npos)
            return refused(ErrorCode::QuoteInQuotedName);
        if (field == TextField::UnitName && trimRight(text) == "*")
            return refused(ErrorCode::EndMarkerName);
    }
    if (encoding != TextEncoding::Cp1251)
        return isValidUtf8(text) ? TextCheck{} : refused(ErrorCode::InvalidUtf8);
    const EncodeResult encoded = encodeCp1251(text);
    return encoded.ok() ? TextCheck{} : refused(encoded.code, encoded.character);
}

TextEncoding fileEncoding(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8Bom))
        return TextEncoding::Utf8WithBom;
    return readsAsUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Cp1251;
}

FileText decodeFile(std::string_view bytes)
{
    FileText file;
    file.encoding = fileEncoding(bytes);
    if (file.encoding == TextEncoding::Cp1251) {
        file.text = decodeCp1251(bytes);
        return file;
    }
    if (file.encoding == TextEncoding::Utf8WithBom)
        bytes.remove_prefix(kUtf8Bom.size());
    if (isValidUtf8(bytes)) {
        file.text = bytes;
        return file;
    }
    // The text is only ever held as valid UTF-8.
    file.text.reserve(bytes.size());
    for (std::size_t pos = 0; pos < bytes.size();) {
        const std::size_t start = pos;
        const char32_t cp = nextCodePoint(bytes, pos);
        if (pos - start == 1 && static_cast<unsigned char>(bytes[start]) >= 0x80 &&
            file.firstMalformed == std::string::npos)
            file.firstMalformed = file.text.size();
        appendUtf8(file.text, cp);
    }
    return file;
}

std::string encodeFile(std::string_view text, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Cp1251: {
        std::string bytes = encodeCp1251(text).bytes;
        // Windows-1251 bytes that open with "п»ї" or happen to form UTF-8 would read as
        // other letters; only then is the file written as UTF-8, marked as such.
        if (bytes.starts_with(kUtf8Bom) || readsAsUtf8(bytes))
            return std::string(kUtf8Bom).append(text);
        return bytes;
    }
    case TextEncoding::Utf8:
        // Text that opens with U+FEFF would lose it to the reader as a mark.
        if (text.starts_with(kUtf8Bom))
            return std::string(kUtf8Bom).append(text);
        return std::string(text);
    case TextEncoding::Utf8WithBom:
        break;
    }
    return std::string(kUtf8Bom).append(text);
}

} // namespace unitdb
