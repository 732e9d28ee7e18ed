// The editor's operations on the database: what each one stores, and what it refuses
// without changing anything, the limits included (the editor's test fills up to them).
#include "unitdb/unitdatabase.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace unitdb;
using Quantities = std::vector<Quantity>;

namespace
{

const Quantities kSample = {
    {"Длина", {{"Метр", 1, "Основная."}, {"Аршин", 0.7112, ""}}},
    {"Масса", {{"Грамм", 0.001, ""}}},
};

// Every quantity holds as many units as it can, and there are as many as there can be.
Quantities full()
{
    Quantities quantities;
    for (std::size_t q = 0; q < kMaxQuantities; ++q)
        quantities.push_back({std::to_string(q), std::vector<Unit>(kMaxUnits)});
    return quantities;
}

using Edit = std::function<EditResult(UnitDatabase&)>;

struct EditRow {
    const char* what;
    Edit edit;
    ErrorCode code;
    std::function<void(Quantities&)> effect; // none: nothing may change
    char32_t character = 0;
    TextEncoding encoding = TextEncoding::Cp1251;
    Quantities start = kSample;
};

} // namespace

TEST(UnitDatabase, EachEditStoresWhatItSaysOrRefusesAndChangesNothing)
{
    using enum ErrorCode;
    const auto rename = [](const char* name) -> Edit {
        return [name](UnitDatabase& db) { return db.renameUnit(0, 1, name); };
    };
    const auto renamed = [](const char* name) {
        return [name](Quantities& q) { q[0].units[1].name = name; };
    };
    const EditRow rows[] = {
        {"rename", rename("Аршин, старый"), None, renamed("Аршин, старый")},
        {"its own name", rename("Аршин"), None, nullptr},
        {"checking its own name", [](auto& db) { return db.checkUnitName(0, 1, "Аршин"); }, None,
         nullptr},
        {"a name of another quantity", rename("Грамм"), None, renamed("Грамм")},
        {"a sibling's name", rename("Метр"), DuplicateName, nullptr},
        {"beyond Windows-1251", rename("Å"), Unencodable, nullptr, U'Å'},
        {"beyond Windows-1251 in UTF-8", rename("Å"), None, renamed("Å"), 0, TextEncoding::Utf8},
        {"coefficient", [](auto& db) { return db.setCoefficient(0, 1, 0.5); }, None,
         [](auto& q) { q[0].units[1].coefficient = 0.5; }},
        {"the same coefficient", [](auto& db) { return db.setCoefficient(0, 1, 0.7112); }, None,
         nullptr},
        {"NaN", [](auto& db) { return db.setCoefficient(0, 1, NAN); }, BadCoefficient, nullptr},
        {"line breaks", [](auto& db) { return db.setDescription(0, 1, "a\r\nb\nc\rd"); }, None,
         [](auto& q) { q[0].units[1].description = "a b c d"; }},
        {"description beyond Windows-1251", [](auto& db) { return db.setDescription(0, 1, "м²"); },
         Unencodable, nullptr, U'²'},
        {"new unit", [](auto& db) { return db.addUnit(1); }, None,
         [](auto& q) { q[1].units.emplace_back(); }},
        {"new quantity", [](auto& db) { return db.addQuantity(" Время, сутки"); }, None,
         [](auto& q) { q.emplace_back().name = " Время, сутки"; }},
        {"an existing quantity", [](auto& db) { return db.addQuantity("Масса"); }, DuplicateName,
         nullptr},
        {"a 102nd unit", [](auto& db) { return db.addUnit(0); }, TooManyUnits, nullptr, 0,
         TextEncoding::Cp1251, full()},
        {"a 52nd quantity", [](auto& db) { return db.addQuantity("Новая"); }, TooManyCategories,
         nullptr, 0, TextEncoding::Cp1251, full()},
        {"a quantity opening with a quote", [](auto& db) { return db.addQuantity("\"Время"); },
         OpeningQuote, nullptr},
    };
    for (const EditRow& row : rows) {
        SCOPED_TRACE(row.what);
        UnitDatabase db(row.start, row.encoding);
        const EditResult result = row.edit(db);
        EXPECT_EQ(std::tie(result.code, result.text.character), std::tie(row.code, row.character));
        Quantities expected = row.start;
        if (row.effect)
            row.effect(expected);
        EXPECT_EQ(db.quantities(), expected);
        EXPECT_EQ(db.changed(), row.effect != nullptr);
    }
}
