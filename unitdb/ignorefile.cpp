// Ignore.ini text: read in either encoding, written back in the form that reads back the same.
#include "unitdb/ignorefile.h"

namespace unitdb
{

IgnoreList parseIgnoreList(std::string_view bytes)
{
    IgnoreList list;
    const FileText file = decodeFile(bytes);
    list.encoding = file.encoding;
    const std::string& text = file.text;

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
        if (!field.empty())
            list.names.push_back(std::move(field));
        if (pos < text.size()) {
            if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
                ++pos;
            ++pos;
        }
    }
    return list;
}

IgnoreListBytes ignoreListBytes(const std::vector<std::string>& names, TextEncoding encoding)
{
    IgnoreListBytes result;
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        if (name.empty())
            continue; // an empty line names nothing
        result.refused = checkText(name, TextField::ListName, encoding);
        if (!result.refused.ok()) {
            result.index = i;
            return result;
        }
        const std::string_view quote = needsQuotes(name, TextField::ListName) ? "\"" : "";
        text.append(quote).append(name).append(quote).append("\r\n");
    }
    result.bytes = encodeFile(text, encoding);
    return result;
}

} // namespace unitdb
