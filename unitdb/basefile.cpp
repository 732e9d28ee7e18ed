// Reading Base.dat into the unit tables. The reader works line by line but
// takes fields exactly as the file's writer lays them out, so that every fault
// can be named by its line.
#include "unitdb/basefile.h"

#include "calc/numbertext.h"
#include "unitdb/coefficient.h"
#include "unitdb/cp1251.h"

#include <cmath>
#include <string_view>
#include <vector>

namespace unitdb
{

namespace
{

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimRight(std::string_view s)
{
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isBlankLine(std::string_view s)
{
    return trimRight(s).empty();
}

struct Field {
    std::string_view text;
    bool endedByComma = false;
    bool unclosedQuote = false;
    std::size_t next = 0; // where the following field starts
};

// Skips leading blanks and takes the text up to a comma or the line end; a field
// opening with a double quote runs to the closing quote, commas included.
Field readField(std::string_view line, std::size_t pos)
{
    Field f;
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    std::size_t end = pos;
    if (pos < line.size() && line[pos] == '"') {
        const std::size_t close = line.find('"', pos + 1);
        if (close == std::string_view::npos) {
            f.unclosedQuote = true;
            return f;
        }
        f.text = line.substr(pos + 1, close - pos - 1);
        end = close + 1;
    }
    const std::size_t comma = line.find(',', end);
    if (end == pos)
        f.text = line.substr(pos, comma == std::string_view::npos ? std::string_view::npos
                                                                  : comma - pos);
    f.endedByComma = comma != std::string_view::npos;
    f.next = f.endedByComma ? comma + 1 : line.size();
    return f;
}

bool isEndMarker(std::string_view field)
{
    return trimRight(field) == "*";
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The invariant number form, blanks allowed anywhere as the number reader allows
// them: sign, digits with at most one period (at least one digit), exponent.
// Reads it into `value`, or says why it is no coefficient.
ErrorCode readCoefficient(std::string_view text, double& value)
{
    std::string s;
    for (char c : text) {
        if (!isBlank(c))
            s.push_back(c);
    }
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    bool nonZero = false;
    const auto takeDigits = [&] {
        for (; i < s.size() && isDigit(s[i]); ++i, ++digits)
            nonZero = nonZero || s[i] != '0';
    };
    takeDigits();
    if (i < s.size() && s[i] == '.') {
        ++i;
        takeDigits();
    }
    if (digits == 0)
        return ErrorCode::BadCoefficient;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        const std::size_t expStart = i;
        while (i < s.size() && isDigit(s[i]))
            ++i;
        if (i == expStart)
            return ErrorCode::BadCoefficient;
    }
    if (i != s.size())
        return ErrorCode::BadCoefficient;
    value = calc::readNumber(s);
    // "1e-400" reads as 0 but is no zero: it lies below what a double holds.
    if (nonZero && value == 0.0 && s.front() != '-')
        return ErrorCode::OutOfRange;
    return checkCoefficient(value);
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void clearTables(UnitTables& t)
{
    for (int c = 0; c < kMaxCategories; ++c) {
        t.categoryNames[c].clear();
        t.unitCount[c] = 0;
        for (int s = 0; s < kMaxUnits; ++s) {
            t.unitNames[c][s].clear();
            t.coefficients[c][s] = 0.0;
            t.descriptions[c][s].clear();
        }
    }
    t.categoryCount = 0;
    t.encoding = TextEncoding::Cp1251;
}

LoadResult fault(ErrorCode code, std::size_t lineIndex, TextEncoding encoding)
{
    LoadResult r;
    r.code = code;
    r.line = static_cast<int>(lineIndex) + 1;
    r.partial = true;
    r.encoding = encoding;
    return r;
}

// Fills the tables from the decoded lines: a name line, two lines a unit, "*".
LoadResult parseRecords(UnitTables& t, const std::vector<std::string_view>& lines, TextEncoding enc)
{
    t.encoding = enc;
    const std::size_t n = lines.size();
    // Blank lines after the last record are tolerated, not read as a category.
    std::size_t end = n;
    while (end > 0 && isBlankLine(lines[end - 1]))
        --end;
    if (end == 0) {
        LoadResult empty;
        empty.code = ErrorCode::EmptyFile;
        empty.encoding = enc;
        return empty;
    }

    std::size_t i = 0;
    while (i < end) {
        // A blank line between records (or before the first) names no category.
        if (isBlankLine(lines[i])) {
            ++i;
            continue;
        }
        const Field name = readField(lines[i], 0);
        if (name.unclosedQuote)
            return fault(ErrorCode::UnclosedQuote, i, enc);
        if (name.endedByComma)
            return fault(ErrorCode::ExtraField, i, enc);
        if (t.categoryCount == kMaxCategories)
            return fault(ErrorCode::TooManyCategories, i, enc);
        const int c = t.categoryCount++;
        t.categoryNames[c] = name.text;
        ++i;

        for (;;) {
            if (i >= n)
                return fault(ErrorCode::UnexpectedEnd, n, enc);
            const std::string_view line = lines[i];
            const Field unit = readField(line, 0);
            if (unit.unclosedQuote)
                return fault(ErrorCode::UnclosedQuote, i, enc);
            if (isEndMarker(unit.text)) {
                if (unit.endedByComma)
                    return fault(ErrorCode::ExtraField, i, enc);
                ++i;
                break;
            }
            if (!unit.endedByComma)
                return fault(ErrorCode::MissingCoefficient, i, enc);
            const Field coefficient = readField(line, unit.next);
            if (coefficient.unclosedQuote)
                return fault(ErrorCode::UnclosedQuote, i, enc);
            if (coefficient.endedByComma)
                return fault(ErrorCode::ExtraField, i, enc);
            double value = 0.0;
            if (const ErrorCode why = readCoefficient(coefficient.text, value);
                why != ErrorCode::None)
                return fault(why, i, enc);
            if (t.unitCount[c] == kMaxUnits)
                return fault(ErrorCode::TooManyUnits, i, enc);
            if (i + 1 >= n)
                return fault(ErrorCode::UnexpectedEnd, n, enc);

            const int s = t.unitCount[c]++;
            t.unitNames[c][s] = unit.text;
            t.coefficients[c][s] = value;
            std::string& desc = t.descriptions[c][s];
            desc = lines[i + 1];
            if (!desc.empty() && desc.back() != '.')
                desc.push_back('.');
            i += 2;
        }
    }
    LoadResult ok;
    ok.encoding = enc;
    return ok;
}

} // namespace

LoadResult load(UnitTables& tables, const std::filesystem::path& path,
                const fileio::ReadStepFault& fault)
{
    clearTables(tables);
    fileio::FileReadResult file = fileio::readFile(path, kBaseFileLimit, fault);
    if (!file.ok()) {
        LoadResult result;
        result.code = ErrorCode::FileUnread;
        result.fileError = file.code;
        result.systemError = file.systemError;
        return result;
    }
    std::string bytes = std::move(file.bytes);

    std::string text;
    TextEncoding enc = TextEncoding::Cp1251;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        enc = TextEncoding::Utf8WithBom;
        // Malformed bytes become U+FFFD so that the tables only ever hold valid UTF-8.
        const std::string_view body = std::string_view(bytes).substr(3);
        for (std::size_t pos = 0; pos < body.size();)
            appendUtf8(text, nextCodePoint(body, pos));
    } else if (isValidUtf8(bytes)) {
        // Pure ASCII is the same in both; only non-ASCII bytes tell UTF-8 apart.
        bool ascii = true;
        for (char ch : bytes)
            ascii = ascii && static_cast<unsigned char>(ch) < 0x80;
        enc = ascii ? TextEncoding::Cp1251 : TextEncoding::Utf8;
        text = std::move(bytes);
    } else {
        text = decodeCp1251(bytes);
    }
    LoadResult result = parseRecords(tables, splitLines(text), enc);
    result.stamp = file.stamp;
    return result;
}

} // namespace unitdb
