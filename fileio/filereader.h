// Reads a whole file the careful way: only a regular file, opened without
// blocking, and never more bytes than its format can sensibly hold. Every
// failure is a result with the system's error number; nothing is thrown.
#pragma once

#include "fileio/fileerror.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace fileio
{

enum class ReadStep { Open, Stat, Read };

// Lets a test or a fuzz target make a step fail: return 0 to let the step run,
// or an errno value to fail it as the system would. Read is asked once a chunk.
using ReadStepFault = std::function<int(ReadStep)>;

// What a file was when it was read, to tell later whether someone replaced it.
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0; // modification time, in the system's finest unit
    std::uint64_t hash = 0;    // of the bytes read
    bool operator==(const FileStamp&) const = default;
};

struct FileReadResult {
    FileError code = FileError::None; // Missing, NotRegularFile, TooLarge or ReadFailed
    ReadStep step = ReadStep::Open;   // the step that failed
    int systemError = 0;              // errno of that step (EISDIR for a folder)
    std::string bytes;
    FileStamp stamp;
    bool ok() const { return code == FileError::None; }
};

// The whole file, at most `limit` bytes of it.
FileReadResult readFile(const std::filesystem::path& path, std::size_t limit,
                        const ReadStepFault& fault = {});

enum class DiskState {
    Same,      // the file is what the stamp describes
    Changed,   // replaced, edited or removed since
    Unreadable // cannot be read now, so cannot be compared
};

DiskState compareWithDisk(const std::filesystem::path& path, const FileStamp& stamp,
                          std::size_t limit);

} // namespace fileio
