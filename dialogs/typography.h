// Signs that word processors and web pages put in place of the plain operators.
#pragma once

#include <QString>

// The same text with typographic minus, dashes, multiplication and division signs
// turned into "-", "*", "/" and non-breaking or thin spaces into blanks, one
// character for one, so a caret position stays valid.
//   plainOperators("5−1") == "5-1", plainOperators("2×3") == "2*3"
QString plainOperators(QString text);
