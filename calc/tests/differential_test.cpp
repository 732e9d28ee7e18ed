// The fast calculator against a slow, literal transcription of its text rewriting, bit
// for bit, on seeded generated expressions (MV_DIFF_CASES sets how many).
#include "calc/calculator.h"

#include "calc/numbertext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace
{

using calc::CalcError;
using calc::CalcFailure;

// Literal rewriting, kept plain on purpose: every step rewrites the whole text and every
// search starts again at the first character. Read it beside the rules, not for speed.
namespace reference
{

const auto isOp = [](char c) { return c == '+' || c == '-' || c == '*' || c == '/'; };
const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };

// The text with, for every character, its place in the text as typed.
struct Text {
    std::string s;
    std::vector<std::size_t> at;

    void replace(std::size_t pos, std::size_t len, const std::string& with, std::size_t origin)
    {
        s.replace(pos, len, with);
        at.erase(at.begin() + static_cast<long>(pos), at.begin() + static_cast<long>(pos + len));
        at.insert(at.begin() + static_cast<long>(pos), with.size(), origin);
    }
};

// The text a result is written as, or why it cannot be written.
std::optional<CalcFailure> writeText(std::variant<double, CalcError> result, std::size_t at,
                                     std::string& out)
{
    if (auto* e = std::get_if<CalcError>(&result))
        return CalcFailure{*e, at};
    const double value = std::get<double>(result);
    out = calc::numberText(value, '.');
    if (std::isnan(value))
        return CalcFailure{CalcError::NotFinite, at};
    if (std::isinf(value) || !std::isfinite(calc::readNumber(out)))
        return CalcFailure{CalcError::Overflow, at};
    return std::nullopt;
}

std::optional<CalcFailure> applyFunc(Text& t, std::size_t index)
{
    const std::string name(calc::kFunctionNames[index]);
    for (std::size_t pos; (pos = t.s.find(name)) != std::string::npos;) {
        std::size_t j = pos + name.size();
        while (j < t.s.size() && isBlank(t.s[j]))
            ++j;
        if (j < t.s.size())
            ++j; // the first character is the argument's, sign or not
        while (j < t.s.size() && !(isOp(t.s[j]) && t.s[j - 1] != 'e' && t.s[j - 1] != 'E'))
            ++j;
        const double x = calc::readNumber(t.s.substr(pos + name.size(), j - pos - name.size()));
        std::string written;
        if (!std::isfinite(x))
            return CalcFailure{CalcError::Overflow, t.at[pos]};
        if (auto failure = writeText(calc::functionValue(index, x), t.at[pos], written))
            return failure;
        t.replace(pos, j - pos, written, t.at[pos]);
    }
    return std::nullopt;
}

// An operator with its operand, and where they stood in the typed text.
struct Action {
    std::string text;
    std::size_t at;
    std::size_t operandAt;

    double operand() const { return calc::readNumber(text.substr(1)); }
    double signedValue() const
    {
        return text[0] == '-' ? -operand() : text[0] == '+' ? operand() : calc::readNumber(text);
    }
};

calc::EvalResult evalText(Text t, const calc::CalcOptions& options)
{
    for (std::size_t pos; (pos = t.s.find("pi")) != std::string::npos;)
        t.replace(pos, 2, "3.141592654", t.at[pos]);
    for (std::size_t k = 0; k < calc::kFunctionNames.size(); ++k)
        if (auto failure = applyFunc(t, k))
            return *failure;
    std::replace(t.s.begin(), t.s.end(), ',', '.');
    if (t.s.empty() || (t.s[0] != '-' && t.s[0] != '+'))
        t.replace(0, 0, "+", t.at.empty() ? 0 : t.at[0]);

    std::vector<Action> actions;
    std::size_t start = 0;
    auto append = [&](std::size_t end) {
        std::size_t first = start + 1; // the operand's first non-blank
        while (first + 1 < end && isBlank(t.s[first]))
            ++first;
        actions.push_back(
            {t.s.substr(start, end - start), t.at[start], first < t.at.size() ? t.at[first] : 0});
        start = end;
    };
    for (std::size_t i = 1; i < t.s.size(); ++i) {
        std::size_t k = i - 1;
        while (k > 0 && isBlank(t.s[k]))
            --k;
        const bool signOfOperand = (t.s[i] == '+' || t.s[i] == '-') && isOp(t.s[k]);
        if (isOp(t.s[i]) && t.s[i - 1] != 'e' && t.s[i - 1] != 'E' && !signOfOperand)
            append(i);
    }
    append(t.s.size());
    for (const Action& a : actions)
        if (!std::isfinite(a.operand()))
            return CalcFailure{CalcError::Overflow, a.operandAt};

    while (actions.size() > 1) {
        std::size_t lastMulDiv = 0;
        std::size_t firstDiv = 0;
        for (std::size_t i = 1; i < actions.size(); ++i) {
            const char op = actions[i].text[0];
            if (op == '*' || op == '/')
                lastMulDiv = i;
            if (op == '/' && firstDiv == 0)
                firstDiv = i;
        }
        const std::size_t r = firstDiv ? firstDiv : lastMulDiv ? lastMulDiv : 1;
        Action& left = actions[r - 1];
        const Action& right = actions[r];
        const char op = right.text[0];
        if (op == '/' && right.operand() == 0)
            return CalcFailure{CalcError::DivisionByZero, right.at};
        const double value = op == '*'   ? left.operand() * right.operand()
                             : op == '/' ? left.operand() / right.operand()
                             : op == '+' ? left.signedValue() + right.operand()
                                         : left.signedValue() - right.operand();
        std::string written;
        if (auto failure = writeText(value, right.at, written))
            return *failure;
        left.text = (op == '*' || op == '/' ? std::string(1, left.text[0]) : "") + written;
        actions.erase(actions.begin() + static_cast<long>(r));
    }
    double value = actions[0].signedValue();
    if (options.rounding == calc::RoundingMode::On)
        value = calc::roundToPlaces(value, std::clamp(options.places, 0, 15));
    return value;
}

calc::BracketResult evalBrackets(const std::string& text, const calc::CalcOptions& options)
{
    // The rewriting meets a "(" with no ")" after it exactly when, read from the right,
    // some "(" finds every ")" after it already taken by a later "(".
    std::size_t closers = 0;
    for (auto c = text.rbegin(); c != text.rend(); ++c)
        if (*c == ')')
            ++closers;
        else if (*c == '(' && closers-- == 0)
            return calc::Unevaluated{text};
    Text t{text, {}};
    for (std::size_t i = 0; i < text.size(); ++i)
        t.at.push_back(i);
    for (std::size_t open; (open = t.s.rfind('(')) != std::string::npos;) {
        const std::size_t close = t.s.find(')', open);
        Text content{
            t.s.substr(open + 1, close - open - 1),
            {t.at.begin() + static_cast<long>(open + 1), t.at.begin() + static_cast<long>(close)}};
        auto result = evalText(std::move(content), options);
        if (auto* failure = std::get_if<CalcFailure>(&result))
            return *failure;
        t.replace(open, close - open + 1, calc::signedNumberText(std::get<double>(result)),
                  t.at[open]);
    }
    return std::visit([](auto r) -> calc::BracketResult { return r; },
                      evalText(std::move(t), options));
}

} // namespace reference

