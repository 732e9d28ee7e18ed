// The editor's operations on the database: what each one stores, and what it refuses
// without changing anything, the limits included (the editor's test fills up to them); and
// how the steps are taken back and made again.
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
         [](auto& q) {
             q.push_back({" Время, сутки", {Unit{}}});
         }},
        {"an existing quantity", [](auto& db) { return db.addQuantity("Масса"); }, DuplicateName,
         nullptr},
        {"a 102nd unit", [](auto& db) { return db.addUnit(0); }, TooManyUnits, nullptr, 0,
         TextEncoding::Cp1251, full()},
        {"a 52nd quantity", [](auto& db) { return db.addQuantity("Новая"); }, TooManyCategories,
         nullptr, 0, TextEncoding::Cp1251, full()},
        {"a quantity opening with a quote", [](auto& db) { return db.addQuantity("\"Время"); },
         OpeningQuote, nullptr},
        {"delete a unit", [](auto& db) { return db.deleteUnit(0, 0); }, None,
         [](auto& q) { q[0].units.erase(q[0].units.begin()); }},
        {"the only unit", [](auto& db) { return db.deleteUnit(1, 0); }, LastUnit, nullptr},
        {"delete a quantity", [](auto& db) { return db.deleteQuantity(0); }, None,
         [](auto& q) { q.erase(q.begin()); }},
        {"the only quantity",
         [](auto& db) { return db.deleteQuantity(0); },
         LastQuantity,
         nullptr,
         0,
         TextEncoding::Cp1251,
         {kSample[1]}},
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
        EXPECT_EQ(db.canUndo(), row.effect != nullptr);
    }
}

TEST(UnitDatabase, StepsAreTakenBackInTurnToTheStartAndMadeAgain)
{
    const std::optional<std::size_t> none;
    const struct {
        const char* what;
        Edit edit;
        Place undone; // what the editor shows after taking the step back
        Place redone;
    } steps[] = {
        {"rename", [](auto& db) { return db.renameUnit(0, 1, "Ярд"); }, {0, 1}, {0, 1}},
        {"new unit", [](auto& db) { return db.addUnit(1); }, {1, none}, {1, 1}},
        {"delete a unit", [](auto& db) { return db.deleteUnit(0, 0); }, {0, 0}, {0, none}},
        {"new quantity", [](auto& db) { return db.addQuantity("Время"); }, {1, none}, {2, none}},
        {"delete a quantity", [](auto& db) { return db.deleteQuantity(0); }, {0, none}, {0, none}},
    };
    UnitDatabase db(kSample, TextEncoding::Cp1251);
    std::vector<Quantities> states{db.quantities()};
    for (const auto& step : steps) {
        ASSERT_TRUE(step.edit(db).ok()) << step.what;
        states.push_back(db.quantities());
    }
    for (std::size_t i = std::size(steps); i-- > 0;) {
        SCOPED_TRACE(steps[i].what);
        EXPECT_EQ(db.undo(), steps[i].undone);
        EXPECT_EQ(db.quantities(), states[i]);
    }
    EXPECT_FALSE(db.undo());
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(steps[i].what);
        EXPECT_EQ(db.redo(), steps[i].redone);
        EXPECT_EQ(db.quantities(), states[i + 1]);
    }
    EXPECT_FALSE(db.redo());
    // A new change after a step taken back leaves nothing to make again.
    db.undo();
    ASSERT_TRUE(db.setCoefficient(0, 0, 2).ok());
    EXPECT_FALSE(db.redo());
}
