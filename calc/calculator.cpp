// Flat evaluation and bracket reduction. The rewriting is done in linear passes
// instead of rescans from the first character; every value still goes through
// its 15-digit text exactly where the step-by-step rewriting writes one.
#include "calc/calculator.h"

#include "calc/mappedtext.h"
#include "calc/numbertext.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cmath>
#include <system_error>

namespace calc
{

namespace detail
{

MappedText MappedText::identity(std::string_view text)
{
    MappedText m;
    m.text = std::string(text);
    m.origin.resize(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        m.origin[i] = i;
    return m;
}

void MappedText::append(std::string_view piece, std::size_t from)
{
    text += piece;
    origin.insert(origin.end(), piece.size(), from);
}

void MappedText::appendSpan(const MappedText& source, std::size_t begin, std::size_t end)
{
    text.append(source.text, begin, end - begin);
    origin.insert(origin.end(), source.origin.begin() + static_cast<std::ptrdiff_t>(begin),
                  source.origin.begin() + static_cast<std::ptrdiff_t>(end));
}

namespace
{

// readNumber(numberText(value)) without building the text: the same 15 correctly
// rounded digits parsed by the same correctly rounding parser. Anything unusual
// (the parse leaving the double range) takes the long way.
double viaText(double value)
{
    // A whole number below 1E+15 has all its digits in the text.
    if (value != 0 && std::fabs(value) < 1e15 && value == std::trunc(value))
        return value;
    std::array<char, 40> buf{};
    auto res = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                             std::chars_format::scientific, 14);
    double back = 0.0;
    if (res.ec == std::errc{}) {
        auto parsed = std::from_chars(buf.data(), res.ptr, back);
        if (parsed.ec == std::errc{} && back != 0.0)
            return back;
    }
    return readNumber(numberText(value, '.'));
}

} // namespace

std::variant<double, CalcError> writeBack(double value)
{
    if (std::isnan(value))
        return CalcError::NotFinite;
    if (std::isinf(value))
        return CalcError::Overflow;
    const double back = viaText(value);
    if (!std::isfinite(back))
        return CalcError::Overflow;
    return back;
}

} // namespace detail

namespace
{

using detail::cutIntoActions;
using detail::isBlank;
using detail::isOperator;
using detail::kPiText;
using detail::MappedText;

// One entry of the token list: its operator character, its operand's value and
// where the operator stands.
struct Action {
    char op;
    double value;
    std::size_t place;
};

// Substitution of "pi" never creates a new "pi", so one pass replaces them all.
void substitutePi(MappedText& t)
{
    std::size_t at = t.text.find("pi");
    if (at == std::string::npos)
        return;
    MappedText out;
    std::size_t copied = 0;
    while (at != std::string::npos) {
        out.appendSpan(t, copied, at);
        out.append(kPiText, t.origin[at]);
        copied = at + 2;
        at = t.text.find("pi", copied);
    }
    out.appendSpan(t, copied, t.text.size());
    t = std::move(out);
}

// Cuts the text into actions, each placed in the typed text.
std::variant<std::vector<Action>, CalcFailure> cutActions(const MappedText& t)
{
    const std::string& s = t.text;
    std::vector<Action> actions;
    auto push = [&](std::size_t begin, std::size_t end) -> std::optional<CalcFailure> {
        const auto operand = std::string_view(s).substr(begin + 1, end - begin - 1);
        const double value = readNumber(operand);
        if (!std::isfinite(value)) {
            std::size_t first = begin + 1;
            while (first + 1 < end && isBlank(s[first]))
                ++first;
            return CalcFailure{CalcError::Overflow, t.origin[first]};
        }
        actions.push_back({s[begin], value, t.origin[begin]});
        return std::nullopt;
    };
    std::optional<CalcFailure> failure;
    cutIntoActions(s, [&](std::size_t begin, std::size_t end) {
        failure = push(begin, end);
        return !failure;
    });
    if (failure)
        return *failure;
    return actions;
}

// Merges the actions: divisions left to right into their left neighbour, then
// multiplications right to left, then additions and subtractions.
std::variant<double, CalcFailure> merge(std::vector<Action>& e)
{
    auto step = [](double result, double& into, std::size_t place) -> std::optional<CalcFailure> {
        auto written = detail::writeBack(result);
        if (auto* code = std::get_if<CalcError>(&written))
            return CalcFailure{*code, place};
        into = std::get<double>(written);
        return std::nullopt;
    };

    // Every "/" merges into the last entry before it that is not a "/".
    std::size_t kept = 1;
    for (std::size_t i = 1; i < e.size(); ++i) {
        if (e[i].op != '/') {
            e[kept++] = e[i];
            continue;
        }
        if (e[i].value == 0)
            return CalcFailure{CalcError::DivisionByZero, e[i].place};
        Action& left = e[kept - 1];
        if (auto failure = step(left.value / e[i].value, left.value, e[i].place))
            return *failure;
    }
    e.resize(kept);

    // The last "*" first: a run of products is folded from its right end.
    for (std::size_t i = e.size() - 1; i >= 1; --i) {
        if (e[i].op != '*')
            continue;
        Action& left = e[i - 1];
        if (auto failure = step(left.value * e[i].value, left.value, e[i].place))
            return *failure;
    }

    double sum = e[0].op == '-' ? -e[0].value : e[0].value;
    for (std::size_t i = 1; i < e.size(); ++i) {
        if (e[i].op == '*')
            continue;
        const double result = e[i].op == '-' ? sum - e[i].value : sum + e[i].value;
        if (auto failure = step(result, sum, e[i].place))
            return *failure;
    }
    return sum;
}

EvalResult evalMapped(MappedText t, const CalcOptions& options)
{
    substitutePi(t);
    for (std::size_t k = 0; k < kFunctionNames.size(); ++k)
        if (auto failure = detail::applyFunc(t, k))
            return *failure;
    std::replace(t.text.begin(), t.text.end(), ',', '.');
    if (t.text.empty() || (t.text[0] != '-' && t.text[0] != '+')) {
        t.text.insert(t.text.begin(), '+');
        t.origin.insert(t.origin.begin(), t.origin.empty() ? 0 : t.origin.front());
    }

    auto cut = cutActions(t);
    if (auto* failure = std::get_if<CalcFailure>(&cut))
        return *failure;
    auto merged = merge(std::get<std::vector<Action>>(cut));
    if (auto* failure = std::get_if<CalcFailure>(&merged))
        return *failure;
    double value = std::get<double>(merged);
    if (options.rounding == RoundingMode::On)
        value = roundToPlaces(value, std::clamp(options.places, 0, 15));
    assert(std::isfinite(value));
    return value;
}

// Pairs of brackets matched the usual way; `close[k]` belongs to `open[k]`,
// and `open` ascends.
struct Pairs {
    std::vector<std::size_t> open;
    std::vector<std::size_t> close;
    bool unmatchedOpen = false;
};

Pairs matchBrackets(std::string_view text)
{
    Pairs p;
    std::vector<std::size_t> stack;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '(') {
            stack.push_back(p.open.size());
            p.open.push_back(i);
            p.close.push_back(0);
        } else if (text[i] == ')' && !stack.empty()) {
            p.close[stack.back()] = i;
            stack.pop_back();
        }
    }
    p.unmatchedOpen = !stack.empty();
    return p;
}

