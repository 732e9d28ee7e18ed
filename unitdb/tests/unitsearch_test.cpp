// Unit search ranking over a small set of names, one query per row.
#include "unitdb/unitsearch.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

using Names = std::vector<std::string>;

class UnitSearchTest : public testing::Test
{
protected:
    void SetUp() override
    {
        put(0, "Длина",
            {"Метр (м)", "Миллиметр (мм)", "Сантиметр (см)", "Верста (верста)",
             "Верста межевая (межевая  верста)", "Астрономическая единица (а. е.)"});
        put(1, "Масса", {"Грамм (г)", "Лёгкая тонна (лт)"});
        put(2, "Площадь", {"Метр квадратный (м2)"}); // not listed: never found
    }
    void put(int c, const char* name, const Names& units)
    {
        const auto cat = static_cast<std::size_t>(c);
        tables->CatNames[cat] = name;
        tables->UnitCount[cat] = static_cast<int>(units.size());
        for (std::size_t j = 0; j < units.size(); ++j)
            tables->UnitNames[cat][j] = units[j];
        tables->CatCount = c + 1;
    }
    Names find(const std::string& query, std::size_t limit = 50) const
    {
        // Масса listed first, and Длина twice: each unit must still come once.
        const std::vector<int> listed{1, 0, 1};
        const unitdb::UnitSearch search(*tables, listed);
        Names names;
        for (const auto& m : search.find(query, limit))
            names.push_back(tables->UnitNames[static_cast<std::size_t>(
                listed[static_cast<std::size_t>(m.list)])][static_cast<std::size_t>(m.slot)]);
        return names;
    }
    std::unique_ptr<unitdb::UnitTables> tables = std::make_unique<unitdb::UnitTables>();
};

TEST_F(UnitSearchTest, RanksSymbolThenNameStartThenWordStartThenInside)
{
    const struct {
        const char* query;
        Names expected;
    } rows[] = {
        {"м",
         {"Метр (м)", "Миллиметр (мм)", "Верста межевая (межевая  верста)",
          "Астрономическая единица (а. е.)", "Грамм (г)", "Сантиметр (см)"}},
        {"ВЕРСТА", {"Верста (верста)", "Верста межевая (межевая  верста)"}},
        {"dthcnf", {"Верста (верста)", "Верста межевая (межевая  верста)"}},
        {"vtnh", {"Метр (м)", "Миллиметр (мм)", "Сантиметр (см)"}},
        {"межевая верста", {"Верста межевая (межевая  верста)"}},
        {"  ед   аст ", {"Астрономическая единица (а. е.)"}},
        {"а. е.", {"Астрономическая единица (а. е.)"}},
        {"легкая т", {"Лёгкая тонна (лт)"}},
        {"ЛЁГ", {"Лёгкая тонна (лт)"}},
        {"квадрат", {}},
        {"метр сутки", {}},
        {"  ", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.query);
        EXPECT_EQ(find(row.query), row.expected);
    }
    EXPECT_EQ(find("м", 2), (Names{"Метр (м)", "Миллиметр (мм)"}));
}

TEST(RussianLayout, MapsEveryLetterKeyAndKeepsTheRest)
{
    EXPECT_EQ(unitdb::russianLayout("qwertyuiop[]asdfghjkl;'zxcvbnm,./`"),
              "йцукенгшщзхъфывапролджэячсмитьбю.ё");
    EXPECT_EQ(unitdb::russianLayout("Dthcnf 12 <>~ кг"), "Верста 12 БЮЁ кг");
    EXPECT_EQ(unitdb::foldCase("ЁЖИК Ångström ΩЎ"), "ежик ångström ωў");
}

} // namespace
