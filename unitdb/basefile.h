// Base.dat as read and as written: the category records, their units and
// descriptions, in the file's own text form.
#pragma once

#include "fileio/atomicfile.h"
#include "fileio/filereader.h"
#include "unitdb/errors.h"
#include "unitdb/unitdatabase.h"

#include <filesystem>
#include <optional>
#include <string>

namespace unitdb
{

// Far beyond 51 x 101 units with long descriptions.
inline constexpr std::size_t kBaseFileLimit = std::size_t{64} << 20;

struct LoadResult {
    ErrorCode code = ErrorCode::None;
    int line = 0;         // 1-based line of the fault (one past the last line for an early end)
    bool partial = false; // the database holds only the records read before `line`
    bool lastCut = false; // the fault sits inside the last quantity, which lacks its later units
    fileio::FileError fileError = fileio::FileError::None; // why FileUnread
    int systemError = 0;                                   // errno, for FileUnread
    fileio::FileStamp stamp; // the file as read, when it was read (ok() or partial)
    bool ok() const { return code == ErrorCode::None; }
};

// Replaces the database with the file's, unchanged. The encoding is told as decodeFile()
// tells it, and the database keeps it; a malformed byte in UTF-8 is a fault of its line. Blank
// lines where a category is due are skipped; a file of nothing else is EmptyFile. On a fault
// in the records the database keeps every unit read before it, and the category it sits in;
// nothing past the capacity is stored. A file that cannot be read, or is not a regular file,
// leaves the database empty.
LoadResult load(UnitDatabase& database, const std::filesystem::path& path,
                const fileio::ReadStepFault& fault = {});

enum class BackupMode {
    None,
    KeepOriginal, // copy the file being replaced to "<name>.bak" first
};

struct SaveOptions {
    BackupMode backup = BackupMode::None;
    // Larger is refused: load() would not read it back. Another file than Base.dat may take more.
    std::size_t limit = kBaseFileLimit;
    fileio::FileStepFault fault; // tests only: makes a step of the final write fail
};

struct SaveResult {
    ErrorCode code = ErrorCode::None;
    // Where a refused text or coefficient sits: the quantity, the unit (none for the
    // quantity's name) and the text field (none for a coefficient).
    std::size_t quantity = 0;
    std::optional<std::size_t> slot;
    std::optional<TextField> field;
    char32_t character = 0; // the character Windows-1251 cannot hold
    fileio::FileWriteResult
        write; // which step failed, why, on which file (WriteFailed, BackupFailed)
    bool ok() const { return code == ErrorCode::None; }
};

// The file's bytes for the database: CR LF, coefficients with a period, text in the
// database's encoding (Windows-1251 unless it was read from UTF-8), each name and
// description as the text rule writes it. Refuses text the rule refuses and a coefficient
// checkCoefficient() refuses. Windows-1251 that load() would take for UTF-8 is written as
// UTF-8 with a BOM.
SaveResult baseFileBytes(const UnitDatabase& database, std::string& bytes);

// Writes the database to the file atomically; on any failure nothing is changed on disk.
SaveResult save(const UnitDatabase& database, const std::filesystem::path& path,
                const SaveOptions& options = {});

// "<name>.bak" beside the file: where BackupMode::KeepOriginal keeps the original.
std::filesystem::path backupPathFor(const std::filesystem::path& path);

} // namespace unitdb
