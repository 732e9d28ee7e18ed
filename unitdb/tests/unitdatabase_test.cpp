// The editor's operations on the database: what each one stores, and what it refuses
// without changing anything.
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

struct EditRow {
    const char* what;
    TextEncoding encoding;
    std::function<EditResult(UnitDatabase&)> edit;
    ErrorCode code;
    std::function<void(Quantities&)> effect; // none: nothing may change
    char32_t character = 0;
};

} // namespace

TEST(UnitDatabase, EachEditStoresWhatItSaysOrRefusesAndChangesNothing)
{
    using enum ErrorCode;
    using enum TextEncoding;
    const EditRow rows[] = {
        {"rename", Cp1251, [](auto& db) { return db.renameUnit(0, 1, "Аршин, старый"); }, None,
         [](auto& q) { q[0].units[1].name = "Аршин, старый"; }},
        {"rename to its own name", Cp1251, [](auto& db) { return db.renameUnit(0, 0, "Метр"); },
         None, nullptr},
        {"rename to a name of another quantity", Cp1251,
         [](auto& db) { return db.renameUnit(0, 0, "Грамм"); }, None,
         [](auto& q) { q[0].units[0].name = "Грамм"; }},
        {"rename to a sibling's name", Cp1251,
         [](auto& db) { return db.renameUnit(0, 0, "Аршин"); }, DuplicateName, nullptr},
        {"rename to *", Cp1251, [](auto& db) { return db.renameUnit(0, 0, "*"); }, EndMarkerName,
         nullptr},
        {"rename beyond Windows-1251", Cp1251, [](auto& db) { return db.renameUnit(0, 0, "Å"); },
         Unencodable, nullptr, U'Å'},
        {"rename beyond Windows-1251 in UTF-8", Utf8,
         [](auto& db) { return db.renameUnit(0, 0, "Å"); }, None,
         [](auto& q) { q[0].units[0].name = "Å"; }},
        {"coefficient", Cp1251, [](auto& db) { return db.setCoefficient(0, 1, 0.5); }, None,
         [](auto& q) { q[0].units[1].coefficient = 0.5; }},
        {"the same coefficient", Cp1251, [](auto& db) { return db.setCoefficient(0, 1, 0.7112); },
         None, nullptr},
        {"zero", Cp1251, [](auto& db) { return db.setCoefficient(0, 1, -0.0); }, NotPositive,
         nullptr},
        {"NaN", Cp1251, [](auto& db) { return db.setCoefficient(0, 1, NAN); }, BadCoefficient,
         nullptr},
        {"infinity", Cp1251, [](auto& db) { return db.setCoefficient(0, 1, INFINITY); }, OutOfRange,
         nullptr},
        {"description with line breaks", Cp1251,
         [](auto& db) { return db.setDescription(0, 1, "a\r\nb\nc\rd"); }, None,
         [](auto& q) { q[0].units[1].description = "a b c d"; }},
        {"description beyond Windows-1251", Cp1251,
         [](auto& db) { return db.setDescription(0, 1, "м²"); }, Unencodable, nullptr, U'²'},
        {"new unit", Cp1251, [](auto& db) { return db.addUnit(1); }, None,
         [](auto& q) {
             q[1].units.push_back({"", 1, ""});
         }},
        {"new quantity", Cp1251, [](auto& db) { return db.addQuantity(" Время, сутки"); }, None,
         [](auto& q) {
             q.push_back({" Время, сутки", {}});
         }},
        {"quantity of an existing name", Cp1251, [](auto& db) { return db.addQuantity("Масса"); },
         DuplicateName, nullptr},
        {"quantity opening with a quote", Cp1251,
         [](auto& db) { return db.addQuantity("\"Время\""); }, OpeningQuote, nullptr},
    };
    for (const EditRow& row : rows) {
        SCOPED_TRACE(row.what);
        UnitDatabase db(kSample, row.encoding);
        const EditResult result = row.edit(db);
        EXPECT_EQ(std::tie(result.code, result.text.character), std::tie(row.code, row.character));
        Quantities expected = kSample;
        if (row.effect)
            row.effect(expected);
        EXPECT_EQ(db.quantities(), expected);
        EXPECT_EQ(db.changed(), row.effect != nullptr);
    }
}

TEST(UnitDatabase, LimitsAreReachedButNotPassed)
{
    for (const bool full : {false, true}) {
        SCOPED_TRACE(full);
        const std::size_t room = full ? 0 : 1;
        Quantities quantities; // named apart, so that only a limit can refuse
        for (std::size_t q = 0; q < kMaxQuantities - room; ++q)
            quantities.push_back({std::to_string(q), std::vector<Unit>(kMaxUnits - room)});
        UnitDatabase db(quantities, TextEncoding::Cp1251);
        EXPECT_EQ(db.addUnit(0).code, full ? ErrorCode::TooManyUnits : ErrorCode::None);
        EXPECT_EQ(db.addQuantity("Новая").code,
                  full ? ErrorCode::TooManyCategories : ErrorCode::None);
        EXPECT_EQ(std::tuple(db.changed(), db.size(), db[0].units.size()),
                  std::tuple(!full, kMaxQuantities, kMaxUnits));
    }
}
