// Makes one kind of file-system call fail, for files whose path holds a given
// text, while a FaultScope lives. The calls are replaced for the whole test
// program (it exports its own open, write, fsync, close, rename and stdio
// calls), so the program's real writers fail as they would on a full disk.
#pragma once

#include <string>

namespace faultfs
{

enum class Step { Open, Write, Flush, Close, Rename };

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
