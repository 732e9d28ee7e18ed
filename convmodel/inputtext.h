// Text rules of the input line and the log: what typing leaves in the line, and the short
// name a unit goes by.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace convmodel
{

// The typographic signs that word processors and web pages put in place of the operators
// (minus sign, dashes, multiplication and division signs, no-break and thin spaces) become
// "-", "*", "/" and blanks, one character for one, so that a caret position counted in
// characters stays valid.   plainSigns("5−1") == "5-1", plainSigns("2×3") == "2*3"
std::string plainSigns(std::string_view utf8);

// The text as the input line keeps it: plain signs, and decimal commas become periods.
//   plainInput("3,5") == "3.5", plainInput("5−1") == "5-1"
std::string plainInput(std::string_view utf8);

// Where the number starting at `pos` ends as the calculator reads it: digits and one period with
// blanks among them, and an exponent only when digits follow its letter (its sign right after
// the letter: after a blank the calculator cuts there).
//   numberEnd("1 000 м", 0) == 5, numberEnd("2e-3", 0) == 4, numberEnd("5 e", 0) == 1
std::size_t numberEnd(std::string_view text, std::size_t pos);

// One number with or without its sign, or no number at all: a text that converts as it stands,
// without the calculator.   isPlainNumber(" -2.5e3") is true, isPlainNumber("2+3") is false
bool isPlainNumber(std::string_view text);

// What stands between a unit name's first "(" and the ")" after it; the rest of the name after
// a "(" without ")"; the whole name without brackets.
//   shortName("Метр (м)") == "м", shortName("Верста") == "Верста"
std::string shortName(std::string_view unitName);

// The word that shows the author's verse.
bool isVerseKeyword(std::string_view text);

} // namespace convmodel
