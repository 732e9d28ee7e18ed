// The order of units inside a quantity, and the check for quantities that hold a single unit.
#pragma once

#include "unitdb/unitdatabase.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace unitdb
{

// True when the name begins with a Cyrillic letter А..я (U+0410..U+044F);
// false for Ё, ё, any other character and the empty name.
bool beginsWithCyrillicLetter(std::string_view name);

// Below, at or above zero as UTF-8 `a` goes before, with or after `b` in UTF-16 code units (a
// proper prefix first).
int utf16Order(std::string_view a, std::string_view b);

// True when unit name `a` goes before `b`: Cyrillic-initial names first, then by
// UTF-16 code units (a proper prefix first).
bool unitGoesBefore(std::string_view a, std::string_view b);

struct SingleUnitCategory {
    std::size_t quantity = 0;
    std::string categoryName;
    std::string unitName;
};

// The quantities holding exactly one unit, in database order.
std::vector<SingleUnitCategory> singleUnitCategories(const UnitDatabase& database);

} // namespace unitdb
