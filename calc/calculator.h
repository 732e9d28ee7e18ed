// The expression calculator of the input line and the editor's coefficient box.
// It works by rewriting text: every intermediate value is written as 15-digit text
// and read back, so results match the program's long-standing arithmetic digit for digit.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace calc
{

enum class RoundingMode {
    Off, // results stay as computed
    On,  // each flat evaluation's result is rounded to CalcOptions::places
};

struct CalcOptions {
    RoundingMode rounding = RoundingMode::Off;
    int places = 2; // decimal places when rounding is on, 0 to 15 (clamped)
};

enum class CalcError {
    DivisionByZero, // a divisor reads as 0, also an empty or unreadable one
    LogDomain,      // "ln" or "lg" of a number that is not positive
    Overflow,       // a number read or a result written lies beyond the double range
    NoRealValue,    // "sqrt" of a negative number, "arcsin"/"arccos" outside [-1, 1]
    NotFinite,      // any other result that is not a finite number ("ctg0", "cth0")
};

// Where an evaluation stopped. `position` is a 0-based byte offset into the text
// handed to the function that failed: the "/" of a division by zero, the first
// letter of a function's name, the operator before the right-hand operand of an
// overflowing step, the first non-blank character of a number too large to read.
// Text the rewriting put in counts as standing where the text it replaced stood:
// the digits of pi at the "p", a function's result at its name, a bracket's
// value at its "(".
struct CalcFailure {
    CalcError code = CalcError::NotFinite;
    std::size_t position = 0;

    friend bool operator==(const CalcFailure&, const CalcFailure&) = default;
};

// An opening bracket without a closing one: the text exactly as it was given.
struct Unevaluated {
    std::string text;

    friend bool operator==(const Unevaluated&, const Unevaluated&) = default;
};

using EvalResult = std::variant<double, CalcFailure>;                 // value is finite
using BracketResult = std::variant<double, Unevaluated, CalcFailure>; // value is finite
using TextResult = std::variant<std::string, CalcFailure>;

// The seventeen function names in the order they are applied. A name that
// contains another name comes first ("arcsin" before "sin", "sqrt" before "sqr").
inline constexpr std::array<std::string_view, 17> kFunctionNames = {
    "sh",  "ch",  "cth", "th",  "arcsin", "arccos", "arcctg", "arctg", "sin",
    "cos", "ctg", "tg",  "exp", "sqrt",   "sqr",    "ln",     "lg",
};

// Inverse sine: exactly +-pi/2 at +-1, otherwise atan(x / sqrt(1 - x*x));
// NaN outside [-1, 1].
double arcSine(double x);

// The value of kFunctionNames[index] at x, or the reason it has none.
//   functionValue(14 /*sqr*/, 3) == 9.0, functionValue(15 /*ln*/, 0) holds CalcError::LogDomain
std::variant<double, CalcError> functionValue(std::size_t index, double x);

// Replaces every call of the function `name` (an entry of kFunctionNames) by the
// 15-digit text of its result. The argument runs up to the next "+-*/" that is
// not an exponent's sign.
//   applyFunction("sqrt16+sqrt9", "sqrt") == "4+3", applyFunction("2sin0", "sin") == "20"
TextResult applyFunction(std::string_view text, std::string_view name);

// Evaluates a text without brackets: pi, functions, then "/" left to right,
// "*" right to left, "+" and "-" left to right.
//   evaluateFlat("2-6/3*4") == -6.0, evaluateFlat("2pi") == 23.141592654
EvalResult evaluateFlat(std::string_view text, const CalcOptions& options = {});

// Evaluates an expression as the user typed it, innermost brackets first, each
// bracket's value going back into the text as signed number text.
//   evaluate("2*(3+4)") == 14.0, evaluate("2(3)") == 23.0,
//   evaluate("((1+2)") holds Unevaluated{"((1+2)"}
BracketResult evaluate(std::string_view text, const CalcOptions& options = {});

// Whether a text is made only of what evaluate() reads (digits, "pi", function names, the
// exponent's "E", operators, brackets, points, commas and blanks) and holds a digit or "pi".
// evaluate() takes any text, reading what it cannot as 0; this tells a number from a word.
//   isExpression("2*sqrt(16)") == true, isExpression("abc") == false, isExpression(" ") == false
bool isExpression(std::string_view text);

} // namespace calc
