// The command line as a library: how arguments become a request, and how the value and the
// target are resolved over the shipped Base.dat.
#include "cli/commandline.h"

#include "unitdb/basefile.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace cli;

TEST(Arguments, BecomeOneRequestOrAUsageError)
{
    using A = Request::Action;
    const struct {
        std::vector<std::string_view> args;
        A action;
        std::string value, target, word;
        std::optional<int> places;
        bool usage = false;
    } rows[] = {
        {{}, A::Lines, "", "", "", {}},
        {{"-", "см"}, A::Lines, "", "см", "", {}},
        {{"5 фут", "см"}, A::Convert, "5 фут", "см", "", {}},
        {{"-5", "-d", "-1"}, A::Convert, "-5", "", "", -1}, // a negative value is no option
        {{"-d", "3", "(2)"}, A::Convert, "(2)", "", "", 3},
        {{"--list"}, A::List, "", "", "", {}},
        {{"--list", "Длина", "-d", "2"}, A::List, "", "", "Длина", 2},
        {{"--find", "dthcn"}, A::Find, "", "", "dthcn", {}},
        {{"1", "--help", "-x"}, A::Help, "", "", "", {}},
        {{"-d", "16", "1"}, A::Help, "", "", "", {}, true},
        {{"-d"}, A::Help, "", "", "", {}, true},
        {{"-x"}, A::Help, "", "", "", {}, true},
        {{"1", "м", "км"}, A::Help, "", "", "", {}, true},
        {{"--find", "a", "--list"}, A::Help, "", "", "", {}, true},
        {{"--describe", "м", "км"}, A::Help, "", "", "", {}, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        const auto parsed = parseArguments(row.args);
        ASSERT_EQ(std::holds_alternative<UsageError>(parsed), row.usage);
        if (row.usage)
            continue;
        const Request& r = std::get<Request>(parsed);
        EXPECT_EQ(r.action, row.action);
        EXPECT_EQ(r.value, row.value);
        EXPECT_EQ(r.target, row.target);
        EXPECT_EQ(r.word, row.word);
        EXPECT_EQ(r.places, row.places);
    }
}

TEST(Converter, ResolvesTheValueAndTheTargetAsTheInputLineDoes)
{
    unitdb::UnitDatabase db;
    ASSERT_TRUE(unitdb::load(db, MV_SOURCE_DIR "/data/Base.dat").ok());
    db.sortUnits();
    const Converter converter(db, {true, 9});
    const struct {
        const char* value;
        const char* target;
        Outcome expected;
    } rows[] = {
        {"1 верста", "", {Exit::Ok, "1066.8 м"}}, // no target: the quantity's own unit
        {"1 верста", "вёрст", {Exit::Ok, "1"}},
        {"5", "с", {Exit::Ok, "5"}},          // a bare number needs no quantity
        {"1 дюйм", "мм", {Exit::Ok, "25.4"}}, // «мм» names units of two quantities
        {"1 мин", "с", {Exit::Ok, "60"}},
        {"5 футт",
         "см",
         {Exit::Unit, "Единицы «футт» нет. Похожие единицы: «Фурлонг (фурлонг)» "
                      "(Длина), «Фут (фут)» (Длина), «Фут в минуту (фут/мин)» (Скорость), "
                      "«Фут в секунду (фут/с)» (Скорость), «Фут водяного столба (фут вод. "
                      "ст.)» (Давление)."}},
        {"(5", "", {Exit::Calculation, "Скобка не закрыта: «(5»."}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(converter.convert(row.value, row.target), row.expected);
    }
}

TEST(Run, ReadsLinesToTheEndAndExitsWithTheWorstCode)
{
    const Places places{{MV_SOURCE_DIR "/data/Base.dat"}, testing::TempDir() + "none.reg"};
    std::istringstream in("1 верста -> км\r\n5 кг\n\n2*(3+4)\n1/0\n");
    std::ostringstream out, err;
    Request lines;
    lines.target = "фут";
    EXPECT_EQ(run(lines, places, in, out, err), 3);
    EXPECT_EQ(out.str(), "1.0668\n\n\n14\n\n");
    EXPECT_EQ(err.str(), "metrovanta-cli: строка 2: «кг» — единица другой величины: «Масса».\n"
                         "metrovanta-cli: строка 5: Деление на ноль не допускается!\n");
}
