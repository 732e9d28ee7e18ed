// The number reader and writers every text box and file goes through, and the
// rounding the calculator applies.
#include "calc/numbertext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <tuple>

using calc::numberText;
using calc::readNumber;

TEST(ReadNumber, ReadsLeadingNumberStopsSilentlyAndNeverHangs)
{
    // A comma ends the number: the calculator turns commas into points before reading.
    const std::pair<std::string, double> rows[] = {
        {"  -3.5", -3.5}, {"+.25", 0.25},    {"1 2 3", 123}, {"1.5.6", 1.5},
        {"2E-3", 0.002},  {"2 e + 3", 2000}, {"1e+", 1},     {"3,5", 3},
        {".", 0},         {"-", 0},          {"1e-400", 0},  {"-1e400", -INFINITY}};
    for (const auto& [text, value] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(readNumber(text), value);
    }
    // An exponent and a text far longer than any double's digits.
    EXPECT_EQ(readNumber("1e99999999999999999999999"), INFINITY);
    EXPECT_EQ(readNumber("0." + std::string(500, '0') + "1"), 0);
}

TEST(NumberText, FifteenDigitsWithoutTrailingZerosAndTheGivenSeparator)
{
    const std::pair<double, const char*> rows[] = {
        {2.0 / 3, "0.666666666666667"},       {0.1 + 0.2, "0.3"},
        {123456789012345, "123456789012345"}, {999999999999999.9, "1E+15"},
        {0.00012345, "0.00012345"},           {0.00001, "1E-05"}};
    for (const auto& [value, text] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(numberText(value), text);
    }
    EXPECT_EQ(numberText(-0.001, ','), "-0,001");
    EXPECT_EQ(numberText(1.5e-9, ','), "1,5E-09");
    const std::pair<double, const char*> signedRows[] = {
        {-0.0, " 0"}, {100, " 100"}, {0.5, " .5"}, {-0.25, "-.25"}, {1e20, " 1E+20"}};
    for (const auto& [value, text] : signedRows)
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
    // 0.145 is stored a little below the half, 0.135 and 99.995 a little above.
    const std::tuple<double, int, double> rows[] = {
        {0.125, 2, 0.12}, {3.5, 0, 4},      {-2.5, 0, -2},    {0.5, 0, 0},
        {0.145, 2, 0.14}, {0.135, 2, 0.14}, {99.995, 2, 100}, {123.456, 15, 123.456},
        {1e300, 3, 1e300}};
    for (const auto& [value, places, rounded] : rows) {
        SCOPED_TRACE(numberText(value) + " to " + std::to_string(places));
        EXPECT_EQ(calc::roundToPlaces(value, places), rounded);
    }
}
