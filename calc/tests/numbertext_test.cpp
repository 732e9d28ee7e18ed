#include "calc/numbertext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

using calc::numberText;
using calc::readNumber;

TEST(ReadNumber, ReadsLeadingNumberStopsSilentlyAndNeverHangs)
{
    const std::pair<std::string, double> rows[] = {
        {"", 0},
        {"abc", 0},
        {"12", 12},
        {"  -3.5", -3.5},
        {"+.25", 0.25},
        {"1 2 3", 123},
        {"- 4", -4},
        {"1.5.6", 1.5},
        {"2e3", 2000},
        {"2E-3", 0.002},
        {"2 e + 3", 2000},
        {"1e", 1},
        {"1e+", 1},
        {"7x9", 7},
        {"3,5", 3},
        {".", 0},
        {"-", 0},
        {"0.000", 0},
        {"23.141592654", 23.141592654},
        {"1)", 1},
        {"1E+308", 1e308},
        {"00012", 12},
        {"1e-400", 0},
        {"1e400", INFINITY},
        {"-1e400", -INFINITY},
        {"1e99999999999999999999999", INFINITY},
        {std::string(500, '9'), INFINITY},
        {"0." + std::string(500, '0') + "1", 0},
    };
    for (const auto& [text, value] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(readNumber(text), value);
    }
}

TEST(NumberText, FifteenDigitsWithoutTrailingZerosAndTheGivenSeparator)
{
    struct Row {
        double value;
        const char* text;
        char separator = '.';
    };
    // clang-format off
    const Row rows[] = {
        {0, "0"}, {-0.0, "0"}, {-2.5, "-2.5"}, {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"}, {0.1 + 0.2, "0.3"}, {123456789012345, "123456789012345"},
        {999999999999999.9, "1E+15"}, {1.5e300, "1.5E+300"}, {0.00012345, "0.00012345"},
        {0.00001, "1E-05"}, {-1.25e-7, "-1.25E-07"}, {100, "100"},
        {4.94065645841247e-324, "4.94065645841247E-324"},
        {-0.001, "-0,001", ','}, {1.5e-9, "1,5E-09", ','}, {1000, "1000", ','},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(numberText(row.value, row.separator), row.text);
    }
    EXPECT_EQ(calc::plainNumberText(0.5), ".5");
    for (const auto& [value, text] : {std::pair{7.0, " 7"},
                                      {0.0, " 0"},
                                      {0.5, " .5"},
                                      {-0.25, "-.25"},
                                      {-3.0, "-3"},
                                      {1e20, " 1E+20"}})
        EXPECT_EQ(calc::signedNumberText(value), text);
}

TEST(NumberText, EveryTextReadsBackAsTheSameFifteenDigitValue)
{
    std::mt19937_64 rng(20261206);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> exponent(-320, 305);
    for (int i = 0; i < 20000; ++i) {
        const std::string text = numberText(mantissa(rng) * std::pow(10.0, exponent(rng)));
        ASSERT_EQ(numberText(readNumber(text)), text);
    }
}

TEST(RoundToPlaces, ExactHalvesGoToEven)
{
    // 0.145 is stored a little below the half, 0.135 a little above.
    const std::tuple<double, int, double> rows[] = {
        {0.125, 2, 0.12},  {0.375, 2, 0.38},  {2.5, 0, 2},      {3.5, 0, 4},
        {-2.5, 0, -2},     {0.5, 0, 0},       {1.5, 0, 2},      {2.0 / 3, 2, 0.67},
        {0.145, 2, 0.14},  {0.135, 2, 0.14},  {1.005, 2, 1.0},  {123.456, 15, 123.456},
        {1e300, 3, 1e300}, {-0.004, 2, -0.0}, {99.995, 2, 100}, {99.985, 2, 99.98},
    };
    for (const auto& [value, places, rounded] : rows) {
        SCOPED_TRACE(numberText(value) + " to " + std::to_string(places));
        EXPECT_EQ(calc::roundToPlaces(value, places), rounded);
    }
}
