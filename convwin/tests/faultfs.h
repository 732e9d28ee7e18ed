// Makes one kind of file-system call fail, for files whose path holds a given
// text, while a FaultScope lives. The calls are replaced for the whole test
// program (it exports its own open, read, fstat, write, fsync, close, rename
// and stdio calls), so the program's real readers and writers fail as they
// would on a bad sector or a full disk.
#pragma once

#include <string>

namespace faultfs
{

// Open is an open for writing, OpenToRead one for reading.
enum class Step { Open, Write, Flush, Close, Rename, OpenToRead, Stat, Read };

class FaultScope
{
public:
    // Fails every `step` call on a path containing `pathPart` with `error`.
    FaultScope(Step step, int error, std::string pathPart);
    ~FaultScope();
    FaultScope(const FaultScope&) = delete;
    FaultScope& operator=(const FaultScope&) = delete;

    // How many calls were made to fail.
    int failures() const;
};

const char* stepName(Step step);

} // namespace faultfs
