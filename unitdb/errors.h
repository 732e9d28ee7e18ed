// Error codes of the unit database: what Load, Save and the Windows-1251 codec hand back. The windows turn them into words.
#pragma once

namespace unitdb
{

enum class ErrorCode {
    None,
    FileUnread,         // Load: the file could not be read (the result says why)
    EmptyFile,          // Load: the file holds no record at all (no bytes, or blank lines only)
    MissingCoefficient, // Load: a unit line has no comma and coefficient after the name
    BadCoefficient,     // Load: the coefficient is not a number; Save, check: NaN in memory
    NotPositive,        // Load, Save, check: the coefficient is zero or negative
    OutOfRange,         // Load, Save, check: the coefficient is beyond a normal double
    ExtraField,         // Load: a comma where the line must end (category name, coefficient, "*")
    UnclosedQuote,      // Load: a field opens a double quote and the line ends first
    UnexpectedEnd,      // Load: the file ends inside a category record
    TooManyCategories,  // Load: a category beyond the 51 the tables hold
    TooManyUnits,       // Load: a unit beyond the 101 a category holds
    Unencodable,        // Save, codec: a character Windows-1251 cannot hold
    InvalidUtf8,        // codec: the text handed in is not valid UTF-8
    UnwritableText,     // Save: a name or description that would not read back the same
    BackupFailed,       // Save: the copy of the original file could not be written
    WriteFailed,        // Save: a step of writing the file failed
};

} // namespace unitdb
