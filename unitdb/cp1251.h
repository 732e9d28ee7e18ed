// Windows-1251 <-> UTF-8, spoken only at the file boundary.
#pragma once

#include "unitdb/errors.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace unitdb
{

// Decodes Windows-1251 bytes to UTF-8. Never fails: the one byte the code page
// leaves undefined, 0x98, becomes the private-use U+F098, which encodeCp1251
// turns back into 0x98, so such a file is written back as it was.
std::string decodeCp1251(std::string_view bytes);

struct EncodeResult {
    ErrorCode code = ErrorCode::None; // None, Unencodable or InvalidUtf8
    std::string bytes;                // the Windows-1251 text when ok()
    std::size_t position = 0;         // byte offset, in the UTF-8 text, of the refused character
    char32_t character = 0;           // the refused character (0 for invalid UTF-8)
    bool ok() const { return code == ErrorCode::None; }
};

// Encodes UTF-8 text to Windows-1251; refuses, never replaces, a character the
// code page cannot hold.
EncodeResult encodeCp1251(std::string_view utf8);

// True when the bytes are well-formed UTF-8 (no overlongs, surrogates or values past U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// Decodes one UTF-8 character at `pos`, advancing it; U+FFFD (one byte taken) when malformed.
char32_t nextCodePoint(std::string_view text, std::size_t& pos);

// Of eight bytes read as one word (any byte order): how many are not ASCII, and whether any is
// a UTF-8 continuation byte (0x80..0xBF). Long texts are scanned a word at a time.
std::size_t nonAsciiBytes(std::uint64_t word);
bool anyContinuationByte(std::uint64_t word);

// Appends a code point in UTF-8.
void appendUtf8(std::string& out, char32_t cp);

} // namespace unitdb
