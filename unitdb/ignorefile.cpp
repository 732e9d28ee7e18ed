#include "unitdb/ignorefile.h"

namespace unitdb
{

namespace
{

bool isUtf8Text(std::string_view bytes)
{
    bool nonAscii = false;
    for (unsigned char c : bytes)
        nonAscii = nonAscii || c >= 0x80;
    return nonAscii && isValidUtf8(bytes);
}

void addField(std::vector<std::string>& names, std::string field)
{
    if (!field.empty())
        names.push_back(std::move(field));
}

} // namespace

std::vector<std::string> parseIgnoreList(std::string_view bytes)
{
    std::string text;
    if (bytes.starts_with("\xEF\xBB\xBF"))
        text = bytes.substr(3);
    else if (isUtf8Text(bytes))
        text = bytes;
    else
        text = decodeCp1251(bytes);

    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        std::string field;
        if (pos < text.size() && text[pos] == '"') {
            // A quote left open ends with its line.
            const auto close = text.find_first_of("\"\r\n", pos + 1);
            const auto end = close == std::string::npos ? text.size() : close;
            field = text.substr(pos + 1, end - pos - 1);
            pos = end < text.size() && text[end] == '"' ? end + 1 : end;
            // Whatever follows the closing quote up to the delimiter is dropped.
            while (pos < text.size() && text[pos] != ',' && text[pos] != '\r' && text[pos] != '\n')
                ++pos;
        } else {
            const auto end = text.find_first_of(",\r\n", pos);
            field = text.substr(pos, (end == std::string::npos ? text.size() : end) - pos);
            pos = end == std::string::npos ? text.size() : end;
        }
        addField(names, std::move(field));
        if (pos < text.size()) {
            if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
                ++pos;
            ++pos;
        }
    }
    return names;
}

EncodeResult ignoreListBytes(const std::vector<std::string>& names)
{
    std::string text;
    for (const auto& name : names) {
        text += name;
        text += "\r\n";
    }
    return encodeCp1251(text);
}

} // namespace unitdb
