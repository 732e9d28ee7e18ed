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
// Slots from UnitCount[c] upward mean nothing; text is UTF-8.
struct UnitTables {
    int CatCount = 0;
    std::array<std::string, kMaxCategories> CatNames;
    std::array<int, kMaxCategories> UnitCount{};
    std::array<std::array<std::string, kMaxUnits>, kMaxCategories> UnitNames;
    std::array<std::array<double, kMaxUnits>, kMaxCategories> UnitKoef{};
    std::array<std::array<std::string, kMaxUnits>, kMaxCategories> UnitDesc;
    TextEncoding encoding = TextEncoding::Cp1251;
    bool BaseChanged = false;
};

// True when both hold the same categories and units in the same order; slots past the
// counts and the changed flag are not compared.
inline bool sameContent(const UnitTables& a, const UnitTables& b)
{
    if (a.CatCount != b.CatCount)
        return false;
    for (std::size_t c = 0; c < static_cast<std::size_t>(a.CatCount); ++c) {
        if (a.CatNames[c] != b.CatNames[c] || a.UnitCount[c] != b.UnitCount[c])
            return false;
        for (std::size_t s = 0; s < static_cast<std::size_t>(a.UnitCount[c]); ++s)
            if (a.UnitNames[c][s] != b.UnitNames[c][s] || a.UnitKoef[c][s] != b.UnitKoef[c][s] ||
                a.UnitDesc[c][s] != b.UnitDesc[c][s])
                return false;
    }
    return true;
}

} // namespace unitdb
