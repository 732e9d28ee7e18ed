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

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
inline bool isOperator(char c)
{
    return c == '+' || c == '-' || c == '*' || c == '/';
}

// The value as it reads back from its 15-digit text, or why it cannot be
// written: Overflow for an infinite value or one whose text reads as infinite,
// NotFinite for NaN.
std::variant<double, CalcError> writeBack(double value);

// Replaces every call of kFunctionNames[index] in place; the failure's position is
// already mapped to the typed text.
std::optional<CalcFailure> applyFunc(MappedText& text, std::size_t index);

} // namespace calc::detail
