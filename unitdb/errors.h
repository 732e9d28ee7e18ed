// Error codes of the unit database: what Load, Save, the editor's operations, the text rule
// and the Windows-1251 codec hand back. The windows turn them into words.
#pragma once

namespace unitdb
{

enum class ErrorCode {
    None,
    FileUnread,         // Load: the file could not be read (the result says why)
    EmptyFile,          // Load: the file holds no record at all (no bytes, or blank lines only)
    MissingCoefficient, // Load: a unit line has no comma and coefficient after the name
    BadCoefficient,     // Load: the coefficient is not a number; Save, edit: NaN
    NotPositive,        // Load, Save, edit: the coefficient is zero or negative
    OutOfRange,         // Load, Save, edit: the coefficient is beyond a normal double
    ExtraField,         // Load: a comma where the line must end (category name, coefficient, "*")
    UnclosedQuote,      // Load: a field opens a double quote and the line ends first
    UnexpectedEnd,      // Load: the file ends inside a category record
    TooManyCategories,  // Load, edit: a quantity beyond the 51 the lists hold
    TooManyUnits,       // Load, edit: a unit beyond the 101 a quantity holds
    DuplicateName,      // edit: a second quantity, or a second unit in one quantity, of a name
    LastUnit,           // edit: deleting the only unit of a quantity
    LastQuantity,       // edit: deleting the only quantity
    LineBreak,          // text rule: a line break where the file keeps the text on one line
    OpeningQuote,       // text rule: a name opens with a double quote, blanks before it or not
    QuoteInQuotedName,  // text rule: a name that must be written in quotes holds one
    EndMarkerName,      // text rule: a unit named "*" would end its quantity's record
    Unencodable,        // text rule, codec: a character Windows-1251 cannot hold
    InvalidUtf8,        // Load: a UTF-8 file holds a malformed byte; text rule, codec: the
                        // text handed in is not valid UTF-8
    BackupFailed,       // Save: the copy of the original file could not be written
    WriteFailed,        // Save: a step of writing the file failed
    TooLarge,           // Save: the file would be larger than Load reads (the options' limit)
};

} // namespace unitdb
