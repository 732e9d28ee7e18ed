#include "unitdb/unitsort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>
#include <vector>

using namespace unitdb;

namespace
{

std::unique_ptr<UnitTables> withUnits(const std::vector<std::string>& names)
{
    auto t = std::make_unique<UnitTables>();
    t->CatCount = 1;
    t->UnitCount[0] = static_cast<int>(names.size());
    for (std::size_t s = 0; s < names.size(); ++s) {
        t->UnitNames[0][s] = names[s];
        t->UnitKoef[0][s] = static_cast<double>(s);
        t->UnitDesc[0][s] = "desc " + std::to_string(s);
    }
    return t;
}

// The reference order, for names inside the Basic Multilingual Plane, where
// UTF-8 byte order is UTF-16 order.
bool referenceBefore(const std::string& a, const std::string& b)
{
    auto cyr = [](const std::string& s) {
        const auto b0 = static_cast<unsigned char>(s.size() > 1 ? s[0] : 0);
        const auto b1 = static_cast<unsigned char>(s.size() > 1 ? s[1] : 0);
        return (b0 == 0xD0 && b1 >= 0x90) || (b0 == 0xD1 && b1 <= 0x8F);
    };
    return cyr(a) != cyr(b) ? cyr(a) : a < b;
}

} // namespace

TEST(UnitSort, RLIsTrueOnlyForCyrillicAToYa)
{
    struct Row {
        const char* name;
        bool cyrillic;
    };
    const Row rows[] = {{"Метр", true},      {"метр", true},       {"А", true},
                        {"я", true},         {"Ёмкость", false},   {"ёж", false},
                        {"Angstrom", false}, {"1/4 дюйма", false}, {"", false},
                        {" метр", false},    {"Ґ", false},         {"\xD0", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(RL(row.name), row.cyrillic);
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
TEST(UnitSort, MatchesNeighbourExchangeOnRandomNames)
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
        // Neighbour exchange keeps equal names in order, as a stable sort does.
        std::vector<int> slots(n);
        std::iota(slots.begin(), slots.end(), 0);
        std::stable_sort(slots.begin(), slots.end(),
                         [&](int x, int y) { return referenceBefore(names[x], names[y]); });
        auto t = withUnits(names);
        sortUnits(*t);
        for (int s = 0; s < n; ++s) {
            SCOPED_TRACE("round " + std::to_string(round) + " slot " + std::to_string(s));
            ASSERT_EQ(t->UnitNames[0][s], names[slots[s]]);
            ASSERT_EQ(t->UnitKoef[0][s], slots[s]);
            ASSERT_EQ(t->UnitDesc[0][s], "desc " + std::to_string(slots[s]));
        }
    }
}

TEST(SingleUnitCheck, NamesEachCategoryWithOneUnitInIndexOrder)
{
    auto t = std::make_unique<UnitTables>();
    t->CatCount = 4;
    const int counts[] = {1, 0, 2, 1};
    const char* cats[] = {"Длина", "Пусто", "Масса", "Время"};
    for (int c = 0; c < 4; ++c) {
        t->CatNames[c] = cats[c];
        t->UnitCount[c] = counts[c];
        t->UnitNames[c][0] = std::string("первая ") + cats[c];
    }
    t->UnitCount[5] = 1; // beyond CatCount: not a category
    const auto found = singleUnitCategories(*t);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(std::tie(found[0].category, found[0].categoryName, found[0].unitName),
              std::make_tuple(0, "Длина", "первая Длина"));
    EXPECT_EQ(std::tie(found[1].category, found[1].unitName), std::make_tuple(3, "первая Время"));
}
