#include "unitdb/unitsort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

using namespace unitdb;

TEST(UnitSort, RLIsTrueOnlyForCyrillicAToYa)
{
    const std::pair<const char*, bool> rows[] = {
        {"Метр", true},     {"метр", true},   {"А", true},         {"я", true},
        {"Ёмкость", false}, {"ёж", false},    {"Angstrom", false}, {"1/4 дюйма", false},
        {"", false},        {" метр", false}, {"Ґ", false},        {"\xD0", false}};
    for (const auto& [name, cyrillic] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(beginsWithCyrillicLetter(name), cyrillic);
    }
}

TEST(UnitSort, ComparesUtf16CodeUnitsNotCodePoints)
{
    // U+1F600 is a surrogate pair (D83D...) and so comes before U+FF02 in UTF-16.
    EXPECT_TRUE(unitGoesBefore("\U0001F600", "\uFF02"));
    EXPECT_FALSE(unitGoesBefore("\uFF02", "\U0001F600"));
    EXPECT_TRUE(unitGoesBefore("", "a"));
    EXPECT_TRUE(unitGoesBefore("ab", "abc"));
    EXPECT_TRUE(unitGoesBefore("я", ""));
}

// Also shows that coefficient and description move with the name.
TEST(UnitSort, MatchesTheRuleOnRandomNames)
{
    const std::vector<std::string> pieces = {"А", "Б", "я", "а", "Ё", "ё", "A", "b", "1",
                                             " ", "-", "Я", "ж", "Z", "",  "щ", "Ђ"};
    std::mt19937 random(20240607);
    for (int round = 0; round < 200; ++round) {
        const int n = static_cast<int>(random() % (kMaxUnits + 1));
        std::vector<std::string> names(n);
        for (auto& name : names) {
            // Short names from a small alphabet, so that equal names (stability) are common.
            const int len = static_cast<int>(random() % 3);
            for (int i = 0; i < len; ++i)
                name += pieces[random() % pieces.size()];
        }
        // Cyrillic first, then UTF-8 byte order, which inside the Basic Multilingual
        // Plane is UTF-16 order; equal names keep their order.
        std::vector<int> slots(n);
        std::iota(slots.begin(), slots.end(), 0);
        std::stable_sort(slots.begin(), slots.end(), [&](int x, int y) {
            return beginsWithCyrillicLetter(names[x]) != beginsWithCyrillicLetter(names[y])
                       ? beginsWithCyrillicLetter(names[x])
                       : names[x] < names[y];
        });
        auto t = std::make_unique<UnitTables>();
        t->categoryCount = 1;
        t->unitCount[0] = n;
        for (int s = 0; s < n; ++s) {
            t->unitNames[0][s] = names[s];
            t->coefficients[0][s] = s;
            t->descriptions[0][s] = "desc " + std::to_string(s);
        }
        sortUnits(*t);
        for (int s = 0; s < n; ++s) {
            SCOPED_TRACE("round " + std::to_string(round) + " slot " + std::to_string(s));
            ASSERT_EQ(t->unitNames[0][s], names[slots[s]]);
            ASSERT_EQ(t->coefficients[0][s], slots[s]);
            ASSERT_EQ(t->descriptions[0][s], "desc " + std::to_string(slots[s]));
        }
    }
}

TEST(SingleUnitCheck, NamesEachCategoryWithOneUnitInIndexOrder)
{
    auto t = std::make_unique<UnitTables>();
    t->categoryCount = 4;
    const int counts[] = {1, 0, 2, 1};
    const char* cats[] = {"Длина", "Пусто", "Масса", "Время"};
    for (int c = 0; c < 4; ++c) {
        t->categoryNames[c] = cats[c];
        t->unitCount[c] = counts[c];
        t->unitNames[c][0] = std::string("первая ") + cats[c];
    }
    t->unitCount[5] = 1; // beyond categoryCount: not a category
    const auto found = singleUnitCategories(*t);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(std::tie(found[0].category, found[0].categoryName, found[0].unitName),
              std::make_tuple(0, "Длина", "первая Длина"));
    EXPECT_EQ(std::tie(found[1].category, found[1].unitName), std::make_tuple(3, "первая Время"));
}
