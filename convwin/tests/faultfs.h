// Makes one kind of file-system call fail, on files whose path holds a given text, while a
// FaultScope lives: the test program replaces the C library's calls for the whole process.
#pragma once

#include <string>

namespace faultfs
{

// Open is an open for writing, OpenToRead one for reading.
enum class Step { Open, Write, Flush, Close, Rename, OpenToRead, Stat, Read };

struct FaultScope {
    FaultScope(Step step, int error, std::string pathPart);
    ~FaultScope();
    FaultScope(const FaultScope&) = delete;
    FaultScope& operator=(const FaultScope&) = delete;

    const Step step;
    const int error;
    const std::string pathPart;
    // How many calls were made to fail.
    int failures = 0;
};

} // namespace faultfs
