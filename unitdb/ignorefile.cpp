// Ignore.ini text: read in either encoding, written back in the form that reads back the same.
#include "unitdb/ignorefile.h"

namespace unitdb
{

namespace
{

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

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

enum class NameForm { Plain, Quoted, Unwritable };

// How a name must be written for the reader to give it back unchanged: a comma
// or a leading blank or quote needs the quotes, which cannot hold a quote.
NameForm formOf(std::string_view name)
{
    if (name.find_first_of("\r\n") != std::string_view::npos)
        return NameForm::Unwritable;
    const char first = name.front();
    if (name.find(',') == std::string_view::npos && first != ' ' && first != '\t' && first != '"')
        return NameForm::Plain;
    return name.find('"') == std::string_view::npos ? NameForm::Quoted : NameForm::Unwritable;
}

} // namespace

std::vector<std::string> parseIgnoreList(std::string_view bytes)
{
    std::string text;
    if (bytes.starts_with(kUtf8Bom))
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
        if (name.empty())
            continue; // an empty line names nothing
        const NameForm form = formOf(name);
        if (form == NameForm::Unwritable) {
            EncodeResult refused;
            refused.code = ErrorCode::UnwritableText;
            refused.position = text.size();
            return refused;
        }
        const std::string_view quote = form == NameForm::Quoted ? "\"" : "";
        text.append(quote).append(name).append(quote).append("\r\n");
    }
    EncodeResult result = encodeCp1251(text);
    // Windows-1251 bytes that open with "п»ї" or happen to form UTF-8 would read
    // back as other letters; only then is the list written as UTF-8, marked as such.
    if (result.ok() && (result.bytes.starts_with(kUtf8Bom) || isUtf8Text(result.bytes)))
        result.bytes = std::string(kUtf8Bom) + text;
    return result;
}

} // namespace unitdb
