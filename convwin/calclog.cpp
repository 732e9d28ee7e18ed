// The calculation log's file handling: a regular file only, Windows-1251 bytes, and every
// failure handed back as a Russian reason instead of a silent loss.
#include "convwin/calclog.h"

#include "dialogs/systemreason.h"
#include "unitdb/cp1251.h"

#include <cerrno>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

std::string reason(int error)
{
    return systemReason(error).toStdString();
}

// Opens the log as a stream, but only once a non-blocking look has shown a regular file: a
// FIFO without a reader or a device named as the log would otherwise hang the program.
std::FILE* openRegularFile(const std::string& path, CalcLog::Mode mode, std::string& failure)
{
#ifndef _WIN32
    const int fd = ::open(path.c_str(),
                          O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        failure = reason(errno);
        return nullptr;
    }
    struct stat info {
    };
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!regular) {
        failure = "это не обычный файл";
        return nullptr;
    }
#endif
    std::FILE* file = std::fopen(path.c_str(), mode == CalcLog::Mode::Create ? "wb" : "ab");
    if (!file)
        failure = reason(errno);
    return file;
}

} // namespace

CalcLog::~CalcLog()
{
    close();
}

std::optional<std::string> CalcLog::open(const std::string& path, Mode mode,
                                         const std::string& caption)
{
    close();
    if (path.empty())
        return std::string("пустое имя файла");
    std::string failure;
    m_file = openRegularFile(path, mode, failure);
    if (!m_file)
        return failure;
    std::fseek(m_file, 0, SEEK_END);
    if (std::ftell(m_file) == 0) {
        if (auto failed = write({caption, ""})) {
            close();
            return failed;
        }
    }
    return std::nullopt;
}

std::optional<std::string> CalcLog::write(const std::vector<std::string>& lines)
{
    if (!m_file)
        return std::string("файл не открыт");
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    const std::string bytes = cp1251OrQuestionMarks(text);
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size() ||
        std::fflush(m_file) != 0)
        return reason(errno);
    return std::nullopt;
}

void CalcLog::close()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}
