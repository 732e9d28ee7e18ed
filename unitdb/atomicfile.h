// Replaces a file as a whole or not at all: a new file beside it, written,
// flushed to disk, then renamed over the old one.
#pragma once

#include "unitdb/errors.h"

#include <filesystem>
#include <functional>
#include <string_view>

namespace unitdb
{

enum class FileStep { None, Open, Write, Flush, Close, Rename };

struct FileWriteResult {
    ErrorCode code = ErrorCode::None; // None, WriteFailed or NotRegularFile (a folder, a device)
    FileStep step = FileStep::None;   // the step that failed
    int systemError = 0;              // errno of that step (EISDIR for a folder in the way)
    std::filesystem::path file;       // the file being replaced: a link's target for a link
    bool ok() const { return code == ErrorCode::None; }
};

// Lets a test make one step fail: return 0 to let the step run, or an errno
// value to fail it as if the system had.
using FileStepFault = std::function<int(FileStep)>;

// Writes `bytes` to `path` atomically. The new file gets a fresh name in the
// same folder, created exclusively, so that two writers never share it and
// nothing already there is followed. A symbolic link is written through: its
// target is replaced, in the target's folder, and the link stays. A replaced
// file keeps its permission bits. On failure the new file is removed and the
// old file, if any, is left exactly as it was.
FileWriteResult writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                    const FileStepFault& fault = {});

} // namespace unitdb
