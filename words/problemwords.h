// The words of the problems both the window and the command line tell: the calculator's
// refusals, the unit words it cannot take, and why Base.dat could not be read. UTF-8 text;
// the window wraps it into its message boxes.
#pragma once

#include "calc/calculator.h"
#include "convmodel/unitwords.h"
#include "fileio/fileerror.h"
#include "unitdb/basefile.h"

#include <string>
#include <string_view>
#include <utility>

namespace words
{

// The historic error numbers the messages carry («Ошибка № 53: …»).
enum class ErrorNumber {
    Overflow = 6,       // a value beyond the double range
    OutOfMemory = 7,    // Base.dat too large to hold
    OutOfRange = 9,     // more quantities or units than the lists hold
    TypeMismatch = 13,  // a coefficient that is not a number
    BadFileName = 52,   // a log name that names nothing
    FileNotFound = 53,  // no Base.dat
    PastEndOfFile = 62, // Base.dat empty or cut short
    FileAccess = 75,    // a file that cannot be read, written or used
};

// «Ошибка № 53: …»
std::string numberedError(ErrorNumber number, std::string_view description);

// «нет такого файла» for ENOENT, «доступ запрещён» for EACCES and so on; a code without words
// of its own is «системная ошибка N». The C library's own texts are English.
std::string systemReason(int error);
// Why a file could not be read or replaced: the system's reason, or the file layer's own.
std::string fileReason(fileio::FileError code, int error);

// The calculator's refusals, shown by every box that evaluates.
std::string calcErrorText(calc::CalcError code);
// A unit word the input line cannot take.
std::string unitWordText(const convmodel::UnitWordRefusal& refusal);
// An opening bracket without its closing one.
std::string unclosedBracketText();
// «Переполнение! Не используйте числа больше 10^300.»
std::string overflowText();

// No Base.dat where it is looked for.
std::string baseMissingText();
// What went wrong in Base.dat, with the number the program has always given it.
std::pair<ErrorNumber, std::string> baseLoadFault(const unitdb::LoadResult& load);

} // namespace words
