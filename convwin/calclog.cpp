#include "convwin/calclog.h"

#include "unitdb/cp1251.h"

#include <cerrno>
#include <cstring>

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
    m_file = std::fopen(path.c_str(), mode == Mode::Create ? "wb" : "ab");
    if (!m_file)
        return std::string(std::strerror(errno));
    std::fseek(m_file, 0, SEEK_END);
    if (std::ftell(m_file) == 0) {
        if (auto failure = write({caption, ""})) {
            close();
            return failure;
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
    const auto encoded = unitdb::encodeCp1251(text);
    if (!encoded.ok())
        return std::string("символ не представим в кодировке Windows-1251");
    if (std::fwrite(encoded.bytes.data(), 1, encoded.bytes.size(), m_file) !=
            encoded.bytes.size() ||
        std::fflush(m_file) != 0)
        return std::string(std::strerror(errno));
    return std::nullopt;
}

void CalcLog::close()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}
