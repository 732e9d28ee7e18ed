// The input line's text rules, on UTF-8.
#include "convmodel/inputtext.h"

#include "unitdb/cp1251.h"

#include <algorithm>

namespace convmodel
{

namespace
{

char plainSign(char32_t c)
{
    switch (c) {
    case U'\u2212': // minus sign
    case U'\u2013': // en dash
        return '-';
    case U'\u00D7': // multiplication sign
    case U'\u00B7': // middle dot
        return '*';
    case U'\u00F7': // division sign
    case U'\u2215': // division slash
        return '/';
    case U'\u00A0': // no-break space
    case U'\u2009': // thin space
    case U'\u202F': // narrow no-break space
        return ' ';
    default:
        return 0;
    }
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
std::size_t skipBlanks(std::string_view s, std::size_t i)
{
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return i;
}

} // namespace

std::string plainSigns(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const std::size_t start = pos;
        const char32_t c = unitdb::nextCodePoint(utf8, pos);
        if (const char sign = plainSign(c))
            out.push_back(sign);
        else
            out.append(utf8.substr(start, pos - start));
    }
    return out;
}

std::string plainInput(std::string_view utf8)
{
    std::string out = plainSigns(utf8);
    std::ranges::replace(out, ',', '.');
    return out;
}

std::string shortName(std::string_view unitName)
{
    const auto open = unitName.find('(');
    if (open == std::string_view::npos)
        return std::string(unitName);
    const auto close = unitName.find(')', open + 1);
    return std::string(close == std::string_view::npos
                           ? unitName.substr(open + 1)
                           : unitName.substr(open + 1, close - open - 1));
}

std::size_t numberEnd(std::string_view s, std::size_t pos)
{
    std::size_t end = pos;
    bool point = false;
    bool digit = false;
    for (std::size_t i = pos; i < s.size() && (isDigit(s[i]) || (s[i] == '.' && !point));
         i = skipBlanks(s, i)) {
        point = point || s[i] == '.';
        digit = digit || s[i] != '.';
        end = ++i;
    }
    const std::size_t e = skipBlanks(s, end);
    if (digit && e < s.size() && (s[e] == 'e' || s[e] == 'E')) {
        std::size_t i = e + 1;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        for (i = skipBlanks(s, i); i < s.size() && isDigit(s[i]); i = skipBlanks(s, i))
            end = ++i;
    }
    return end;
}

bool isPlainNumber(std::string_view text)
{
    std::size_t i = skipBlanks(text, 0);
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        i = skipBlanks(text, i + 1);
    // Nothing, or a lone sign, reads as 0.
    return i == text.size() || skipBlanks(text, numberEnd(text, i)) == text.size();
}

bool isVerseKeyword(std::string_view text)
{
    return text == "Ravlo";
}

} // namespace convmodel
