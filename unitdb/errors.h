// Error codes of the unit database: what Load, Save, the Windows-1251 codec and
// the atomic file writer hand back. The windows turn them into words.
#pragma once

namespace unitdb
{

enum class ErrorCode {
    None,
    FileMissing,        // Load: the file does not exist
    ReadFailed,         // Load: the file exists but could not be read (see the system text)
    FileTooLarge,       // Load, reader: the file is far larger than its format can sensibly hold
    EmptyFile,          // Load: the file holds no record at all (no bytes, or blank lines only)
    NotRegularFile,     // reader, atomic writer: a folder, device or pipe stands at the file's name
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
    WriteFailed,        // Save, atomic writer: a step of writing the file failed
};

} // namespace unitdb
