// The seventeen named functions and the rewriting that replaces their calls by
// the text of their results.
#include "calc/calculator.h"
#include "calc/mappedtext.h"
#include "calc/numbertext.h"

#include <cassert>
#include <cmath>
#include <numbers>

namespace calc
{

namespace
{

using detail::isBlank;
using detail::isOperator;
using detail::MappedText;
using detail::writeBack;

constexpr double kHalfPi = std::numbers::pi / 2;

enum Func : std::size_t {
    Sh,
    Ch,
    Cth,
    Th,
    Arcsin,
    Arccos,
    Arcctg,
    Arctg,
    Sin,
    Cos,
    Ctg,
    Tg,
    Exp,
    Sqrt,
    Sqr,
    Ln,
    Lg,
};

// The hyperbolic formulas go through e^x and e^-x; past |x| ~ 709.8 one of them
// is infinite although th and cth are then +-1 to the last digit.
bool expOverflows(double x)
{
    return std::isinf(std::exp(std::fabs(x)));
}

// A result or an intermediate that has to be finite; Overflow for infinity,
// NotFinite for NaN (a pole such as ctg 0 gives one of them).
std::variant<double, CalcError> finite(double value, CalcError ifInfinite = CalcError::Overflow)
{
    if (std::isnan(value))
        return CalcError::NotFinite;
    if (std::isinf(value))
        return ifInfinite;
    return value;
}

std::variant<double, CalcError> hyperbolic(Func f, double x)
{
    if ((f == Th || f == Cth) && expOverflows(x))
        return x < 0 ? -1.0 : 1.0;
    const double ep = std::exp(x);
    const double em = std::exp(-x);
    switch (f) {
    case Sh: {
        // The difference goes through its text before it is halved.
        auto diff = writeBack(ep - em);
        if (auto* e = std::get_if<CalcError>(&diff))
            return *e;
        return std::get<double>(diff) / 2;
    }
    case Ch:
        return finite((ep + em) / 2);
    case Cth: {
        auto num = writeBack(ep + em);
        if (auto* e = std::get_if<CalcError>(&num))
            return *e;
        return finite(std::get<double>(num) / (ep - em), CalcError::NotFinite);
    }
    default:
        return finite((ep - em) / (em + ep));
    }
}

} // namespace

double arcSine(double x)
{
    if (x == 1)
        return kHalfPi;
    if (x == -1)
        return -kHalfPi;
    return std::atan(x / std::sqrt(1 - x * x));
}

std::variant<double, CalcError> functionValue(std::size_t index, double x)
{
    assert(index < kFunctionNames.size());
    switch (static_cast<Func>(index)) {
    case Sh:
    case Ch:
    case Cth:
    case Th:
        return hyperbolic(static_cast<Func>(index), x);
    case Arcsin:
        if (std::fabs(x) > 1)
            return CalcError::NoRealValue;
        return arcSine(x);
    case Arccos:
        if (std::fabs(x) > 1)
            return CalcError::NoRealValue;
        return std::acos(x);
    case Arcctg:
        return kHalfPi - std::atan(x);
    case Arctg:
        return std::atan(x);
    case Sin:
        return std::sin(x);
    case Cos:
        return std::cos(x);
    case Ctg:
        return finite(1 / std::tan(x), CalcError::NotFinite);
    case Tg:
        return std::tan(x);
    case Exp:
        return finite(std::exp(x));
    case Sqrt:
        if (x < 0)
            return CalcError::NoRealValue;
        return std::sqrt(x);
    case Sqr:
        return finite(x * x);
    case Ln:
        if (!(x > 0))
            return CalcError::LogDomain;
        return std::log(x);
    case Lg:
        if (!(x > 0))
            return CalcError::LogDomain;
        return std::log(x) / std::log(10.0);
    }
    return CalcError::NotFinite;
}

namespace detail
{

// One pass from left to right does what restarting the search at the first
// character after every replacement does: a result text holds no lower-case
// letter and ends in a digit, and the text after it starts with an operator,
// so no new occurrence of the name can appear before or across it.
std::size_t argumentEnd(std::string_view text, std::size_t begin)
{
    // The first non-blank character always belongs to the argument (it may be its sign);
    // later an operator ends it unless it directly follows an exponent letter.
    std::size_t j = begin;
    while (j < text.size() && isBlank(text[j]))
        ++j;
    if (j < text.size())
        ++j;
    for (; j < text.size(); ++j) {
        const char prev = text[j - 1];
        if (isOperator(text[j]) && prev != 'e' && prev != 'E')
            break;
    }
    return j;
}

std::variant<double, CalcError> callValue(std::size_t index, std::string_view argument)
{
    const double x = readNumber(argument);
    if (!std::isfinite(x))
        return CalcError::Overflow;
    auto value = functionValue(index, x);
    if (auto* e = std::get_if<CalcError>(&value))
        return *e;
    return writeBack(std::get<double>(value));
}

std::optional<CalcFailure> applyFunc(MappedText& text, std::size_t index)
{
    const std::string_view name = kFunctionNames[index];
    const std::string& in = text.text;
    std::size_t at = in.find(name);
    if (at == std::string::npos)
        return std::nullopt;

    MappedText out;
    out.text.reserve(in.size());
    out.origin.reserve(in.size());
    std::size_t copied = 0;
    while (at != std::string::npos) {
        const std::size_t argBegin = at + name.size();
        const std::size_t j = argumentEnd(in, argBegin);
        const std::size_t place = text.origin[at];
        const auto value = callValue(index, std::string_view(in).substr(argBegin, j - argBegin));
        if (auto* e = std::get_if<CalcError>(&value))
            return CalcFailure{*e, place};
        out.appendSpan(text, copied, at);
        out.append(numberText(std::get<double>(value), '.'), place);
        copied = j;
        at = in.find(name, j);
    }
    out.appendSpan(text, copied, in.size());
    text = std::move(out);
    return std::nullopt;
}

} // namespace detail

TextResult applyFunction(std::string_view text, std::string_view name)
{
    std::size_t index = 0;
    while (index < kFunctionNames.size() && kFunctionNames[index] != name)
        ++index;
    assert(index < kFunctionNames.size());
    if (index == kFunctionNames.size())
        return std::string(text);
    auto mapped = MappedText::identity(text);
    if (auto failure = detail::applyFunc(mapped, index))
        return *failure;
    return std::move(mapped.text);
}

} // namespace calc
