// The unit tables: every category and unit the program knows, shared by reference
// by every window. Names, coefficients and descriptions of one slot move together.
#pragma once

#include <array>
#include <string>

namespace unitdb
{

inline constexpr int kMaxCategories = 51;
inline constexpr int kMaxUnits = 101;

// Big (several hundred kilobytes): the application keeps one on the heap.
// Slots from UnitCount[c] upward mean nothing; text is UTF-8.
struct UnitTables {
    int CatCount = 0;
    std::array<std::string, kMaxCategories> CatNames;
    std::array<int, kMaxCategories> UnitCount{};
    std::array<std::array<std::string, kMaxUnits>, kMaxCategories> UnitNames;
    std::array<std::array<double, kMaxUnits>, kMaxCategories> UnitKoef{};
    std::array<std::array<std::string, kMaxUnits>, kMaxCategories> UnitDesc;
    bool BaseChanged = false;
};

} // namespace unitdb
