// The conversion rules on a small database, row by row, with results worked out by hand.
#include "convmodel/conversionmodel.h"
#include "convmodel/inputtext.h"
#include "unitdb/basefile.h"
#include "words/problemwords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <numeric>

using namespace convmodel;
using unitdb::Quantity;
using unitdb::Unit;

namespace
{

// Slots of the first quantity (the lists' order, bar the units added for the unit words).
enum Length { Angstrom, Arshin, Versta, Kilometre, Metre, Centimetre, Foot, Yard };

unitdb::UnitDatabase sampleDatabase()
{
    return unitdb::UnitDatabase(
        {
            Quantity{"Длина",
                     {Unit{"Ангстрем (А)", 1e-10, "Для длин волн."},
                      Unit{"Аршин (арш)", 0.7112, "Старая русская мера."},
                      Unit{"Верста", 1066.8, "Пятьсот саженей."}, Unit{"Километр (км)", 1000, ""},
                      Unit{"Метр (м)", 1, "Основная единица длины."},
                      Unit{"Сантиметр (см)", 0.01, "Сотая доля метра."},
                      Unit{"Фут (фт)", 0.3048, "Двенадцать дюймов."},
                      Unit{"Ярд (ярд)", 0.9144, "Три фута."}, Unit{"Дюйм (дюйм)", 0.0254, ""},
                      Unit{"Миллиметр (мм)", 0.001, ""}, Unit{"Мегаметр (Мм)", 1e6, ""},
                      Unit{"Сажень маховая", 1.76, ""}, Unit{"Шаку (sh)", 0.30303, ""}}},
            Quantity{"Масса",
                     {Unit{"Грамм (г)", 0.001, ""}, Unit{"Килограмм (кг)", 1, ""},
                      Unit{"Тонна (т)", 1000, ""}}},
            Quantity{"Пустая", {}},
            // A second quantity of the same name is a quantity of its own.
            Quantity{"Длина",
                     {Unit{"Дубль", 0.5, "первый"}, Unit{"Дубль", 0.25, "второй"},
                      Unit{"Пядь", 0.18, ""}, Unit{"Кв. метр (м2)", 2, ""}}},
        },
        unitdb::TextEncoding::Cp1251);
}

class ConversionModelTest : public testing::Test
{
protected:
    unitdb::UnitDatabase m_db = sampleDatabase();
    ConversionModel m_model{m_db, '.'};

    void SetUp() override
    {
        m_model.setListed({0, 1, 2, 3});
        m_model.selectQuantity(0);
    }
    void units(int in, std::array<int, 4> out)
    {
        m_model.selectUnit(kInputRow, in);
        for (int row = 0; row < kOutputRows; ++row)
            m_model.selectUnit(row, out[static_cast<std::size_t>(row)]);
    }
    std::array<int, 5> slots() const
    {
        return {m_model.unitSlot(0), m_model.unitSlot(1), m_model.unitSlot(2), m_model.unitSlot(3),
                m_model.unitSlot(kInputRow)};
    }
};

} // namespace

