// The one rule for what text our files can hold: Base.dat's names and descriptions and
// Ignore.ini's names, in the encoding the file is kept in. Writers refuse what fails it, and
// every box where such text is typed refuses it in place with the same words.
#pragma once

#include "unitdb/errors.h"

#include <string>
#include <string_view>

namespace unitdb
{

// How a file's text was stored when read; writing keeps it.
enum class TextEncoding { Cp1251, Utf8, Utf8WithBom };

enum class TextField {
    QuantityName, // a Base.dat category line
    UnitName,     // the name field of a unit line
    Description,  // a unit's description line
    ListName,     // an Ignore.ini entry
};

struct TextCheck {
    // None, LineBreak, OpeningQuote, QuoteInQuotedName, EndMarkerName, Unencodable, InvalidUtf8
    ErrorCode code = ErrorCode::None;
    char32_t character = 0; // for Unencodable: the character the encoding lacks
    bool ok() const { return code == ErrorCode::None; }
};

// Whether the field can hold the UTF-8 text so that the file reads back the same: no line
// break (Base.dat ends a line at LF, Ignore.ini at CR or LF); a name that opens with a quote,
// or holds one while it needs quotes, cannot; a unit cannot be named "*"; in Windows-1251
// every character must be in the code page.
TextCheck checkText(std::string_view text, TextField field, TextEncoding encoding);

// A name the reader would cut or skip (a comma, leading blanks, an empty quantity name) is
// written in double quotes.
bool needsQuotes(std::string_view text, TextField field);

struct FileText {
    std::string text; // UTF-8
    TextEncoding encoding = TextEncoding::Cp1251;
    // In a UTF-8 file, where in `text` the first malformed byte stands, as U+FFFD.
    std::size_t firstMalformed = std::string::npos;
};

// How decodeFile() reads the bytes: Utf8WithBom after a BOM, Utf8 when their well-formed
// non-ASCII sequences outnumber their malformed bytes, Cp1251 otherwise.
TextEncoding fileEncoding(std::string_view bytes);

// A file's bytes as text: after a BOM UTF-8; UTF-8 also when its well-formed non-ASCII
// sequences outnumber its malformed bytes; anything else as Windows-1251. In UTF-8 each
// malformed byte becomes U+FFFD.
FileText decodeFile(std::string_view bytes);

// The bytes that decodeFile() reads back as the text, which checkText() accepted in this
// encoding. Windows-1251 that would read as UTF-8 or open like a BOM is written as UTF-8 with
// a BOM instead; UTF-8 that opens with U+FEFF gets a BOM before it.
std::string encodeFile(std::string_view text, TextEncoding encoding);

} // namespace unitdb
