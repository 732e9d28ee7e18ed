// The unit tables: every category and unit the program knows, shared by reference
// by every window. Names, coefficients and descriptions of one slot move together.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace unitdb
{

inline constexpr int kMaxCategories = 51;
inline constexpr int kMaxUnits = 101;

// How Base.dat was stored when read; saving writes it back the same way.
enum class TextEncoding { Cp1251, Utf8, Utf8WithBom };

// Big (several hundred kilobytes): the application keeps one on the heap.
// Slots from unitCount[c] upward mean nothing; text is UTF-8.
struct UnitTables {
    int categoryCount = 0;
    std::array<std::string, kMaxCategories> categoryNames;
    std::array<int, kMaxCategories> unitCount{};
    std::array<std::array<std::string, kMaxUnits>, kMaxCategories> unitNames;
    std::array<std::array<double, kMaxUnits>, kMaxCategories> coefficients{};
    std::array<std::array<std::string, kMaxUnits>, kMaxCategories> descriptions;
    TextEncoding encoding = TextEncoding::Cp1251;
    bool changed = false; // edited since start-up
};

// True when both hold the same categories and units in the same order; slots past the
// counts and the changed flag are not compared.
inline bool sameContent(const UnitTables& a, const UnitTables& b)
{
    if (a.categoryCount != b.categoryCount)
        return false;
    for (std::size_t c = 0; c < static_cast<std::size_t>(a.categoryCount); ++c) {
        if (a.categoryNames[c] != b.categoryNames[c] || a.unitCount[c] != b.unitCount[c])
            return false;
        for (std::size_t s = 0; s < static_cast<std::size_t>(a.unitCount[c]); ++s)
            if (a.unitNames[c][s] != b.unitNames[c][s] ||
                a.coefficients[c][s] != b.coefficients[c][s] ||
                a.descriptions[c][s] != b.descriptions[c][s])
                return false;
    }
    return true;
}

} // namespace unitdb
