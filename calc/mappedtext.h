// Text under rewriting that remembers where each character stood in the text
// as typed, so that a failure deep in the rewriting still points at the user's text.
#pragma once

#include "calc/calculator.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace calc::detail
{

struct MappedText {
    std::string text;
    std::vector<std::size_t> origin; // origin[i]: where text[i] stood in the typed text

    static MappedText identity(std::string_view text);
    void append(std::string_view piece, std::size_t from); // piece stood at `from`
    void appendSpan(const MappedText& source, std::size_t begin, std::size_t end);
};

inline constexpr std::string_view kPiText = "3.141592654";

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
inline bool isOperator(char c)
{
    return c == '+' || c == '-' || c == '*' || c == '/';
}

// Cuts a text that starts with its first operator into actions, calling cut(begin, end) for each
// operator and its operand; stops, returning false, as soon as cut does. A "+" or "-" whose last
// non-blank predecessor is an operator is the operand's sign; any operator right after "e"/"E"
// belongs to an exponent.
template <class Cut> bool cutIntoActions(std::string_view s, Cut&& cut)
{
    std::size_t start = 0;
    char lastNonBlank = s[0];
    for (std::size_t i = 1; i < s.size(); ++i) {
        const char c = s[i];
        const char before = s[i - 1];
        const bool sign = (c == '+' || c == '-') && isOperator(lastNonBlank);
        if (isOperator(c) && before != 'e' && before != 'E' && !sign) {
            if (!cut(start, i))
                return false;
            start = i;
        }
        if (!isBlank(c))
            lastNonBlank = c;
    }
    return cut(start, s.size());
}

// The value as it reads back from its 15-digit text, or why it cannot be
// written: Overflow for an infinite value or one whose text reads as infinite,
// NotFinite for NaN.
std::variant<double, CalcError> writeBack(double value);

// Where a function's argument that starts at `begin` ends: at the next "+-*/" that is not an
// exponent's sign, or at the text's end.
std::size_t argumentEnd(std::string_view text, std::size_t begin);

// The function's value at the argument's number, as it reads back from its text.
std::variant<double, CalcError> callValue(std::size_t index, std::string_view argument);

// The same rewriting as evaluate() and evaluateFlat() on text that does not remember where
// its characters stood, in buffers reused from step to step; nothing when any step fails,
// which the tracking rewriting then places.
std::optional<BracketResult> evaluateUntracked(std::string_view text, const CalcOptions& options);
std::optional<double> evaluateFlatUntracked(std::string_view text, const CalcOptions& options);

// Replaces every call of kFunctionNames[index] in place; the failure's position is
// already mapped to the typed text.
std::optional<CalcFailure> applyFunc(MappedText& text, std::size_t index);

} // namespace calc::detail