// Seeded expressions in the calculator's syntax, odd spellings and misplaced
// brackets included.
struct Generator {
    std::mt19937 rng{20240611};
    int depth = 0;

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    bool maybe(int oneIn) { return pick(1, oneIn) == 1; }
    template <std::size_t N> std::string oneOf(const char* const (&items)[N])
    {
        return items[pick(0, static_cast<int>(N) - 1)];
    }
    std::string blanks() { return maybe(5) ? std::string(pick(1, 2), ' ') : ""; }
    std::string sign() { return maybe(2) ? "-" : "+"; }

    std::string expression()
    {
        std::string out = (maybe(4) ? sign() : "") + terms(1, 6);
        for (const char* bracket : {")", "("})
            if (maybe(30))
                out.insert(pick(0, static_cast<int>(out.size())), bracket);
        return out;
    }

    std::string terms(int lo, int hi)
    {
        static const char* const ops[] = {"+", "-", "*", "/", "/", "*"};
        std::string out;
        for (int i = 0, n = pick(lo, hi); i < n; ++i) {
            if (i > 0)
                out += blanks() + oneOf(ops) + blanks() + (maybe(5) ? sign() + blanks() : "");
            out += operand();
        }
        return out;
    }

    std::string number()
    {
        static const char* const mantissas[] = {"0",   "1",    "2",   "3",     "7",  "10",
                                                "0.5", "2.25", ",5",  "3,25",  ".1", "12345.678",
                                                "1.",  "0,1",  "999", "0.001", "6",  "1 2"};
        static const char* const exponents[] = {"e3", "E-2", "e+1", "e",    "E+",
                                                "e-", "e17", "E-9", "e308", "e999"};
        if (maybe(12)) {
            std::array<char, 32> buf{};
            const double x = std::uniform_real_distribution<double>(-50, 50)(rng);
            return {buf.data(), std::to_chars(buf.data(), buf.data() + buf.size(), x).ptr};
        }
        return oneOf(mantissas) + (maybe(6) ? oneOf(exponents) : "");
    }

