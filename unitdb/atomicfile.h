// Replaces a file as a whole or not at all: a new file beside it, written,
// flushed to disk, then renamed over the old one.
#pragma once

#include "unitdb/errors.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace unitdb
{

enum class FileStep { None, Open, Write, Flush, Close, Rename };

struct FileWriteResult {
    ErrorCode code = ErrorCode::None; // None or WriteFailed
    FileStep step = FileStep::None;   // the step that failed
    int systemError = 0;              // errno of that step
    std::string systemText;           // its text, as the system words it
    std::filesystem::path file;       // the file that step worked on
    bool ok() const { return code == ErrorCode::None; }
};

// Lets a test make one step fail: return 0 to let the step run, or an errno
// value to fail it as if the system had.
using FileStepFault = std::function<int(FileStep)>;

// The temporary file writeFileAtomically uses for `path`: same folder, ".tmp" added.
std::filesystem::path temporaryPathFor(const std::filesystem::path& path);

// Writes `bytes` to `path` atomically. On failure the temporary file is removed
// and the old file, if any, is left exactly as it was.
FileWriteResult writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                    const FileStepFault& fault = {});

} // namespace unitdb
