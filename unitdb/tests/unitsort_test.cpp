// The order of units in a quantity, on hand-sorted names.
#include "unitdb/unitsort.h"

#include <gtest/gtest.h>

#include <functional>

using namespace unitdb;

TEST(UnitSort, CyrillicInitialsFirstThenUtf16OrderEqualNamesKeepingTheirOrder)
{
    // Џ, Ђ, Ё lie below А and ѐ, ё above я. 𝄞 (U+1D11E) is a surrogate pair in UTF-16 and
    // goes before ！ (U+FF01), although its UTF-8 bytes come after, also after a common prefix.
    const std::vector<std::string> names = {"я",  "Z",  "",   "ё", "Ёж", "а",   "Б",
                                            "1",  "！", "𝄞",  "А", "а",  "Ђ",   "Аб",
                                            "ѐ",  "Џ",  "Яя", "z", "z！", "z𝄞", "𝄞𝄞"};
    const std::vector<std::string> sorted = {"А",  "Аб", "Б", "Яя", "а", "а",  "я",
                                             "",   "1",  "Z", "z",  "z𝄞", "z！", "Ёж",
                                             "Ђ",  "Џ",  "ѐ", "ё",  "𝄞", "𝄞𝄞", "！"};
    // Each name five times, enough for an unstable sort to swap equal names.
    std::vector<Unit> units;
    for (std::size_t s = 0; s < 5 * names.size(); ++s)
        units.push_back({names[s % names.size()], static_cast<double>(s), std::to_string(s)});
    UnitDatabase db({{"Пустая", {}}, {"Длина", units}}, TextEncoding::Cp1251);
    db.sortUnits();
    ASSERT_EQ(db[1].units.size(), units.size());
    for (std::size_t s = 0; s < units.size(); ++s) {
        const Unit& unit = db[1].units[s];
        SCOPED_TRACE(s);
        EXPECT_EQ(unit.name, sorted[s / 5]);
        EXPECT_EQ(unit.description, std::to_string(static_cast<int>(unit.coefficient)));
        if (s > 0 && unit.name == db[1].units[s - 1].name) {
            EXPECT_GT(unit.coefficient, db[1].units[s - 1].coefficient);
        }
    }
    EXPECT_FALSE(db.changed());
}

// The sort waits for a quantity's first reading; whatever reads or edits first sees the order.
TEST(UnitSort, EveryWayInSeesTheSortedOrder)
{
    const std::vector<Quantity> unsorted = {{"Длина", {{"Фут", 0.3048, ""}, {"Аршин", 0.7112, ""}}},
                                            {"Масса", {{"Пуд", 16.38, ""}, {"Грамм", 0.001, ""}}}};
    const std::vector<std::pair<const char*, std::function<std::string(UnitDatabase&)>>> ways = {
        {"operator[]", [](UnitDatabase& db) { return db[1].units[0].name; }},
        {"unit()", [](UnitDatabase& db) { return db.unit(1, 0).name; }},
        {"quantities()", [](UnitDatabase& db) { return db.quantities()[1].units[0].name; }},
        {"a copy", [](UnitDatabase& db) { return UnitDatabase(db)[1].units[0].name; }},
        {"an edit by slot",
         [](UnitDatabase& db) {
             EXPECT_TRUE(db.setCoefficient(1, 0, 2.0).ok());
             return db[1].units[0].coefficient == 2.0 ? db[1].units[0].name : "";
         }},
        {"undo after an edit elsewhere",
         [](UnitDatabase& db) {
             EXPECT_TRUE(db.renameUnit(0, 0, "Ярд").ok());
             db.undo();
             return db[1].units[0].name;
         }},
    };
    for (const auto& [way, read] : ways) {
        SCOPED_TRACE(way);
        UnitDatabase db(unsorted, TextEncoding::Cp1251);
        db.sortUnits();
        EXPECT_EQ(db.name(1), "Масса");
        EXPECT_EQ(db.unitCount(1), 2u);
        EXPECT_EQ(read(db), "Грамм");
        EXPECT_EQ(db[0].units[0].name, "Аршин");
    }
    UnitDatabase lazy(unsorted, TextEncoding::Cp1251);
    lazy.sortUnits();
    UnitDatabase eager = lazy;
    eager.quantities();
    EXPECT_EQ(lazy, eager);
}
