// Literal rewriting, kept plain on purpose: read it beside the rules, not for speed.
#include "reference_rewriter.h"

#include "calc/numbertext.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace reference
{

namespace
{

using calc::CalcError;
using calc::CalcFailure;

bool isOp(char c)
{
    return c == '+' || c == '-' || c == '*' || c == '/';
}
bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

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
std::optional<CalcError> writeText(double value, std::string& out)
{
    if (std::isnan(value))
        return CalcError::NotFinite;
    if (std::isinf(value))
        return CalcError::Overflow;
    out = calc::numberText(value, '.');
    if (!std::isfinite(calc::readNumber(out)))
        return CalcError::Overflow;
    return std::nullopt;
}

std::optional<CalcFailure> applyFunc(Text& t, std::size_t index)
{
    const std::string name(calc::FuncNames[index]);
    for (;;) {
        const std::size_t pos = t.s.find(name);
        if (pos == std::string::npos)
            return std::nullopt;
        std::size_t j = pos + name.size();
        while (j < t.s.size() && isBlank(t.s[j]))
            ++j;
        if (j < t.s.size())
            ++j; // the first character is the argument's, sign or not
        while (j < t.s.size() && !(isOp(t.s[j]) && t.s[j - 1] != 'e' && t.s[j - 1] != 'E'))
            ++j;
        const std::size_t argBegin = pos + name.size();
        const double x = calc::readNumber(t.s.substr(argBegin, j - argBegin));
        if (!std::isfinite(x))
            return CalcFailure{CalcError::Overflow, t.at[pos]};
        auto value = calc::FuncValue(index, x);
        if (auto* e = std::get_if<CalcError>(&value))
            return CalcFailure{*e, t.at[pos]};
        std::string written;
        if (auto e = writeText(std::get<double>(value), written))
            return CalcFailure{*e, t.at[pos]};
        t.replace(pos, j - pos, written, t.at[pos]);
    }
}

struct Action {
    std::string text;
    std::size_t at; // where its first character stood
};

double operandOf(const Action& a)
{
    return calc::readNumber(a.text.substr(1));
}

double signedOf(const Action& a)
{
    if (a.text[0] == '+')
        return operandOf(a);
    if (a.text[0] == '-')
        return -operandOf(a);
    return calc::readNumber(a.text);
}

calc::EvalResult evalText(Text t, const calc::CalcOptions& options)
{
    for (;;) {
        const std::size_t pos = t.s.find("pi");
        if (pos == std::string::npos)
            break;
        t.replace(pos, 2, "3.141592654", t.at[pos]);
    }
    for (std::size_t k = 0; k < calc::FuncNames.size(); ++k)
        if (auto failure = applyFunc(t, k))
            return *failure;
    std::replace(t.s.begin(), t.s.end(), ',', '.');
    if (t.s.empty() || (t.s[0] != '-' && t.s[0] != '+'))
        t.replace(0, 0, "+", t.at.empty() ? 0 : t.at[0]);

    std::vector<Action> actions;
    std::vector<std::size_t> operandAt; // first non-blank of each operand
    std::size_t start = 0;
    auto append = [&](std::size_t end) {
        actions.push_back({t.s.substr(start, end - start), t.at[start]});
        std::size_t first = start + 1;
        while (first + 1 < end && isBlank(t.s[first]))
            ++first;
        operandAt.push_back(first < t.at.size() ? t.at[first] : 0);
    };
    for (std::size_t i = 1; i < t.s.size(); ++i) {
        const char c = t.s[i];
        const char b = t.s[i - 1];
        std::size_t k = i - 1;
        while (k > 0 && isBlank(t.s[k]))
            --k;
        const bool signOfOperand = (c == '+' || c == '-') && isOp(t.s[k]);
        if (isOp(c) && b != 'e' && b != 'E' && !signOfOperand) {
            append(i);
            start = i;
        }
    }
    append(t.s.size());
    for (std::size_t i = 0; i < actions.size(); ++i)
        if (!std::isfinite(operandOf(actions[i])))
            return CalcFailure{CalcError::Overflow, operandAt[i]};

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
        std::string written;
        std::optional<CalcError> error;
        if (op == '*') {
            error = writeText(operandOf(left) * operandOf(right), written);
            written.insert(written.begin(), left.text[0]);
        } else if (op == '/') {
            if (operandOf(right) == 0)
                return CalcFailure{CalcError::DivisionByZero, right.at};
            error = writeText(operandOf(left) / operandOf(right), written);
            written.insert(written.begin(), left.text[0]);
        } else if (op == '+') {
            error = writeText(signedOf(left) + operandOf(right), written);
        } else {
            error = writeText(signedOf(left) - operandOf(right), written);
        }
        if (error)
            return CalcFailure{*error, right.at};
        std::replace(written.begin(), written.end(), ',', '.');
        left.text = written;
        actions.erase(actions.begin() + static_cast<long>(r));
    }
    double value = signedOf(actions[0]);
    if (options.rounding == calc::RoundingMode::On)
        value = calc::roundToPlaces(value, std::clamp(options.places, 0, 15));
    return value;
}

Text identity(const std::string& text)
{
    Text t{text, {}};
    for (std::size_t i = 0; i < text.size(); ++i)
        t.at.push_back(i);
    return t;
}

} // namespace

calc::BracketResult evalBrackets(const std::string& text, const calc::CalcOptions& options)
{
    // Would the rewriting ever meet a "(" with no ")" after it?
    for (std::string probe = text;;) {
        const std::size_t open = probe.rfind('(');
        if (open == std::string::npos)
            break;
        const std::size_t close = probe.find(')', open);
        if (close == std::string::npos)
            return calc::Unevaluated{text};
        // The pair becomes "0" (written as an erase: GCC 12 warns falsely on replace here).
        probe[open] = '0';
        probe.erase(open + 1, close - open);
    }
    Text t = identity(text);
    for (;;) {
        const std::size_t open = t.s.rfind('(');
        if (open == std::string::npos)
            break;
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
    auto result = evalText(std::move(t), options);
    if (auto* failure = std::get_if<CalcFailure>(&result))
        return *failure;
    return std::get<double>(result);
}

} // namespace reference
