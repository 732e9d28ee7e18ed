// The calculation log: Windows-1251 text with CR LF, opened at start-up (or when the user
// turns logging on) and kept open until shut-down.
#pragma once

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace convmodel
{

// Why the log could not be opened or written.
struct LogFailure {
    int systemError = 0;         // errno
    bool notRegularFile = false; // a folder, device or pipe stands at the name
};

class CalcLog
{
public:
    enum class Mode { Create, Append };

    CalcLog() = default;
    CalcLog(const CalcLog&) = delete;
    CalcLog& operator=(const CalcLog&) = delete;
    ~CalcLog();

    // Opens the log, a regular file only, never waiting on a FIFO or device; writes the
    // header (`caption` and an empty line) when the file is created or was empty.
    std::optional<LogFailure> open(const std::filesystem::path& path, Mode mode,
                                   const std::string& caption);
    bool isOpen() const { return m_file != nullptr; }

    // Writes UTF-8 lines, each ended by CR LF, in Windows-1251 with "?" for a character it
    // lacks, and flushes them so that a crash loses no finished calculation.
    std::optional<LogFailure> write(const std::vector<std::string>& lines);
    void close();

private:
    std::FILE* m_file = nullptr;
};

} // namespace convmodel
