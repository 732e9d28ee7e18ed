// The order of units in a category, against a plain reference on random names,
// and the check for categories of a single unit.
#include "unitdb/unitsort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
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
        auto t = std::make_unique<UnitTables>();
        t->categoryCount = 1;
        const int n = static_cast<int>(random() % (kMaxUnits + 1));
        t->unitCount[0] = n;
        for (int s = 0; s < n; ++s) {
            for (int len = static_cast<int>(random() % 3); len > 0; --len)
                t->unitNames[0][s] += pieces[random() % pieces.size()];
            t->coefficients[0][s] = s;
            t->descriptions[0][s] = std::to_string(s);
        }
        // Names from А to я first (Ё, ё and Ђ lie outside), then UTF-8 byte order, which
        // inside the Basic Multilingual Plane is UTF-16 order; equal names keep their order.
        const auto names = t->unitNames[0];
        const auto cyrillic = [&](int slot) { return names[slot] >= "А" && names[slot] < "ѐ"; };
        std::vector<int> slots(n);
        std::iota(slots.begin(), slots.end(), 0);
        std::ranges::stable_sort(slots, [&](int x, int y) {
            return cyrillic(x) != cyrillic(y) ? cyrillic(x) : names[x] < names[y];
        });
        sortUnits(*t);
        for (int s = 0; s < n; ++s) {
            ASSERT_EQ(t->unitNames[0][s], names[slots[s]]);
            ASSERT_EQ(t->coefficients[0][s], slots[s]);
            ASSERT_EQ(t->descriptions[0][s], std::to_string(slots[s]));
        }
    }
}

TEST(SingleUnitCheck, NamesEachCategoryWithOneUnitInIndexOrder)
{
    auto t = std::make_unique<UnitTables>();
    t->categoryCount = 4;
    t->unitCount = {1, 0, 2, 1, 0, 1}; // the last is beyond categoryCount: not a category
    t->categoryNames[3] = "Время";
    t->unitNames[3][0] = "Секунда";
    const auto found = singleUnitCategories(*t);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].category, 0);
    EXPECT_EQ(std::tie(found[1].category, found[1].categoryName, found[1].unitName),
              std::make_tuple(3, "Время", "Секунда"));
}
