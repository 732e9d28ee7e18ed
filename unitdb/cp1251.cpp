// Windows-1251 code page table and the UTF-8 walking the codec needs.
#include "unitdb/cp1251.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace unitdb
{

namespace
{

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::uint64_t kHighBits = 0x8080808080808080; // the top bit of each of eight bytes

// Bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order. 0x98, which the code
// page leaves undefined, stands as a private-use character so that it is written back.
constexpr std::array<char32_t, 64> kHighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0xF098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

// Returns the byte for a code point, or -1 when the code page has none.
int cp1251Byte(char32_t cp)
{
    if (cp < 0x80)
        return static_cast<int>(cp);
    if (cp >= 0x0410 && cp <= 0x044F)
        return static_cast<int>(cp - 0x0410 + 0xC0);
    for (std::size_t i = 0; i < kHighHalf.size(); ++i) {
        if (kHighHalf[i] == cp)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Length and validity of the UTF-8 sequence at `pos`; 0 when malformed.
std::size_t sequenceLength(std::string_view text, std::size_t pos, char32_t& cp)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t len = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        len = 2;
        cp = lead & 0x1F;
        min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3;
        cp = lead & 0x0F;
        min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4;
        cp = lead & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (pos + len > text.size())
        return 0;
    for (std::size_t i = 1; i < len; ++i) {
        const auto c = static_cast<unsigned char>(text[pos + i]);
        if (!isContinuation(c))
            return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

} // namespace

std::size_t nonAsciiBytes(std::uint64_t word)
{
    // The multiplication adds the eight top bits into the top byte.
    return static_cast<std::size_t>((((word & kHighBits) >> 7) * 0x0101010101010101) >> 56);
}

bool anyContinuationByte(std::uint64_t word)
{
    // A byte's bit 6 shifted into its own bit 7: set there for 0xC0..0xFF only.
    return (word & kHighBits & ~(word << 1)) != 0;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

char32_t nextCodePoint(std::string_view text, std::size_t& pos)
{
    char32_t cp = 0;
    const std::size_t len = sequenceLength(text, pos, cp);
    if (len == 0) {
        ++pos;
        return kReplacement;
    }
    pos += len;
    return cp;
}

bool isValidUtf8(std::string_view bytes)
{
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        char32_t cp = 0;
        const std::size_t len = sequenceLength(bytes, pos, cp);
        if (len == 0)
            return false;
        pos += len;
    }
    return true;
}

std::string decodeCp1251(std::string_view bytes)
{
    // Each byte's UTF-8 sequence, one to three bytes, padded to four so that it is stored
    // whole and the write moves on by its length.
    struct Table {
        std::array<std::array<char, 4>, 256> sequence{};
        std::array<unsigned char, 256> length{};
    };
    static const Table kTable = [] {
        Table table;
        for (std::size_t b = 0; b < 256; ++b) {
            const char32_t cp = b < 0x80    ? static_cast<char32_t>(b)
                                : b >= 0xC0 ? 0x0410 + static_cast<char32_t>(b - 0xC0)
                                            : kHighHalf[b - 0x80];
            std::string utf8;
            appendUtf8(utf8, cp);
            table.length[b] = static_cast<unsigned char>(utf8.size());
            std::copy(utf8.begin(), utf8.end(), table.sequence[b].begin());
        }
        return table;
    }();
    // Writes every byte's sequence whole, four bytes each, at `to`; returns where the text ends.
    const auto write = [bytes](char* to) {
        for (char ch : bytes) {
            const auto b = static_cast<unsigned char>(ch);
            std::memcpy(to, kTable.sequence[b].data(), 4);
            to += kTable.length[b];
        }
        return to;
    };
    // A name is decoded on the stack and copied once, without measuring it first.
    constexpr std::size_t kShort = 128;
    if (bytes.size() <= kShort) {
        std::array<char, 3 * kShort + 1> buffer; // the last sequence's padding included
        return std::string(buffer.data(), write(buffer.data()));
    }
    // Sized exactly: the loader keeps every name and description as decoded here. Letters take
    // two bytes; only the rarer signs of 0x80..0xBF are looked up, eight bytes at a time.
    std::size_t length = bytes.size();
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + at, 8);
        length += nonAsciiBytes(word);
        if (anyContinuationByte(word))
            for (std::size_t k = at; k < at + 8; ++k)
                if (const auto b = static_cast<unsigned char>(bytes[k]); b >= 0x80 && b < 0xC0)
                    length += kTable.length[b] - 2u;
    }
    for (; at < bytes.size(); ++at)
        length += kTable.length[static_cast<unsigned char>(bytes[at])] - 1u;
    std::string out(length + 3, '\0'); // room for the last sequence's padding
    write(out.data());
    out.resize(length);
    return out;
}

EncodeResult encodeCp1251(std::string_view utf8)
{
    EncodeResult result;
    result.bytes.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        const std::size_t len = sequenceLength(utf8, pos, cp);
        if (len == 0) {
            result.code = ErrorCode::InvalidUtf8;
            result.position = pos;
            result.bytes.clear();
            return result;
        }
        const int b = cp1251Byte(cp);
        if (b < 0) {
            result.code = ErrorCode::Unencodable;
            result.position = pos;
            result.character = cp;
            result.bytes.clear();
            return result;
        }
        result.bytes.push_back(static_cast<char>(b));
        pos += len;
    }
    return result;
}

} // namespace unitdb
