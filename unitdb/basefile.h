// Base.dat as read and as written: the category records, their units and
// descriptions, in the file's own text form.
#pragma once

#include "fileio/atomicfile.h"
#include "fileio/filereader.h"
#include "unitdb/errors.h"
#include "unitdb/unittables.h"

#include <filesystem>
#include <string>

namespace unitdb
{

// Far beyond 51 x 101 units with long descriptions.
inline constexpr std::size_t kBaseFileLimit = std::size_t{64} << 20;

struct LoadResult {
    ErrorCode code = ErrorCode::None;
    int line = 0;         // 1-based line of the fault (one past the last line for an early end)
    bool partial = false; // the tables hold only the records read before `line`
    TextEncoding encoding = TextEncoding::Cp1251;
    fileio::FileError fileError = fileio::FileError::None; // why FileUnread
    int systemError = 0;                                   // errno, for FileUnread
    fileio::FileStamp stamp; // the file as read, when it was read (ok() or partial)
    bool ok() const { return code == ErrorCode::None; }
};

// Reads the file into the tables, replacing what they held (the changed flag is left
// alone). A BOM, or valid UTF-8 with non-ASCII bytes, is read as UTF-8; anything
// else as Windows-1251; the tables keep which. Blank lines where a category is due
// are skipped; a file of nothing else is EmptyFile. On a fault in the records the
// tables keep every unit read before it, and the category it sits in; nothing past
// the capacity is stored. A file that cannot be read, or is not a regular file,
// leaves the tables empty.
LoadResult load(UnitTables& tables, const std::filesystem::path& path,
                const fileio::ReadStepFault& fault = {});

enum class BackupMode {
    None,
    KeepOriginal, // copy the file being replaced to "<name>.bak" first
};

struct SaveOptions {
    BackupMode backup = BackupMode::None;
    fileio::FileStepFault fault; // tests only: makes a step of the final write fail
};

enum class TextField { None, CategoryName, UnitName, Coefficient, Description };

struct SaveResult {
    ErrorCode code = ErrorCode::None;
    int category = -1; // where the refused text or coefficient sits
    int slot = -1;     // -1 for a category name
    TextField field = TextField::None;
    char32_t character = 0; // the character Windows-1251 cannot hold
    fileio::FileWriteResult write;  // which step failed, why and on which file (WriteFailed, BackupFailed)
    bool ok() const { return code == ErrorCode::None; }
};

// The file's bytes for the tables: CR LF, coefficients with a period, text in the
// tables' encoding (Windows-1251 unless they were read from UTF-8). Names holding a
// comma or leading blanks are quoted. Refuses text that would read back differently,
// a coefficient checkCoefficient() refuses, and in Windows-1251 a character the code
// page lacks. Windows-1251 that load() would take for UTF-8 is written as UTF-8 with a BOM.
SaveResult baseFileBytes(const UnitTables& tables, std::string& bytes);

// Writes the tables to the file atomically; on any failure nothing is changed on disk.
SaveResult save(const UnitTables& tables, const std::filesystem::path& path,
                const SaveOptions& options = {});

// "<name>.bak" beside the file: where BackupMode::KeepOriginal keeps the original.
std::filesystem::path backupPathFor(const std::filesystem::path& path);

} // namespace unitdb
