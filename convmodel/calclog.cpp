// The calculation log's file handling: a regular file only, Windows-1251 bytes, and every
// failure handed back with the system's error instead of a silent loss.
#include "convmodel/calclog.h"

#include "unitdb/cp1251.h"

#include <cerrno>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace convmodel
{

namespace
{

// Windows-1251 bytes of UTF-8 text; a character the code page lacks becomes "?", so a
// calculation is never dropped for one exotic letter.
std::string cp1251OrQuestionMarks(std::string_view text)
{
    std::string out;
    while (!text.empty()) {
        const auto encoded = unitdb::encodeCp1251(text);
        if (encoded.ok())
            return out + encoded.bytes;
        out += unitdb::encodeCp1251(text.substr(0, encoded.position)).bytes;
        out += '?';
        std::size_t next = encoded.position;
        unitdb::nextCodePoint(text, next);
        text.remove_prefix(next);
    }
    return out;
}

// Opens the log as a stream for appending, but only once a non-blocking look has shown a
// regular file: a FIFO without a reader or a device named as the log would otherwise hang the
// program. Appending, another copy's lines written meanwhile are never overwritten.
std::FILE* openRegularFile(const std::filesystem::path& path, CalcLog::Mode mode,
                           LogFailure& failure)
{
#ifndef _WIN32
    const int fd = ::open(path.c_str(),
                          O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        failure.systemError = errno;
        return nullptr;
    }
    struct stat info {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        failure.notRegularFile = true;
        ::close(fd);
        return nullptr;
    }
    std::FILE* file = nullptr;
    if (mode == CalcLog::Mode::Create && ::ftruncate(fd, 0) != 0)
        failure.systemError = errno;
    else if (::fcntl(fd, F_SETFL, O_APPEND) != 0 || !(file = ::fdopen(fd, "ab")))
        failure.systemError = errno;
    if (!file)
        ::close(fd);
#else
    if (mode == CalcLog::Mode::Create) {
        if (std::FILE* emptied = ::_wfopen(path.c_str(), L"wb"))
            std::fclose(emptied);
    }
    std::FILE* file = ::_wfopen(path.c_str(), L"ab");
    if (!file)
        failure.systemError = errno;
#endif
    return file;
}

} // namespace

CalcLog::~CalcLog()
{
    close();
}

std::optional<LogFailure> CalcLog::open(const std::filesystem::path& path, Mode mode,
                                        const std::string& caption)
{
    close();
    LogFailure failure;
    m_file = openRegularFile(path, mode, failure);
    if (!m_file)
        return failure;
    m_path = path;
    m_caption = caption;
    std::fseek(m_file, 0, SEEK_END);
    if (std::ftell(m_file) == 0) {
        if (auto failed = append({caption, ""})) {
            close();
            return failed;
        }
    }
    return std::nullopt;
}

LogWrite CalcLog::write(const std::vector<std::string>& lines)
{
    if (!m_file)
        return {LogFailure{EBADF, false}, false};
    LogWrite result;
    if (movedAway()) {
        result.restarted = true;
        // Copies: open() assigns the members these would otherwise alias.
        const std::filesystem::path path = m_path;
        const std::string caption = m_caption;
        result.failure = open(path, Mode::Append, caption);
        if (result.failure)
            return result;
    }
    result.failure = append(lines);
    return result;
}

bool CalcLog::movedAway() const
{
#ifndef _WIN32
    // Windows lets no one move or delete a file held open, so only here can it happen.
    struct stat atName {
    };
    struct stat open {
    };
    if (::fstat(::fileno(m_file), &open) != 0)
        return false;
    return ::stat(m_path.c_str(), &atName) != 0 || atName.st_dev != open.st_dev ||
           atName.st_ino != open.st_ino;
#else
    return false;
#endif
}

std::optional<LogFailure> CalcLog::append(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    const std::string bytes = cp1251OrQuestionMarks(text);
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size() ||
        std::fflush(m_file) != 0)
        return LogFailure{errno, false};
    return std::nullopt;
}

void CalcLog::close()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

} // namespace convmodel
