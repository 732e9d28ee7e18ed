// The unit order the lists show, and the single-unit check start-up warns with.
#include "unitdb/unitsort.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

namespace unitdb
{

bool beginsWithCyrillicLetter(std::string_view name)
{
    // U+0410..U+043F are D0 90..D0 BF in UTF-8, U+0440..U+044F are D1 80..D1 8F.
    if (name.size() < 2)
        return false;
    const auto lead = static_cast<unsigned char>(name[0]);
    const auto next = static_cast<unsigned char>(name[1]);
    return (lead == 0xD0 && next >= 0x90 && next <= 0xBF) ||
           (lead == 0xD1 && next >= 0x80 && next <= 0x8F);
}

int utf16Order(std::string_view a, std::string_view b)
{
    // UTF-8 bytes compare as the code points do, and so as UTF-16 code units, except where a
    // character past U+FFFF (lead byte F0..F4, a surrogate pair in UTF-16) meets one of
    // U+E000..U+FFFF (lead byte EE or EF): the surrogates sort below. After an equal prefix
    // both differing bytes are lead bytes, or both continue the same character.
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t at = 0;
    for (; at + 8 <= n; at += 8) {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        std::memcpy(&x, a.data() + at, 8);
        std::memcpy(&y, b.data() + at, 8);
        if (x != y) {
            at += static_cast<std::size_t>(std::endian::native == std::endian::little
                                               ? std::countr_zero(x ^ y)
                                               : std::countl_zero(x ^ y)) / 8;
            break;
        }
    }
    while (at < n && a[at] == b[at])
        ++at;
    if (at == n)
        return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0; // a proper prefix first
    const auto x = static_cast<unsigned char>(a[at]);
    const auto y = static_cast<unsigned char>(b[at]);
    if (x >= 0xF0 && (y == 0xEE || y == 0xEF))
        return -1;
    if (y >= 0xF0 && (x == 0xEE || x == 0xEF))
        return 1;
    return x < y ? -1 : 1;
}

bool unitGoesBefore(std::string_view a, std::string_view b)
{
    const bool cyrillicA = beginsWithCyrillicLetter(a);
    if (cyrillicA != beginsWithCyrillicLetter(b))
        return cyrillicA;
    return utf16Order(a, b) < 0;
}

std::vector<SingleUnitCategory> singleUnitCategories(const UnitDatabase& database)
{
    std::vector<SingleUnitCategory> found;
    for (std::size_t q = 0; q < database.size(); ++q) {
        if (database.unitCount(q) == 1)
            found.push_back({q, database.name(q), database.unit(q, 0).name});
    }
    return found;
}

} // namespace unitdb