TEST_F(ConversionModelTest, ConvertsTheLineByBothCoefficients)
{
    const struct {
        const char* input;
        int in;
        int out;
        int places; // -1: no rounding
        char separator;
        const char* shown;
    } rows[] = {
        {"5", Metre, Centimetre, 9, '.', "500"},
        {"1000", Kilometre, Metre, 9, '.', "1000000"},
        {"1", Versta, Metre, 9, '.', "1066.8"},
        {"2.5e3", Metre, Metre, 9, '.', "2500"},
        {"12abc", Metre, Metre, 9, '.', "12"},
        {"1 000", Metre, Metre, 9, '.', "1000"},
        {"2+3", Metre, Metre, 9, '.', "5"},    // an expression converts what Enter gives
        {"1e -3", Metre, Metre, 9, '.', "-2"}, // the calculator's cut, not the number reader
        {"0.1234567891", Foot, Centimetre, 9, '.', "3.762962932"},   // a number as it stands
        {"0.1234567891+0", Foot, Centimetre, 9, '.', "3.762962929"}, // Enter's 0.123456789
        {"", Metre, Centimetre, 9, '.', "0"},
        {"2", Foot, Yard, -1, '.', "0.666666666666667"},
        {"7", Arshin, Yard, -1, '.', "5.44444444444444"}, // the quotient first, then the product
        {"2", Foot, Yard, 2, '.', "0.67"},
        {"2", Foot, Yard, 2, ',', "0,67"},
        {"0.125", Metre, Metre, 2, '.', "0.12"}, // halves go to the even neighbour
        {"0.375", Metre, Metre, 2, '.', "0.38"},
        {"2.5", Metre, Metre, 0, '.', "2"},
        {"3.5", Metre, Metre, 0, '.', "4"},
        {"3,5", Metre, Centimetre, 9, '.', "350"}, // the line keeps a period
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.input);
        ConversionModel model(m_db, row.separator);
        model.setListed({0});
        model.selectQuantity(0);
        model.setRounding({row.places >= 0, std::max(row.places, 0)});
        model.selectUnit(kInputRow, row.in);
        model.selectUnit(0, row.out);
        model.setInput(row.input);
        EXPECT_EQ(model.outputText(0), row.shown);
        EXPECT_EQ(model.output(0).state, Output::State::Value);
    }
}

TEST_F(ConversionModelTest, ValuesBeyondTheDoubleRangeOverflowAndTellEnter)
{
    units(Kilometre, {Angstrom, Metre, Metre, Metre});
    m_model.setInput("1e300"); // 1e300 km is 1e313 Å
    EXPECT_EQ(m_model.output(0).state, Output::State::Overflow);
    EXPECT_EQ(m_model.outputText(0), "");
    EXPECT_EQ(m_model.outputText(1), "1E+303");
    EXPECT_TRUE(m_model.enter().overflowed);

    m_model.setInput("1e400");
    for (int row = 0; row < kOutputRows; ++row)
        EXPECT_EQ(m_model.output(row).state, Output::State::Overflow);
    m_model.setInput("1");
    EXPECT_FALSE(m_model.enter().overflowed);
}

TEST_F(ConversionModelTest, ChoosingAQuantityTakesTheUnitsItWasLastUsedWith)
{
    // Never used: the base unit in the input row, the others below it in list order.
    EXPECT_EQ(slots(), (std::array<int, 5>{Angstrom, Arshin, Versta, Kilometre, Metre}));
    units(Foot, {Centimetre, Yard, Metre, Metre});
    m_model.setInput("5");
    const struct {
        RowUnits used; // of Масса, by row
        std::array<int, 5> slots;
    } rows[] = {
        {{}, {0, 2, 0, 2, 1}}, // Грамм, Тонна, round again; Килограмм in the input row
        {{"Тонна (т)", "Пуд", "", "Грамм (г)", "Грамм (г)"}, {2, 2, 0, 0, 0}}, // one by one
    };
    for (const auto& row : rows) {
        m_model.setUsedUnits({{"Масса", row.used}});
        m_model.selectQuantity(1);
        EXPECT_EQ(slots(), row.slots);
    }
    EXPECT_EQ(m_model.panel()->unitName, "Грамм (г)");
    EXPECT_EQ(m_model.outputText(0), "5E-06"); // 5 г in т

    // Without units nothing is chosen, and outputs and panel stay as they were.
    m_model.selectQuantity(2);
    EXPECT_EQ(slots(), (std::array<int, 5>{-1, -1, -1, -1, -1}));
    EXPECT_EQ(m_model.outputText(0), "5E-06");
    EXPECT_EQ(m_model.panel()->unitName, "Грамм (г)");
    // A row without a unit converts with the coefficient it had last; no input unit gives 0.
    m_model.setInput("3");
    EXPECT_EQ(m_model.outputText(0), "0");
}

