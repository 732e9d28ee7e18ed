#include "calc/calculator.h"

#include "calc/numbertext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <span>
#include <string>
#include <tuple>

using calc::CalcError;
using calc::CalcFailure;
using calc::CalcOptions;
using calc::RoundingMode;

namespace
{

const CalcOptions kRound2{RoundingMode::On, 2};

// Texts the rewriting must reproduce digit for digit.
std::string fifteen(double v)
{
    return calc::numberText(v, '.');
}

} // namespace

// Bracket-free texts take the flat evaluation's path.
TEST(BracketEvaluation, ValuesFollowTheRewritingRules)
{
    struct Row {
        std::string text;
        double value;
        CalcOptions options = {};
    };
    // Divisions go left to right and a quotient keeps its entry's minus; a sign
    // may follow an operator across blanks.
    const Row arithmetic[] = {
        {"", 0},          {"2+3*4", 14},   {"2*3+4", 10},    {"8/4/2", 1},      {"2-3*4", -10},
        {"-2*3", -6},     {"2-6/3*4", -6}, {"-6/2+1", -2},   {"2*-3", -6},      {"1--1", 2},
        {"2* -3", -6},    {"2 - - 3", 5},  {"1E+3*2", 2000}, {"1e-3*2", 0.002}, {"3,5+1", 4.5},
        {" 1 2 + 1", 13}, {"abc", 0},      {"2+x", 2},       {"-0.5", -0.5},
    };
    // Every intermediate result goes through its 15-digit text: "3*1/3" divides
    // first; the digits of pi join the 2 and a second point stops the reader;
    // products go from the right (left to right would underflow to 0); a lone
    // operand is not rewritten. Rounding halves to even, its places clamped to 15.
    // Functions apply in table order: arccos before sin (its text has a period),
    // sin before sqr (sin reads "sqr2" as 0).
    // clang-format off
    const Row rewritten[] = {
        {"1/3*3", 0.999999999999999}, {"3*1/3", 0.999999999999999}, {"2pi", 23.141592654},
        {"pipi", 3.1415926543}, {"1e-200*1e-200*1e200", 1e-200},
        {"0.1234567890123456789", 0.1234567890123456789},
        {"0.1234567890123456789+0", 0.123456789012346}, {"2/3", 0.67, kRound2},
        {"1/3*3", 1, kRound2}, {"2.5", 2, {RoundingMode::On, 0}}, {"0.125", 0.12, kRound2},
        {"1/3", 0.333333333333333, {RoundingMode::On, 40}}, {"sinarccos0.6", 0.8},
        {"sinsqr2", 0}, {"cth1", 1.31303528549933},
    };
    // clang-format on
    // Innermost first; a bracket leaves its signed value text, so "2(3)" is 23
    // (no implied product), "(0.5)(0.5)" reads " .5 .5" as .5, and a rounded
    // value stays rounded.
    const Row brackets[] = {
        {"(2+3)*4", 20},
        {"2*(3+4)", 14},
        {"((1+2)*(3+4))", 21},
        {"2*(3+(4-1))", 12},
        {"2*(1-4)", -6},
        {"1-(2-3)", 2},
        {"-(2)", -2},
        {"sin(pi/2)", 1},
        {"lg(1000)", 3},
        {"5)", 5},
        {"()", 0},
        {"1e(-3)", 0.001},
        {"2(3)", 23},
        {"(0.5)(0.5)", 0.5},
        {"(1/3)*3", 0.99, kRound2},
        {"sqrt(sqr(3)+sqr(4))", 5},
    };
    for (const auto rows : {std::span<const Row>(arithmetic), std::span<const Row>(rewritten),
                            std::span<const Row>(brackets)}) {
        for (const auto& row : rows) {
            SCOPED_TRACE(row.text);
            EXPECT_EQ(calc::evaluate(row.text, row.options), calc::BracketResult(row.value));
        }
    }
}

