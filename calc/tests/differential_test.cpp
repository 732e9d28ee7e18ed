// The fast calculator against the literal rewriting on seeded generated
// expressions (bracket-free text takes the flat evaluation's path).
// MV_DIFF_CASES raises the number of cases for a longer local run.
#include "reference_rewriter.h"

#include "calc/calculator.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>

namespace
{

class Generator
{
public:
    explicit Generator(std::uint32_t seed) : m_rng(seed) {}

    std::string expression()
    {
        m_depth = 0;
        std::string out = maybe(4) ? sign() : "";
        const int terms = pick(1, 6);
        for (int i = 0; i < terms; ++i) {
            if (i > 0)
                out += op();
            out += operand();
        }
        if (maybe(30))
            out.insert(static_cast<std::size_t>(pick(0, static_cast<int>(out.size()))), ")");
        if (maybe(30))
            out.insert(static_cast<std::size_t>(pick(0, static_cast<int>(out.size()))), "(");
        return out;
    }

    calc::CalcOptions options()
    {
        calc::CalcOptions o;
        o.rounding = maybe(2) ? calc::RoundingMode::On : calc::RoundingMode::Off;
        o.places = pick(0, 15);
        return o;
    }

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    bool maybe(int oneIn) { return pick(1, oneIn) == 1; }
    template <std::size_t N> const char* oneOf(const char* const (&items)[N])
    {
        return items[pick(0, static_cast<int>(N) - 1)];
    }

    std::string blanks()
    {
        return maybe(5) ? std::string(static_cast<std::size_t>(pick(1, 2)), ' ') : "";
    }
    std::string sign() { return maybe(2) ? "-" : "+"; }

    std::string op()
    {
        static const char* const ops[] = {"+", "-", "*", "/", "/", "*"};
        std::string out = blanks() + oneOf(ops) + blanks();
        if (maybe(5))
            out += sign() + blanks();
        return out;
    }

    std::string number()
    {
        static const char* const mantissas[] = {"0",   "1",    "2",   "3",     "7",  "10",
                                                "0.5", "2.25", ",5",  "3,25",  ".1", "12345.678",
                                                "1.",  "0,1",  "999", "0.001", "6",  "1 2"};
        std::string out = oneOf(mantissas);
        if (maybe(6)) {
            static const char* const exponents[] = {"e3", "E-2", "e+1", "e",    "E+",
                                                    "e-", "e17", "E-9", "e308", "e999"};
            out += oneOf(exponents);
        }
        if (maybe(12)) {
            std::array<char, 32> buf{};
            const double x = std::uniform_real_distribution<double>(-50, 50)(m_rng);
            auto res = std::to_chars(buf.data(), buf.data() + buf.size(), x);
            out = std::string(buf.data(), res.ptr);
        }
        return out;
    }

    std::string operand()
    {
        switch (pick(0, 11)) {
        case 0:
            return ""; // an empty operand
        case 1:
            return maybe(2) ? "pi" : number() + "pi";
        case 2:
        case 3: {
            static const char* const odd[] = {"SIN", "si", "x", "pie", "e", "sinh", "cosh"};
            std::string name =
                maybe(6) ? oneOf(odd)
                         : std::string(calc::FuncNames[static_cast<std::size_t>(pick(0, 16))]);
            std::string arg = maybe(4) ? blanks() + sign() : "";
            return name + arg + (maybe(3) && m_depth < 4 ? bracket() : operand());
        }
        case 4:
        case 5:
            if (m_depth < 4)
                return bracket();
            [[fallthrough]];
        default:
            return number();
        }
    }

    std::string bracket()
    {
        ++m_depth;
        std::string out = "(" + blanks();
        const int terms = pick(0, 3);
        for (int i = 0; i < terms; ++i) {
            if (i > 0)
                out += op();
            out += operand();
        }
        --m_depth;
        return out + blanks() + ")";
    }

    std::mt19937 m_rng;
    int m_depth = 0;
};

int caseCount()
{
    const char* env = std::getenv("MV_DIFF_CASES");
    int n = 4000;
    if (env != nullptr)
        std::from_chars(env, env + std::char_traits<char>::length(env), n);
    return n;
}

std::string describe(const calc::BracketResult& r)
{
    if (auto* v = std::get_if<double>(&r)) {
        std::array<char, 40> buf{};
        auto res = std::to_chars(buf.data(), buf.data() + buf.size(), *v);
        return "value " + std::string(buf.data(), res.ptr);
    }
    if (auto* u = std::get_if<calc::Unevaluated>(&r))
        return "text «" + u->text + "»";
    const auto& f = std::get<calc::CalcFailure>(r);
    return "failure " + std::to_string(static_cast<int>(f.code)) + " at " +
           std::to_string(f.position);
}

bool sameResult(const calc::BracketResult& a, const calc::BracketResult& b)
{
    if (a.index() != b.index())
        return false;
    if (auto* x = std::get_if<double>(&a))
        return std::bit_cast<std::uint64_t>(*x) ==
               std::bit_cast<std::uint64_t>(std::get<double>(b));
    return a == b;
}

TEST(Differential, FastCalculatorMatchesLiteralRewriting)
{
    Generator gen(20240611);
    const int cases = caseCount();
    int values = 0;
    int failures = 0;
    for (int i = 0; i < cases; ++i) {
        const std::string text = gen.expression();
        const calc::CalcOptions options = gen.options();
        const auto fast = calc::EvalBrackets(text, options);
        const auto slow = reference::evalBrackets(text, options);
        ASSERT_TRUE(sameResult(fast, slow))
            << "«" << text << "» rounding " << (options.rounding == calc::RoundingMode::On)
            << " places " << options.places << ": fast " << describe(fast) << ", literal "
            << describe(slow);
        values += std::holds_alternative<double>(fast);
        failures += std::holds_alternative<calc::CalcFailure>(fast);
    }
    // The generator must keep exercising both the arithmetic and the failures.
    EXPECT_GT(values, cases / 3);
    EXPECT_GT(failures, cases / 20);
}

// Where a shortcut through the 15-digit text is most likely to slip: the ends
// of the double range, subnormals, negative zero, halves under rounding.
TEST(Differential, RangeEdgesMatchLiteralRewriting)
{
    const char* const texts[] = {
        "4.9e-324*1",
        "2.2250738585072014e-308/3",
        "1e-310*0.5",
        "1e-320+0",
        "-0",
        "-0*1",
        "-0+0",
        "0*-1",
        "1.79769313486231e308*1",
        "1.7976931348623157e308/1",
        "-1e308-1e308",
        "9.99999999999999e307*10",
        "0.1+0.2",
        "1/3+1/3+1/3",
        "2.675*1",
        "-(0)",
        "1e15-1",
        "999999999999999.5*1",
        "1e-5*1",
        "0.0001*1",
    };
    for (const char* text : texts) {
        for (const calc::CalcOptions options :
             {calc::CalcOptions{}, calc::CalcOptions{calc::RoundingMode::On, 2}}) {
            SCOPED_TRACE(text);
            const auto fast = calc::EvalBrackets(text, options);
            const auto slow = reference::evalBrackets(text, options);
            EXPECT_TRUE(sameResult(fast, slow))
                << "fast " << describe(fast) << ", literal " << describe(slow);
        }
    }
}

} // namespace
