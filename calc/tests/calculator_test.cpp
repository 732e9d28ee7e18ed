#include "calc/calculator.h"

#include "calc/numbertext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

using calc::BracketResult;
using calc::CalcError;
using calc::CalcFailure;
using calc::CalcOptions;
using calc::EvalResult;
using calc::RoundingMode;

namespace
{

const CalcOptions kRound2{RoundingMode::On, 2};

struct ValueRow {
    std::string text;
    double value;
    CalcOptions options = {};
};

struct FailureRow {
    std::string text;
    CalcError code;
    std::size_t position;
};

// Texts the rewriting must reproduce digit for digit.
std::string fifteen(double v)
{
    return calc::numberText(v, '.');
}

template <typename Result> void expectValue(const Result& r, double expected)
{
    const auto* failure = std::get_if<CalcFailure>(&r);
    ASSERT_TRUE(std::holds_alternative<double>(r))
        << "failed with code " << (failure ? static_cast<int>(failure->code) : -1);
    EXPECT_EQ(std::get<double>(r), expected);
}

} // namespace

TEST(EvalFlat, OperatorOrderSignsAndSeparators)
{
    // Divisions go left to right and a quotient keeps its entry's minus; a sign
    // may follow an operator across blanks.
    const ValueRow rows[] = {
        {"", 0},          {"2+3*4", 14},   {"2*3+4", 10},    {"8/4/2", 1},      {"2-3*4", -10},
        {"-2*3", -6},     {"2-6/3*4", -6}, {"-6/2+1", -2},   {"2*-3", -6},      {"1--1", 2},
        {"2* -3", -6},    {"2 - - 3", 5},  {"1E+3*2", 2000}, {"1e-3*2", 0.002}, {"3,5+1", 4.5},
        {" 1 2 + 1", 13}, {"abc", 0},      {"2+x", 2},       {"-0.5", -0.5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        expectValue(calc::EvalFlat(row.text, row.options), row.value);
    }
}

TEST(EvalFlat, EveryIntermediateGoesThroughFifteenDigits)
{
    const ValueRow rows[] = {
        {"1/3*3", 0.999999999999999},
        {"3*1/3", 0.999999999999999}, // the division first, then the product
        {"2pi", 23.141592654},        // the digits of pi join the 2
        {"pipi", 3.1415926543},       // the second point stops the reader
        // Products from the right: left to right would underflow to 0.
        {"1e-200*1e-200*1e200", 1e-200},
        {"0.1234567890123456789", 0.1234567890123456789}, // a lone operand is not rewritten
        {"0.1234567890123456789+0", 0.123456789012346},
        {"2/3", 0.67, kRound2},
        {"1/3*3", 1, kRound2},
        {"2.5", 2, {RoundingMode::On, 0}}, // halves to the even neighbour
        {"0.125", 0.12, kRound2},
        {"1/3", 0.333333333333333, {RoundingMode::On, 40}}, // places clamped to 15
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        expectValue(calc::EvalFlat(row.text, row.options), row.value);
    }
}

TEST(ApplyFunc, ReplacesEveryCallByItsFifteenDigitText)
{
    struct Row {
        const char* text;
        const char* name;
        std::string expected;
    };
    const Row rows[] = {
        {"sin0", "sin", "0"},
        {"cos0", "cos", "1"},
        {"sqr3", "sqr", "9"},
        {"sqrt9", "sqrt", "3"},
        {"lg100", "lg", "2"},
        {"exp0", "exp", "1"},
        {"arcsin1", "arcsin", fifteen(std::numbers::pi / 2)},
        {"arcsin-1", "arcsin", fifteen(-std::numbers::pi / 2)},
        {"sqrt16+sqrt9*sqrt4", "sqrt", "4+3*2"},
        {"sin-0.5", "sin", fifteen(std::sin(-0.5))},
        {"sh-2+1", "sh", fifteen((std::exp(-2) - std::exp(2)) / 2) + "+1"},
        {"sin1E-3*2", "sin", fifteen(std::sin(0.001)) + "*2"},
        {"sin1e2+3", "sin", fifteen(std::sin(100)) + "+3"}, // "+3" is no exponent sign
        {"sin -2", "sin", fifteen(std::sin(-2))},           // sign after blanks
        {"sin .5", "sin", fifteen(std::sin(0.5))},
        {"2sin0", "sin", "20"},
        {"sin", "sin", "0"},
        {"SIN1", "sin", "SIN1"},
        {"sinsin1", "sin", "0"}, // the inner name is part of the argument
        {"arccos-1", "arccos", fifteen(std::numbers::pi)},
        {"arcctg0", "arcctg", fifteen(std::numbers::pi / 2)},
        {"arcctg-1", "arcctg", fifteen(3 * std::numbers::pi / 4)},
        {"th1000", "th", "1"},
        {"cth-1000", "cth", "-1"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.text) + " / " + row.name);
        const auto r = calc::ApplyFunc(row.text, row.name);
        ASSERT_TRUE(std::holds_alternative<std::string>(r));
        EXPECT_EQ(std::get<std::string>(r), row.expected);
    }
}