TEST_F(ConversionModelTest, TheListKeepsTheChosenQuantityByItsPlaceInTheDatabase)
{
    m_model.selectQuantity(1);
    m_model.setListed({1, 3}); // Длина hidden: Масса stays chosen, now first
    EXPECT_EQ(m_model.quantityPosition(), 0);
    EXPECT_EQ(m_model.quantityIndex(), 1u);
    m_model.setListed({0, 3}); // Масса hidden: nothing is chosen
    EXPECT_EQ(m_model.quantity(), nullptr);
    EXPECT_EQ(m_model.unitSlot(kInputRow), -1);
    m_model.selectUnit(kInputRow, 0); // no list to choose from
    EXPECT_EQ(m_model.unitSlot(kInputRow), -1);
}

TEST_F(ConversionModelTest, AfterTheEditorRowsKeepTheSlotsStillThereAndThePanelItsRow)
{
    units(Yard, {Metre, Foot, Angstrom, Yard});
    m_model.showInPanel(1);
    ASSERT_TRUE(m_db.deleteUnit(0, Versta).ok());
    m_model.refresh();
    // Each on its unit, which moved up a place.
    EXPECT_EQ(slots(), (std::array<int, 5>{Metre - 1, Foot - 1, Angstrom, Yard - 1, Yard - 1}));
    EXPECT_EQ(m_model.panel()->unitName, "Фут (фт)");
    ASSERT_TRUE(m_db.renameUnit(0, Metre - 1, "Метр новый").ok());
    ASSERT_TRUE(m_db.deleteUnit(0, Yard - 1).ok());
    m_model.refresh(); // a renamed unit keeps its place; a deleted one's rows take the next unit
    EXPECT_EQ(slots(), (std::array<int, 5>{Metre - 1, Foot - 1, Angstrom, Yard - 1, Yard - 1}));
    EXPECT_EQ(m_db.unit(0, Yard - 1).name, "Дюйм (дюйм)");
}

TEST_F(ConversionModelTest, ClickingAnOutputMakesItTheInputInPlace)
{
    units(Metre, {Centimetre, Kilometre, Metre, Metre});
    m_model.setInput("5");
    m_model.swap(0);
    EXPECT_EQ(m_model.input(), "500");
    EXPECT_EQ(m_model.unitSlot(kInputRow), Centimetre);
    EXPECT_EQ(m_model.unitSlot(0), Metre);
    EXPECT_EQ(m_model.outputText(0), "5");
    EXPECT_EQ(m_model.outputText(1), "0.005");
    EXPECT_EQ(m_model.panel()->unitName, "Метр (м)");

    // A value shown with a decimal comma comes over with a period; a zero leaves the line empty.
    ConversionModel comma(m_db, ',');
    comma.setListed({0});
    comma.selectQuantity(0);
    comma.selectUnit(kInputRow, Centimetre);
    comma.selectUnit(1, Metre);
    comma.setInput("25");
    comma.swap(1);
    EXPECT_EQ(comma.input(), "0.25");
    comma.setInput("");
    comma.swap(2);
    EXPECT_EQ(comma.input(), "");
}

// While typing, the outputs show what Enter will give; Enter then leaves them as they are.
TEST_F(ConversionModelTest, EnterEvaluatesInPlace)
{
    enum Outcome { Value, Unclosed, Fails };
    const struct {
        const char* typed;
        int places; // -1: no rounding
        const char* after;
        Outcome outcome;
    } rows[] = {
        {"2*(3+4)", 9, "14", Value},
        {"", 9, "0", Value},
        {"(5", 9, "(5", Unclosed},
        {"1/0", 9, "1/0", Fails},
        {"1/3", 2, "0.33", Value},
        {"2,5*2", 9, "5", Value},
        {"1/3", -1, "0.333333333333333", Value},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        m_model.setRounding({row.places >= 0, std::max(row.places, 0)});
        m_model.setInput(row.typed);
        const std::string shown = m_model.outputText(0);
        EXPECT_EQ(m_model.output(0).state == Output::State::NoValue, row.outcome != Value);
        const EnterResult result = m_model.enter();
        EXPECT_EQ(result.failure.has_value(), row.outcome == Fails);
        EXPECT_EQ(m_model.input(), row.after);
        EXPECT_EQ(m_model.outputText(0), shown);
    }
    m_model.setInput("ln0");
    EXPECT_EQ(std::get<calc::CalcFailure>(*m_model.lineProblem()).code, calc::CalcError::LogDomain);
    EXPECT_EQ(m_model.enter().failure->code, calc::CalcError::LogDomain);
}

