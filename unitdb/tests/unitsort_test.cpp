// The order of units in a quantity, against a plain reference on random names.
#include "unitdb/unitsort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using namespace unitdb;

// Also shows that coefficient and description move with the name.
TEST(UnitSort, MatchesTheRuleOnRandomNames)
{
    // A small alphabet of short names, so that equal names and prefixes are common.
    const std::vector<std::string> pieces = {"А", "Б", "я", "а", "Ё", "ё", "A", "b", "1",
                                             " ", "-", "Я", "ж", "Z", "",  "щ", "Ђ"};
    std::mt19937 random(20240607);
    for (int round = 0; round < 200; ++round) {
        std::vector<Unit> units(random() % (kMaxUnits + 1));
        for (std::size_t s = 0; s < units.size(); ++s) {
            for (int len = static_cast<int>(random() % 3); len > 0; --len)
                units[s].name += pieces[random() % pieces.size()];
            units[s].coefficient = static_cast<double>(s);
            units[s].description = std::to_string(s);
        }
        // Names from А to я first (Ё, ё and Ђ lie outside), then UTF-8 byte order, which
        // inside the Basic Multilingual Plane is UTF-16 order; equal names keep their order.
        std::vector<Unit> expected = units;
        const auto cyrillic = [](const Unit& u) { return u.name >= "А" && u.name < "ѐ"; };
        std::ranges::stable_sort(expected, [&](const Unit& x, const Unit& y) {
            return cyrillic(x) != cyrillic(y) ? cyrillic(x) : x.name < y.name;
        });
        UnitDatabase db({{"Длина", units}, {"Пустая", {}}}, TextEncoding::Cp1251);
        db.sortUnits();
        ASSERT_EQ(db[0].units, expected);
        ASSERT_FALSE(db.changed());
    }
}