// The text from `begin` to `end` with every bracket pair in it replaced by its
// value text; a stray ")" stays as it is.
MappedText withValues(std::string_view text, std::size_t begin, std::size_t end, const Pairs& pairs,
                      std::vector<std::string>& values)
{
    MappedText out;
    std::size_t i = begin;
    while (i < end) {
        // Searching only up to `end` keeps a deep nest from rescanning its tail.
        std::size_t next = text.substr(0, end).find('(', i);
        if (next == std::string_view::npos)
            next = end;
        out.text.append(text, i, next - i);
        for (; i < next; ++i)
            out.origin.push_back(i);
        if (next == end)
            break;
        const auto k = static_cast<std::size_t>(
            std::lower_bound(pairs.open.begin(), pairs.open.end(), next) - pairs.open.begin());
        out.append(values[k], next);
        values[k] = std::string(); // each value is used once
        i = pairs.close[k] + 1;
    }
    return out;
}

} // namespace

EvalResult evaluateFlat(std::string_view text, const CalcOptions& options)
{
    if (const auto value = detail::evaluateFlatUntracked(text, options))
        return *value;
    return evalMapped(MappedText::identity(text), options);
}

// Pairs are reduced from the last "(" backwards, as the step-by-step rewriting
// does, so that of two failing brackets the same one is reported. Each pair's
// content is built once from its own characters and its inner pairs' values,
// so the work grows with the text, not with its square, and nothing recurses.
BracketResult evaluate(std::string_view text, const CalcOptions& options)
{
    if (auto result = detail::evaluateUntracked(text, options))
        return std::move(*result);
    const Pairs pairs = matchBrackets(text);
    if (pairs.unmatchedOpen)
        return Unevaluated{std::string(text)};

    std::vector<std::string> values(pairs.open.size());
    for (std::size_t k = pairs.open.size(); k-- > 0;) {
        auto content = withValues(text, pairs.open[k] + 1, pairs.close[k], pairs, values);
        auto result = evalMapped(std::move(content), options);
        if (auto* failure = std::get_if<CalcFailure>(&result))
            return *failure;
        values[k] = signedNumberText(std::get<double>(result));
    }
    auto result = evalMapped(withValues(text, 0, text.size(), pairs, values), options);
    if (auto* failure = std::get_if<CalcFailure>(&result))
        return *failure;
    return std::get<double>(result);
}

bool isExpression(std::string_view text)
{
    bool number = false;
    for (std::size_t i = 0; i < text.size();) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("pi")) {
            number = true;
            i += 2;
            continue;
        }
        // The list puts "sqrt" before "sqr", so the first name that fits is the whole name.
        const auto name = std::ranges::find_if(
            kFunctionNames, [rest](std::string_view f) { return rest.starts_with(f); });
        if (name != kFunctionNames.end()) {
            i += name->size();
            continue;
        }
        const char c = text[i++];
        if (c >= '0' && c <= '9')
            number = true;
        else if (std::string_view(" \t.,eE+-*/()").find(c) == std::string_view::npos)
            return false;
    }
    return number;
}

} // namespace calc