TEST(EvalFlat, FunctionsApplyInTableOrder)
{
    const ValueRow rows[] = {
        {"cth1", std::cosh(1) / std::sinh(1)},
        // arccos comes before sin, and its result is written with a period.
        {"sinarccos0.6", 0.8},
        // sqr comes after sin: sin reads "sqr2" as 0.
        {"sinsqr2", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const auto r = calc::EvalFlat(row.text);
        ASSERT_TRUE(std::holds_alternative<double>(r));
        EXPECT_NEAR(std::get<double>(r), row.value, 1e-14);
    }
}

TEST(EvalBrackets, InnermostFirstWithSignedValueTexts)
{
    const ValueRow rows[] = {
        {"(2+3)*4", 20},
        {"2*(3+4)", 14},
        {"((1+2)*(3+4))", 21},
        {"2*(3+(4-1))", 12},
        {"2*(1-4)", -6},
        {"1-(2-3)", 2},
        {"-(2)", -2},
        {"sin(pi/2)", 1},
        {"sqrt(sqr(3)+sqr(4))", 5},
        {"lg(1000)", 3},
        {"5)", 5},
        {"2(3)", 23}, // the value's blank is skipped: no implied product
        {"()", 0},
        {"(0.5)(0.5)", 0.5}, // " .5 .5" reads as .5
        {"1e(-3)", 0.001},
        {"(1/3)*3", 0.99, kRound2}, // the bracket's value is rounded too
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        expectValue(calc::EvalBrackets(row.text, row.options), row.value);
    }
}

TEST(EvalBrackets, UnmatchedOpeningBracketReturnsTextAsTyped)
{
    for (const std::string text : {"(5", "((1+2)", "(1/0", "2*(3+(4", ")(", "ln0+(", "(1)+(2"}) {
        SCOPED_TRACE(text);
        const auto r = calc::EvalBrackets(text);
        ASSERT_TRUE(std::holds_alternative<calc::Unevaluated>(r));
        EXPECT_EQ(std::get<calc::Unevaluated>(r).text, text);
    }
}

TEST(EvalBrackets, FailuresCarryCodeAndPlaceInTypedText)
{
    const FailureRow rows[] = {
        {"5/0", CalcError::DivisionByZero, 1},
        {"5/", CalcError::DivisionByZero, 1},
        {"1+2/ x", CalcError::DivisionByZero, 3},
        {"2*(1/0)", CalcError::DivisionByZero, 4},
        {"2/(1-1)", CalcError::DivisionByZero, 1},
        {"pi/0", CalcError::DivisionByZero, 2},
        {"ln0", CalcError::LogDomain, 0},
        {"2+lg-1", CalcError::LogDomain, 2},
        {"(1+2)*ln(2-2)", CalcError::LogDomain, 6},
        {"(1/0)+(ln0)", CalcError::LogDomain, 7}, // the last bracket goes first
        {"sqrt-4", CalcError::NoRealValue, 0},
        {"1+arcsin2", CalcError::NoRealValue, 2},
        {"arccos(-1.5)", CalcError::NoRealValue, 0},
        {"ctg0", CalcError::NotFinite, 0},
        {"exp1000", CalcError::Overflow, 0},
        {"sqr1e200", CalcError::Overflow, 0},
        {"1e200*1e200", CalcError::Overflow, 5},
        {"1e308+1e308", CalcError::Overflow, 5},
        {"(1e200)*(1e200)", CalcError::Overflow, 7},
        {"1e999", CalcError::Overflow, 0},
        {"2+ 1e999", CalcError::Overflow, 3},
        {"sin1e999", CalcError::Overflow, 0},
        // Its 15-digit text would read back as infinity.
        {"1.7976931348623157e308*1", CalcError::Overflow, 22},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const auto r = calc::EvalBrackets(row.text);
        ASSERT_TRUE(std::holds_alternative<CalcFailure>(r));
        EXPECT_EQ(std::get<CalcFailure>(r), (CalcFailure{row.code, row.position}));
    }
}

TEST(EvalBrackets, HugeInputsNeitherCrashNorRecurse)
{
    constexpr int kDepth = 100000;
    const std::string nested = std::string(kDepth, '(') + "1" + std::string(kDepth, ')');
    expectValue(calc::EvalBrackets(nested), 1);

    std::string chain = "1";
    for (int i = 0; i < kDepth; ++i)
        chain += "/1";
    expectValue(calc::EvalBrackets(chain), 1);

    const std::string unclosed(kDepth, '(');
    EXPECT_TRUE(std::holds_alternative<calc::Unevaluated>(calc::EvalBrackets(unclosed)));
}
