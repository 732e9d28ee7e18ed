// The calculator against results worked out by hand: the rewriting's surprises,
// failures with their place, the seventeen functions against the C library, huge input.
#include "calc/calculator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <tuple>

using namespace calc;

TEST(Calculator, ResultsFollowTheRewritingRules)
{
    using enum CalcError;
    const CalcOptions off;
    const auto round = [](int places) { return CalcOptions{RoundingMode::On, places}; };
    // Divisions first, left to right, then products from the right (left to right
    // would underflow to 0); every intermediate result goes through its 15-digit text;
    // the digits of pi join the 2. Functions apply in table order: sin before sqr (it
    // reads "sqr2" as 0). A bracket leaves its signed value text: "2(3)" is 23,
    // "(0.5)(0.5)" reads " .5 .5" as .5. The last bracket goes first. Rounding applies
    // to each flat result, so a rounded bracket value stays rounded; places are clamped.
    const std::tuple<std::string, CalcOptions, BracketResult> rows[] = {
        {"2-6/3*4", off, -6.0},
        {"3*1/3", off, 0.999999999999999},
        {"1e-200*1e-200*1e200", off, 1e-200},
        {"2pi", off, 23.141592654},
        {"sinsqr2", off, 0.0},
        // e^x - e^-x (for cth e^x + e^-x) goes through its text before the division.
        {"sh0.05", off, 0.050020835937655},
        {"cth0.03", off, 33.3433327333846},
        {"2(3)", off, 23.0},
        {"(0.5)(0.5)", off, 0.5},
        {"1/3*3", round(2), 1.0},
        {"(1/3)*3", round(2), 0.99},
        {"0.1234567890123456789", round(40), 0.123456789012346},
        {"5/", off, CalcFailure{DivisionByZero, 1}},
        {"(1/0)+(ln0)", off, CalcFailure{LogDomain, 7}},
        {"1+arcsin2", off, CalcFailure{NoRealValue, 2}},
        {"ctg0", off, CalcFailure{NotFinite, 0}},
        {"exp1000", off, CalcFailure{Overflow, 0}},
    };
    for (const auto& [text, options, result] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(evaluate(text, options), result);
    }
}

TEST(Calculator, EveryFunctionMatchesTheLibrary)
{
    // Past the range of e^x th and cth are still +-1; arcctg of a negative is past pi/2.
    const std::pair<const char*, double> rows[] = {{"sh0.5", std::sinh(0.5)},
                                                   {"ch0.5", std::cosh(0.5)},
                                                   {"cth0.5", 1 / std::tanh(0.5)},
                                                   {"th0.5", std::tanh(0.5)},
                                                   {"arcsin0.5", std::asin(0.5)},
                                                   {"arccos0.5", std::acos(0.5)},
                                                   {"arcctg0.5", std::atan(2.0)},
                                                   {"arctg0.5", std::atan(0.5)},
                                                   {"sin0.5", std::sin(0.5)},
                                                   {"cos0.5", std::cos(0.5)},
                                                   {"ctg0.5", 1 / std::tan(0.5)},
                                                   {"tg0.5", std::tan(0.5)},
                                                   {"exp0.5", std::exp(0.5)},
                                                   {"sqrt0.5", std::sqrt(0.5)},
                                                   {"sqr0.5", 0.25},
                                                   {"ln0.5", std::log(0.5)},
                                                   {"lg0.5", std::log10(0.5)},
                                                   {"th1000", 1},
                                                   {"cth-1000", -1},
                                                   {"arcsin1", std::numbers::pi / 2},
                                                   {"arcctg-1", 3 * std::numbers::pi / 4}};
    for (const auto& [text, value] : rows) {
        SCOPED_TRACE(text);
        const BracketResult result = evaluate(text);
        ASSERT_TRUE(std::holds_alternative<double>(result));
        EXPECT_NEAR(std::get<double>(result), value, 1e-13);
    }
}

TEST(Calculator, HugeInputsNeitherCrashNorRecurse)
{
    constexpr std::size_t kDepth = 100000;
    std::string chain = "1";
    for (std::size_t i = 0; i < kDepth; ++i)
        chain += "/1";
    const std::string nested = std::string(kDepth, '(') + "1" + std::string(kDepth, ')');
    EXPECT_EQ(evaluate(nested), BracketResult(1.0));
    EXPECT_EQ(evaluate(chain), BracketResult(1.0));
    EXPECT_TRUE(std::holds_alternative<Unevaluated>(evaluate(nested.substr(0, kDepth))));
}
