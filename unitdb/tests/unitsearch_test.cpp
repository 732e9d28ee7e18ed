// Unit search ranking over a small set of names, one query per row.
#include "unitdb/basefile.h"
#include "unitdb/unitsearch.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

using Names = std::vector<std::string>;

// Площадь is in the database but not listed; Длина is listed twice and must come once.
static Names find(const std::string& query, std::size_t limit = 50)
{
    const std::vector<Names> units{{"Метр (м)", "Миллиметр (мм)", "Сантиметр (см)",
                                    "Верста (верста)", "Верста межевая (межевая  верста)",
                                    "Астрономическая единица (а. е.)"},
                                   {"Грамм (г)", "Лёгкая тонна (лт)"},
                                   {"Метр квадратный (м2)"}};
    std::vector<unitdb::Quantity> quantities(units.size());
    for (std::size_t q = 0; q < units.size(); ++q)
        for (const std::string& name : units[q])
            quantities[q].units.push_back({name, 1, ""});
    const unitdb::UnitDatabase db(std::move(quantities), unitdb::TextEncoding::Cp1251);
    const std::vector<int> listed{1, 0, 1};
    Names names;
    for (const auto& m : unitdb::UnitSearch(db, listed).find(query, limit))
        names.push_back(units[listed[m.list]][m.slot]);
    return names;
}

TEST(UnitSearch, RanksSymbolThenNameStartThenWordStartThenInside)
{
    // Latin keys typed on the Russian layout are found, and case and Ё are folded.
    const std::pair<const char*, Names> rows[] = {
        {"м",
         {"Метр (м)", "Миллиметр (мм)", "Верста межевая (межевая  верста)",
          "Астрономическая единица (а. е.)", "Грамм (г)", "Сантиметр (см)"}},
        {"Dthcnf", {"Верста (верста)", "Верста межевая (межевая  верста)"}},
        {"межевая верста", {"Верста межевая (межевая  верста)"}},
        {"  ед   аст ", {"Астрономическая единица (а. е.)"}},
        {"легкая т", {"Лёгкая тонна (лт)"}},
        {"ЛЁГ", {"Лёгкая тонна (лт)"}},
        {"квадрат", {}},
        {"метр сутки", {}},
        {"  ", {}},
    };
    for (const auto& [query, expected] : rows) {
        SCOPED_TRACE(query);
        EXPECT_EQ(find(query), expected);
    }
    EXPECT_EQ(find("м", 2), (Names{"Метр (м)", "Миллиметр (мм)"}));
}