// A unit word after a number or a bracket makes it an amount of that unit, in the input unit.
TEST_F(ConversionModelTest, UnitWordsAreAmountsOfTheirUnits)
{
    enum { NoRefusal = -1 };
    const struct {
        const char* typed;
        int in;
        const char* after; // the line after Enter, or the word refused (the line stays)
        int refused;       // an UnitWordError
        std::vector<std::string> names;
    } rows[] = {
        {"5 фт 11 дюйм", Centimetre, "180.34", NoRefusal, {}},
        {"5 футов 2 дюйма", Centimetre, "157.48", NoRefusal, {}},
        {"5 фт + 11 дюйм", Centimetre, "180.34", NoRefusal, {}},
        {"1 верста - 300 м", Centimetre, "76680", NoRefusal, {}},
        {"(2 фт)*3", Centimetre, "182.88", NoRefusal, {}},
        {"1,5км", Centimetre, "150000", NoRefusal, {}},
        {"фт", Centimetre, "30.48", NoRefusal, {}},              // no amount: one of it
        {"-5 фт 11 дюйм", Centimetre, "-180.34", NoRefusal, {}}, // negative as a whole
        {"2*5 фт 11 дюйм", Centimetre, "360.68", NoRefusal, {}},
        {"2 вёрсты - 300 метров", Metre, "1833.6", NoRefusal, {}},
        {"10 саженей маховых", Metre, "17.6", NoRefusal, {}},
        {"1 мм", Metre, "0.001", NoRefusal, {}}, // letter case tells them apart
        {"1 Мм", Metre, "1000000", NoRefusal, {}},
        {"ярд*2", Foot, "6", NoRefusal, {}},
        {"pi фт", Centimetre, "95.755744094", NoRefusal, {}}, // the calculator's pi, 3.141592654
        {"2 sh", Metre, "20", NoRefusal, {}},                 // the function, not the unit
        {"1 ММ", Metre, "ММ", int(UnitWordError::Ambiguous), {"Миллиметр (мм)", "Мегаметр (Мм)"}},
        {"2 кг", Metre, "кг", int(UnitWordError::OtherQuantity), {"Масса"}},
        {"5 м²", Metre, "м²", int(UnitWordError::OtherQuantity), {"Длина"}}, // not «5 м» and «²»
        {"5 фт 11", Metre, "11", int(UnitWordError::NoUnit), {}},
        {"5 фт (11)", Metre, "(11)", int(UnitWordError::NoUnit), {}},
        {"5 фт 11 дю", Metre, "дю", int(UnitWordError::UnknownWord), {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        m_model.selectUnit(kInputRow, row.in);
        m_model.setInput(row.typed);
        const std::string shown = m_model.outputText(0);
        const EnterResult result = m_model.enter();
        EXPECT_EQ(m_model.outputText(0), shown);
        EXPECT_EQ(m_model.input(), result.refused ? row.typed : row.after);
        EXPECT_EQ(result.refused ? int(result.refused->code) : NoRefusal, row.refused);
        if (result.refused) {
            EXPECT_EQ(result.refused->word, row.after);
            EXPECT_EQ(result.refused->names, row.names);
        }
    }
}

TEST_F(ConversionModelTest, LogEntryNamesEachUnitByItsShortName)
{
    units(Metre, {Centimetre, Kilometre, Versta, Angstrom});
    m_model.setInput("2*(3+4)");
    m_model.enter();
    m_model.selectUnit(3, Foot);
    EXPECT_EQ(
        m_model.logLines("2*(3+4)", "Переполнение"),
        (std::vector<std::string>{"2*(3+4) м = 14 м = ", "       = 1400 см", "       = 0.014 км",
                                  "       = 0.01312336 Верста", "       = 45.93175853 фт", ""}));
    m_model.setInput("1e400");
    EXPECT_EQ(m_model.logLines("1e400", "Переполнение")[1], "       = Переполнение см");
}

TEST_F(ConversionModelTest, PanelDescribesTheLastUnitOfTheName)
{
    m_model.selectUnit(kInputRow, Metre);
    EXPECT_EQ(m_model.describe(kInputRow).text, "Основная единица длины.");
    m_model.selectUnit(1, Kilometre);
    EXPECT_EQ(m_model.panel()->unitName, "Километр (км)");
    EXPECT_EQ(m_model.panel()->text, std::nullopt);
    m_model.selectQuantity(3);
    EXPECT_EQ(m_model.describe(0).text, "второй");
}

TEST_F(ConversionModelTest, FoundUnitGoesToItsRowAndTheOthersToTheQuantitysOwn)
{
    units(Metre, {Centimetre, Yard, Angstrom, Arshin});
    m_model.chooseFound(0, 1, 2); // Тонна, from Масса's three units
    EXPECT_EQ(m_model.quantityIndex(), 1u);
    EXPECT_EQ(slots(), (std::array<int, 5>{2, 2, 0, 2, 1}));
    m_model.chooseFound(kInputRow, 1, 0); // same quantity: only the row moves
    EXPECT_EQ(slots(), (std::array<int, 5>{2, 2, 0, 2, 0}));
}

TEST(LetterJump, StepsThroughTheEntriesOfTheTypedLetter)
{
    const std::array<char32_t, 5> initials{U'А', U'А', U'В', U'К', U'М'};
    const struct {
        int selected;
        char32_t typed;
        int target;
    } rows[] = {
        {-1, U'В', 2}, {0, U'А', 1}, {1, U'А', 0},
        {2, U'А', 0},  {3, U'М', 4}, {4, U'М', -1}, // the last entry has the letter: nothing moves
        {0, U'Я', -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.selected);
        EXPECT_EQ(ConversionModel::letterJump(initials, row.selected, row.typed), row.target);
    }
    EXPECT_EQ(ConversionModel::letterJump({}, -1, U'А'), -1);
}

// The same cases go through metrovanta-cli (cli/tests/test_cli.py): both must agree.
TEST(SharedCases, EnterLeavesTheCommandLinesResult)
{
    unitdb::UnitDatabase db;
    ASSERT_TRUE(unitdb::load(db, MV_SOURCE_DIR "/data/Base.dat").ok());
    db.sortUnits();
    ConversionModel model(db, ',');
    std::vector<std::size_t> all(db.size());
    std::iota(all.begin(), all.end(), 0);
    model.setListed(all);
    std::ifstream cases(MV_SOURCE_DIR "/cli/tests/shared_cases.txt");
    int count = 0;
    for (std::string line; std::getline(cases, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        SCOPED_TRACE(line);
        std::vector<std::string> f;
        for (std::size_t at = 0, bar = 0; bar != std::string::npos; at = bar + 3)
            f.push_back(line.substr(at, (bar = line.find(" | ", at)) - at));
        ASSERT_EQ(f.size(), 5u);
        const int places = std::stoi(f[0]);
        const auto q = std::ranges::find(db.quantities(), f[2], &unitdb::Quantity::name);
        model.selectQuantity(static_cast<int>(q - db.quantities().begin()));
        const auto unit = std::ranges::find(
            q->units, f[3], [](const unitdb::Unit& u) { return shortName(u.name); });
        ASSERT_NE(unit, q->units.end());
        model.selectUnit(kInputRow, static_cast<int>(unit - q->units.begin()));
        model.setRounding({places >= 0, std::max(places, 0)});
        model.setInput(f[1]);
        const EnterResult r = model.enter();
        EXPECT_EQ(r.failure   ? words::calcErrorText(r.failure->code)
                  : r.refused ? words::unitWordText(*r.refused)
                              : model.input(),
                  f[4]);
        ++count;
    }
    EXPECT_GT(count, 10);
}
