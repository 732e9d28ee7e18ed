// The unit order the lists show, and the single-unit check start-up warns with.
#include "unitdb/unitsort.h"

#include "unitdb/cp1251.h"

#include <algorithm>

namespace unitdb
{

namespace
{

// UTF-16 code units of a name. Characters past U+FFFF become surrogates, which
// sort below U+E000..U+FFFF: code point (and UTF-8 byte) order differs there.
std::u16string utf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = nextCodePoint(utf8, pos);
        if (cp < 0x10000) {
            out.push_back(static_cast<char16_t>(cp));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        }
    }
    return out;
}

} // namespace

// Names without such characters (a 4-byte UTF-8 sequence) compare in UTF-16 order exactly as
// their UTF-8 bytes do, so only the rare others pay for a UTF-16 copy.
bool hasAstralCharacter(std::string_view name)
{
    return std::any_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0xF0; });
}

bool beginsWithCyrillicLetter(std::string_view name)
{
    std::size_t pos = 0;
    if (name.empty())
        return false;
    const char32_t first = nextCodePoint(name, pos);
    return first >= 0x0410 && first <= 0x044F;
}

bool unitGoesBefore(std::string_view a, std::string_view b)
{
    const bool cyrillicA = beginsWithCyrillicLetter(a);
    if (cyrillicA != beginsWithCyrillicLetter(b))
        return cyrillicA;
    if (hasAstralCharacter(a) || hasAstralCharacter(b))
        return utf16(a) < utf16(b);
    return a < b;
}

std::vector<SingleUnitCategory> singleUnitCategories(const UnitDatabase& database)
{
    std::vector<SingleUnitCategory> found;
    for (std::size_t q = 0; q < database.size(); ++q) {
        const Quantity& quantity = database[q];
        if (quantity.units.size() == 1)
            found.push_back({q, quantity.name, quantity.units.front().name});
    }
    return found;
}

} // namespace unitdb
