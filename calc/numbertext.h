// Numbers in text: the reader every text box and file goes through, and the
// forms in which the program writes numbers back.
#pragma once

#include <string>
#include <string_view>

namespace calc {

// Reads a number from the start of a text. Blanks are skipped wherever they
// occur; then an optional sign, digits, at most one period and an optional
// exponent ("E"/"e", sign, digits). Reading stops at the first character that
// does not fit; a text without a leading number reads as 0. The decimal point
// is always a period. A magnitude beyond the double range reads as +-infinity
// (callers that show numbers check std::isfinite), one too small reads as 0.
//   readNumber(" 1 2.5e1x") == 125.0, readNumber("abc") == 0.0
double readNumber(std::string_view text);

// The general text of a value: at most 15 significant digits, no trailing
// zeros, "-" for negative values, `decimalSep` as the separator. Magnitudes
// from 1E-04 up to (but not including) 1E+15 are written in fixed form; all
// others in exponent form with a capital "E", a sign and at least two digits.
//   numberText(0.5) == "0.5", numberText(1e15) == "1E+15",
//   numberText(0.00001) == "1E-05", numberText(2.5, ',') == "2,5"
// Every text it writes reads back, with readNumber, as the same 15-digit value.
// Infinity and NaN are never written by the program; they come out as "inf"
// and "nan" here only so that a caller's slip is visible.
std::string numberText(double value, char decimalSep = '.');

// The signed number text: the same digits with a period, one leading blank for
// zero and positive values, no zero before the point below 1.
//   signedNumberText(7) == " 7", signedNumberText(0.5) == " .5",
//   signedNumberText(-0.25) == "-.25"
std::string signedNumberText(double value);

// The same without the leading blank ("plain decimal"): plainNumberText(0.5) == ".5".
std::string plainNumberText(double value);

// Rounds to `places` decimal places (0 to 15); a value whose exact binary
// expansion lies halfway goes to the even neighbour:
//   roundToPlaces(0.125, 2) == 0.12, roundToPlaces(0.375, 2) == 0.38,
//   roundToPlaces(2.5, 0) == 2, roundToPlaces(3.5, 0) == 4
double roundToPlaces(double value, int places);

} // namespace calc
