// The calculator's usual path: the rewriting of calculator.cpp on plain text, which does not
// remember where each character stood, in buffers reused from step to step. Only a failure
// needs those places, and then the tracking rewriting runs the text again.
#include "calc/mappedtext.h"
#include "calc/numbertext.h"

#include <algorithm>
#include <cmath>

namespace calc::detail
{

namespace
{

struct Buffers {
    std::string text;            // under rewriting
    std::string spare;           // a pass writes here, then the two swap
    std::vector<double> factors; // the current term's, divisions already merged
};

// Longer than any number text: sign, 15 digits, point, "E-308".
constexpr std::size_t kLongestNumber = 24;

std::size_t occurrences(std::string_view text, std::string_view name)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(name); at != std::string_view::npos;
         at = text.find(name, at + name.size()))
        ++n;
    return n;
}

void substitutePi(Buffers& b)
{
    const std::size_t count = occurrences(b.text, "pi");
    if (count == 0)
        return;
    b.spare.clear();
    b.spare.reserve(b.text.size() + count * kPiText.size());
    std::size_t copied = 0;
    for (std::size_t at = b.text.find("pi"); at != std::string::npos;
         at = b.text.find("pi", copied)) {
        b.spare.append(b.text, copied, at - copied);
        b.spare += kPiText;
        copied = at + 2;
    }
    b.spare.append(b.text, copied);
    b.text.swap(b.spare);
}

bool applyFunction(Buffers& b, std::size_t index)
{
    const std::string_view name = kFunctionNames[index];
    const std::string_view in = b.text;
    const std::size_t count = occurrences(in, name);
    if (count == 0)
        return true;
    b.spare.clear();
    b.spare.reserve(in.size() + count * kLongestNumber);
    std::size_t copied = 0;
    for (std::size_t at = in.find(name); at != std::string_view::npos; at = in.find(name, copied)) {
        const std::size_t begin = at + name.size();
        const std::size_t end = argumentEnd(in, begin);
        const auto value = callValue(index, in.substr(begin, end - begin));
        if (!std::holds_alternative<double>(value))
            return false;
        b.spare.append(in, copied, at - copied);
        b.spare += numberText(std::get<double>(value), '.');
        copied = end;
    }
    b.spare.append(in, copied);
    b.text.swap(b.spare);
    return true;
}

bool written(double result, double& into)
{
    const auto back = writeBack(result);
    if (!std::holds_alternative<double>(back))
        return false;
    into = std::get<double>(back);
    return true;
}

// The merge of calculator.cpp one term at a time: a term's divisions go into the factor before
// them, its products fold from the right, and the terms add up from the left. Only the order
// of the failures differs, and a failure leaves this path.
std::optional<double> sumOf(Buffers& b)
{
    const std::string_view s = b.text;
    std::vector<double>& factors = b.factors;
    factors.clear();
    double sum = 0.0;
    char termSign = '+';
    bool firstTerm = true;
    const auto endTerm = [&] {
        for (std::size_t j = factors.size() - 1; j >= 1; --j)
            if (!written(factors[j - 1] * factors[j], factors[j - 1]))
                return false;
        const double term = factors.front();
        factors.clear();
        if (firstTerm) {
            firstTerm = false;
            sum = termSign == '-' ? -term : term;
            return true;
        }
        return written(termSign == '-' ? sum - term : sum + term, sum);
    };
    const auto take = [&](std::size_t begin, std::size_t end) {
        const double value = readNumber(s.substr(begin + 1, end - begin - 1));
        if (!std::isfinite(value))
            return false;
        switch (s[begin]) {
        case '/':
            return value != 0 && written(factors.back() / value, factors.back());
        case '*':
            factors.push_back(value);
            return true;
        default:
            if (!factors.empty() && !endTerm())
                return false;
            termSign = s[begin];
            factors.push_back(value);
            return true;
        }
    };
    if (!cutIntoActions(s, take) || !endTerm())
        return std::nullopt;
    return sum;
}

std::optional<double> evalText(Buffers& b, const CalcOptions& options)
{
    // Every function name and "pi" hold a lower-case letter other than "e".
    if (std::ranges::any_of(b.text, [](char c) { return c >= 'a' && c <= 'z' && c != 'e'; })) {
        substitutePi(b);
        for (std::size_t k = 0; k < kFunctionNames.size(); ++k)
            if (!applyFunction(b, k))
                return std::nullopt;
    }
    std::ranges::replace(b.text, ',', '.');
    if (b.text.empty() || (b.text[0] != '-' && b.text[0] != '+'))
        b.text.insert(b.text.begin(), '+');
    auto value = sumOf(b);
    if (value && options.rounding == RoundingMode::On)
        *value = roundToPlaces(*value, std::clamp(options.places, 0, 15));
    return value;
}

} // namespace

std::optional<double> evaluateFlatUntracked(std::string_view text, const CalcOptions& options)
{
    Buffers b;
    b.text.reserve(text.size() + 1);
    b.text = text;
    return evalText(b, options);
}

std::optional<BracketResult> evaluateUntracked(std::string_view text, const CalcOptions& options)
{
    // A ")" without its "(" is a character like any other; a "(" without its ")" leaves the
    // text as it was.
    std::size_t depth = 0;
    for (char c : text)
        if (c == '(')
            ++depth;
        else if (c == ')' && depth > 0)
            --depth;
    if (depth > 0)
        return Unevaluated{std::string(text)};

    // Each pair is reduced at its ")", its content being what follows its "(" in `out`: its
    // characters and its inner pairs' values.
    Buffers b;
    std::string out;
    out.reserve(text.size() + 1);
    std::vector<std::size_t> opens;
    for (char c : text) {
        if (c == '(') {
            opens.push_back(out.size());
        } else if (c == ')' && !opens.empty()) {
            b.text.assign(out, opens.back());
            const auto value = evalText(b, options);
            if (!value)
                return std::nullopt;
            out.resize(opens.back());
            opens.pop_back();
            out += signedNumberText(*value);
        } else {
            out += c;
        }
    }
    b.text.swap(out);
    if (const auto value = evalText(b, options))
        return *value;
    return std::nullopt;
}

} // namespace calc::detail