    std::string operand()
    {
        static const char* const odd[] = {"SIN", "si", "x", "pie", "e", "sinh", "cosh"};
        const int kind = pick(0, 11);
        if (kind == 0)
            return ""; // an empty operand
        if (kind == 1)
            return maybe(2) ? "pi" : number() + "pi";
        if (kind <= 3) {
            const std::string name =
                maybe(6) ? oneOf(odd) : std::string(calc::kFunctionNames[pick(0, 16)]);
            const std::string arg = maybe(4) ? blanks() + sign() : "";
            return name + arg + (maybe(3) && depth < 4 ? bracket() : operand());
        }
        return kind <= 5 && depth < 4 ? bracket() : number();
    }

    std::string bracket()
    {
        ++depth;
        std::string out = "(" + blanks() + terms(0, 3) + blanks() + ")";
        --depth;
        return out;
    }
};

// Shortest round-trip text: equal texts mean equal bits, negative zero included.
std::string describe(const calc::BracketResult& r)
{
    std::array<char, 40> buf{};
    if (auto* v = std::get_if<double>(&r))
        return {buf.data(), std::to_chars(buf.data(), buf.data() + buf.size(), *v).ptr};
    if (auto* u = std::get_if<calc::Unevaluated>(&r))
        return "text «" + u->text + "»";
    const auto& f = std::get<CalcFailure>(r);
    return "failure " + std::to_string(static_cast<int>(f.code)) + " at " +
           std::to_string(f.position);
}

TEST(Differential, FastCalculatorMatchesLiteralRewriting)
{
    Generator gen;
    const char* env = std::getenv("MV_DIFF_CASES");
    const int cases = env != nullptr ? std::atoi(env) : 4000;
    int values = 0;
    int failures = 0;
    for (int i = 0; i < cases; ++i) {
        const std::string text = gen.expression();
        const calc::CalcOptions options{
            gen.maybe(2) ? calc::RoundingMode::On : calc::RoundingMode::Off, gen.pick(0, 15)};
        const auto fast = calc::evaluate(text, options);
        ASSERT_EQ(describe(fast), describe(reference::evalBrackets(text, options)))
            << "«" << text << "» rounding " << (options.rounding == calc::RoundingMode::On)
            << " places " << options.places;
        values += std::holds_alternative<double>(fast);
        failures += std::holds_alternative<CalcFailure>(fast);
    }
    // The generator must keep exercising both the arithmetic and the failures.
    EXPECT_GT(values, cases / 3);
    EXPECT_GT(failures, cases / 20);
}

// Where a shortcut through the 15-digit text is most likely to slip: the ends
// of the double range, subnormals, negative zero, halves under rounding.
TEST(Differential, RangeEdgesMatchLiteralRewriting)
{
    std::istringstream texts("4.9e-324*1 2.2250738585072014e-308/3 1e-310*0.5 1e-320+0 -0 -0*1 "
                             "-0+0 0*-1 1.79769313486231e308*1 1.7976931348623157e308/1 "
                             "-1e308-1e308 9.99999999999999e307*10 0.1+0.2 1/3+1/3+1/3 2.675*1 "
                             "-(0) 1e15-1 999999999999999.5*1 1e-5*1 0.0001*1");
    for (std::string text; texts >> text;)
        for (const calc::CalcOptions options :
             {calc::CalcOptions{}, calc::CalcOptions{calc::RoundingMode::On, 2}}) {
            SCOPED_TRACE(text);
            EXPECT_EQ(describe(calc::evaluate(text, options)),
                      describe(reference::evalBrackets(text, options)));
        }
}

} // namespace
