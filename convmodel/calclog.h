// The calculation log: Windows-1251 text with CR LF, opened at start-up (or when the user
// turns logging on) and kept open until shut-down. Every entry is appended, so that two copies
// of the program logging to one file keep each other's lines.
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

// What became of an entry.
struct LogWrite {
    std::optional<LogFailure> failure;
    bool restarted = false; // the open file was moved away or deleted: a new one at the name
};

class CalcLog
{
public:
    enum class Mode { Create, Append };

    CalcLog() = default;
    CalcLog(const CalcLog&) = delete;
    CalcLog& operator=(const CalcLog&) = delete;
    ~CalcLog();

    // Opens the log, a regular file only, never waiting on a FIFO or device; Create empties it
    // first. Writes the header (`caption` and an empty line) when the file is new or empty.
    std::optional<LogFailure> open(const std::filesystem::path& path, Mode mode,
                                   const std::string& caption);
    bool isOpen() const { return m_file != nullptr; }

    // Writes UTF-8 lines, each ended by CR LF, in Windows-1251 with "?" for a character it
    // lacks, and flushes them so that a crash loses no finished calculation. When the name no
    // longer leads to the open file, the lines go to a log opened anew there.
    LogWrite write(const std::vector<std::string>& lines);
    void close();

private:
    std::optional<LogFailure> append(const std::vector<std::string>& lines);
    bool movedAway() const;

    std::FILE* m_file = nullptr;
    std::filesystem::path m_path;
    std::string m_caption;
};

} // namespace convmodel
