// A slow, literal transcription of the calculator's text rewriting: every step
// rewrites the whole text and every search starts again at the first character.
// The fast calculator must agree with it bit for bit.
#pragma once

#include "calc/calculator.h"

#include <string>

namespace reference
{

calc::BracketResult evalBrackets(const std::string& text, const calc::CalcOptions& options);

} // namespace reference