TEST(FunctionApplication, ReplacesEveryCallByItsFifteenDigitText)
{
    constexpr double pi = std::numbers::pi;
    // "+3" after an argument is no exponent sign; the argument's sign may follow
    // blanks; an inner name is part of the argument.
    // clang-format off
    const std::tuple<const char*, const char*, std::string> rows[] = {
        {"sin0", "sin", "0"}, {"cos0", "cos", "1"}, {"sqr3", "sqr", "9"}, {"sqrt9", "sqrt", "3"},
        {"lg100", "lg", "2"}, {"exp0", "exp", "1"}, {"th1000", "th", "1"},
        {"cth-1000", "cth", "-1"}, {"2sin0", "sin", "20"}, {"sin", "sin", "0"},
        {"SIN1", "sin", "SIN1"}, {"sinsin1", "sin", "0"}, {"sqrt16+sqrt9*sqrt4", "sqrt", "4+3*2"},
        {"arcsin1", "arcsin", fifteen(pi / 2)}, {"arcsin-1", "arcsin", fifteen(-pi / 2)},
        {"arccos-1", "arccos", fifteen(pi)}, {"arcctg0", "arcctg", fifteen(pi / 2)},
        {"arcctg-1", "arcctg", fifteen(3 * pi / 4)},
        {"sh-2+1", "sh", fifteen((std::exp(-2) - std::exp(2)) / 2) + "+1"},
        {"sin1E-3*2", "sin", fifteen(std::sin(0.001)) + "*2"},
        {"sin1e2+3", "sin", fifteen(std::sin(100)) + "+3"},
        {"sin -2", "sin", fifteen(std::sin(-2))}, {"sin .5", "sin", fifteen(std::sin(0.5))},
    };
    // clang-format on
    for (const auto& [text, name, expected] : rows) {
        SCOPED_TRACE(text);
        const auto r = calc::applyFunction(text, name);
        ASSERT_TRUE(std::holds_alternative<std::string>(r));
        EXPECT_EQ(std::get<std::string>(r), expected);
    }
}

TEST(BracketEvaluation, UnmatchedOpeningBracketReturnsTextAsTyped)
{
    for (const std::string text : {"(5", "((1+2)", "(1/0", "2*(3+(4", ")(", "ln0+(", "(1)+(2"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(calc::evaluate(text), calc::BracketResult(calc::Unevaluated{text}));
    }
}

TEST(BracketEvaluation, FailuresCarryCodeAndPlaceInTypedText)
{
    // The last bracket goes first; the largest double's 15-digit text reads back
    // as infinity.
    using enum CalcError;
    // clang-format off
    const std::tuple<const char*, CalcError, std::size_t> rows[] = {
        {"5/0", DivisionByZero, 1}, {"5/", DivisionByZero, 1}, {"1+2/ x", DivisionByZero, 3},
        {"2*(1/0)", DivisionByZero, 4}, {"2/(1-1)", DivisionByZero, 1}, {"pi/0", DivisionByZero, 2},
        {"ln0", LogDomain, 0}, {"2+lg-1", LogDomain, 2}, {"(1+2)*ln(2-2)", LogDomain, 6},
        {"(1/0)+(ln0)", LogDomain, 7}, {"sqrt-4", NoRealValue, 0}, {"1+arcsin2", NoRealValue, 2},
        {"arccos(-1.5)", NoRealValue, 0}, {"ctg0", NotFinite, 0}, {"exp1000", Overflow, 0},
        {"sqr1e200", Overflow, 0}, {"1e200*1e200", Overflow, 5}, {"1e308+1e308", Overflow, 5},
        {"(1e200)*(1e200)", Overflow, 7}, {"1e999", Overflow, 0}, {"2+ 1e999", Overflow, 3},
        {"sin1e999", Overflow, 0}, {"1.7976931348623157e308*1", Overflow, 22},
    };
    // clang-format on
    for (const auto& [text, code, position] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(calc::evaluate(text), calc::BracketResult(CalcFailure{code, position}));
    }
}

TEST(BracketEvaluation, HugeInputsNeitherCrashNorRecurse)
{
    constexpr std::size_t kDepth = 100000;
    std::string chain = "1";
    for (std::size_t i = 0; i < kDepth; ++i)
        chain += "/1";
    const std::string nested = std::string(kDepth, '(') + "1" + std::string(kDepth, ')');
    EXPECT_EQ(calc::evaluate(nested), calc::BracketResult(1.0));
    EXPECT_EQ(calc::evaluate(chain), calc::BracketResult(1.0));
    EXPECT_TRUE(
        std::holds_alternative<calc::Unevaluated>(calc::evaluate(nested.substr(0, kDepth))));
}
