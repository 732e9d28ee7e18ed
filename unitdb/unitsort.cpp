// The unit sort. It sorts a permutation of slots with a stable sort, which gives
// the same order as exchanging neighbours that are out of order, in far fewer steps.
#include "unitdb/unitsort.h"

#include "unitdb/cp1251.h"

#include <algorithm>
#include <array>
#include <numeric>

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

// Names without characters past U+FFFF (a 4-byte UTF-8 sequence) compare in
// UTF-16 order exactly as their UTF-8 bytes do, so only the rare others pay
// for a UTF-16 copy.
bool hasAstral(std::string_view name)
{
    return std::any_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0xF0; });
}

struct SortKey {
    bool cyrillic = false;
    bool astral = false;
    std::string_view name;
};

bool keyBefore(const SortKey& a, const SortKey& b)
{
    if (a.cyrillic != b.cyrillic)
        return a.cyrillic;
    if (a.astral || b.astral)
        return utf16(a.name) < utf16(b.name);
    return a.name < b.name;
}

SortKey keyOf(std::string_view name)
{
    return {beginsWithCyrillicLetter(name), hasAstral(name), name};
}

} // namespace

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
    return keyBefore(keyOf(a), keyOf(b));
}

void sortUnits(UnitTables& t)
{
    std::array<SortKey, kMaxUnits> keys;
    std::array<int, kMaxUnits> order{};
    for (int c = 0; c < t.categoryCount; ++c) {
        const int n = t.unitCount[c];
        for (int s = 0; s < n; ++s)
            keys[s] = keyOf(t.unitNames[c][s]);
        std::iota(order.begin(), order.begin() + n, 0);
        std::stable_sort(order.begin(), order.begin() + n,
                         [&keys](int a, int b) { return keyBefore(keys[a], keys[b]); });

        // Gather into fresh rows, then move them back: each triple moves as stored.
        std::array<std::string, kMaxUnits> names;
        std::array<double, kMaxUnits> coefficients{};
        std::array<std::string, kMaxUnits> descs;
        for (int s = 0; s < n; ++s) {
            names[s] = std::move(t.unitNames[c][order[s]]);
            coefficients[s] = t.coefficients[c][order[s]];
            descs[s] = std::move(t.descriptions[c][order[s]]);
        }
        std::move(names.begin(), names.begin() + n, t.unitNames[c].begin());
        std::copy(coefficients.begin(), coefficients.begin() + n, t.coefficients[c].begin());
        std::move(descs.begin(), descs.begin() + n, t.descriptions[c].begin());
    }
}

std::vector<SingleUnitCategory> singleUnitCategories(const UnitTables& t)
{
    std::vector<SingleUnitCategory> found;
    for (int c = 0; c < t.categoryCount; ++c) {
        if (t.unitCount[c] == 1)
            found.push_back({c, t.categoryNames[c], t.unitNames[c][0]});
    }
    return found;
}

} // namespace unitdb
