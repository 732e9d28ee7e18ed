// Replaces a file as a whole or not at all: a new file beside it, written,
// flushed to disk, then renamed over the old one.
#pragma once

#include "fileio/fileerror.h"
#include "fileio/filelock.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace fileio
{

enum class FileStep { None, Open, Write, Flush, Close, Rename };

struct FileWriteResult {
    FileError code = FileError::None; // None, WriteFailed or NotRegularFile (a folder, a device)
    FileStep step = FileStep::None;   // the step that failed
    int systemError = 0;              // errno of that step (EISDIR for a folder in the way)
    std::filesystem::path file;       // the file being replaced: a link's target for a link
    bool ok() const { return code == FileError::None; }
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

// Keeps a copy of `original` (at most `limit` bytes) at `copy`, replaced atomically, before
// the original is replaced. A missing original has nothing to keep and succeeds; one that
// cannot be read fails with the reader's code and step Open. A link at `copy` is neither
// followed nor replaced: the copy fails with Link.
FileWriteResult keepCopy(const std::filesystem::path& original, const std::filesystem::path& copy,
                         std::size_t limit);

// Removes from `folder` what saves killed midway left of the files `names`: temporaries of
// the exact names this writer makes, only regular files of this user, only those last written
// before `held` was taken, which keeps the saves of other copies out meanwhile. Returns how
// many went.
int removeLeftovers(const FileLock& held, const std::filesystem::path& folder,
                    const std::vector<std::string>& names);

} // namespace fileio
