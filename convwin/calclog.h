// The calculation log: Windows-1251 text with CR LF, opened at start-up (or
// when the user turns logging on) and kept open until shut-down.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

class CalcLog
{
public:
    enum class Mode { Create, Append };

    CalcLog() = default;
    CalcLog(const CalcLog&) = delete;
    CalcLog& operator=(const CalcLog&) = delete;
    ~CalcLog();

    // Opens the log, a regular file only, never waiting on a FIFO or device; writes the
    // header (`caption` and an empty line) when the file is created or was empty. Returns
    // the reason on failure.
    std::optional<std::string> open(const std::string& path, Mode mode, const std::string& caption);
    bool isOpen() const { return m_file != nullptr; }

    // Writes UTF-8 lines, each ended by CR LF, in Windows-1251 with "?" for a character it
    // lacks, and flushes them so that a crash loses no finished calculation. Returns the
    // reason on failure.
    std::optional<std::string> write(const std::vector<std::string>& lines);
    void close();

private:
    std::FILE* m_file = nullptr;
};
