// The order of units inside a category, and the check for categories that hold a single unit.
#pragma once

#include "unitdb/unittables.h"

#include <string>
#include <string_view>
#include <vector>

namespace unitdb
{

// True when the name begins with a Cyrillic letter А..я (U+0410..U+044F);
// false for Ё, ё, any other character and the empty name.
bool beginsWithCyrillicLetter(std::string_view name);

// True when unit name `a` goes before `b`: Cyrillic-initial names first, then by
// UTF-16 code units (a proper prefix first).
bool unitGoesBefore(std::string_view a, std::string_view b);

// Orders the units of every category, stably; name, coefficient and description move together.
void sortUnits(UnitTables& tables);

struct SingleUnitCategory {
    int category = 0;
    std::string categoryName;
    std::string unitName;
};

// The categories holding exactly one unit, in index order.
std::vector<SingleUnitCategory> singleUnitCategories(const UnitTables& tables);

} // namespace unitdb
