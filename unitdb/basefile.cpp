// Reading Base.dat into the unit database. The reader works line by line but
// takes fields exactly as the file's writer lays them out, so that every fault
// can be named by its line.
#include "unitdb/basefile.h"

#include "calc/numbertext.h"
#include "unitdb/coefficient.h"
#include "unitdb/cp1251.h"

#include <algorithm>
#include <memory>
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
    std::string stripped;
    std::string_view s = text;
    if (text.find_first_of(" \t") != std::string_view::npos) {
        for (char c : text) {
            if (!isBlank(c))
                stripped.push_back(c);
        }
        s = stripped;
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
    std::size_t count = 1;
    for (std::size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1))
        ++count;
    lines.reserve(count);
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

// About how many units follow from line `i`: pairs of lines up to one that begins with "*".
// Only a guess for the vector, which would otherwise grow many times at full capacity.
std::size_t unitsAhead(const std::vector<std::string_view>& lines, std::size_t i, std::size_t end)
{
    std::size_t count = 0;
    for (; i < end && count < kMaxUnits; i += 2, ++count) {
        const std::size_t first = lines[i].find_first_not_of(" \t");
        if (first != std::string_view::npos && lines[i][first] == '*')
            break;
    }
    return count;
}

LoadResult fault(ErrorCode code, std::size_t lineIndex)
{
    LoadResult r;
    r.code = code;
    r.line = static_cast<int>(lineIndex) + 1;
    r.partial = true;
    return r;
}

std::string copied(std::string_view text)
{
    return std::string(text);
}

// Fills the quantities from the lines: a name line, two lines a unit, "*". `decoded` turns a
// name into the UTF-8 the database keeps. Descriptions stay in `file`'s bytes, which the lines
// are cut from, to be decoded when shown; without a file they are UTF-8 already.
LoadResult parseRecords(std::vector<Quantity>& quantities,
                        const std::vector<std::string_view>& lines,
                        std::string (*decoded)(std::string_view),
                        const std::shared_ptr<const std::string>& file = nullptr)
{
    const std::size_t n = lines.size();
    // Blank lines after the last record are tolerated, not read as a category.
    std::size_t end = n;
    while (end > 0 && isBlankLine(lines[end - 1]))
        --end;
    if (end == 0) {
        LoadResult empty;
        empty.code = ErrorCode::EmptyFile;
        return empty;
    }

    // A fault inside a quantity's units leaves it without those after the fault.
    const auto cut = [](ErrorCode code, std::size_t line) {
        LoadResult r = fault(code, line);
        r.lastCut = true;
        return r;
    };
    std::size_t i = 0;
    while (i < end) {
        // A blank line between records (or before the first) names no category.
        if (isBlankLine(lines[i])) {
            ++i;
            continue;
        }
        const Field name = readField(lines[i], 0);
        if (name.unclosedQuote)
            return fault(ErrorCode::UnclosedQuote, i);
        if (name.endedByComma)
            return fault(ErrorCode::ExtraField, i);
        if (quantities.size() == kMaxQuantities)
            return fault(ErrorCode::TooManyCategories, i);
        quantities.push_back({decoded(name.text), {}});
        std::vector<Unit>& units = quantities.back().units;
        ++i;
        units.reserve(unitsAhead(lines, i, end));

        for (;;) {
            if (i >= n)
                return cut(ErrorCode::UnexpectedEnd, n);
            const std::string_view line = lines[i];
            const Field unit = readField(line, 0);
            if (unit.unclosedQuote)
                return cut(ErrorCode::UnclosedQuote, i);
            if (isEndMarker(unit.text)) {
                if (unit.endedByComma)
                    return fault(ErrorCode::ExtraField, i); // every unit is read
                ++i;
                break;
            }
            if (!unit.endedByComma)
                return cut(ErrorCode::MissingCoefficient, i);
            const Field coefficient = readField(line, unit.next);
            if (coefficient.unclosedQuote)
                return cut(ErrorCode::UnclosedQuote, i);
            if (coefficient.endedByComma)
                return cut(ErrorCode::ExtraField, i);
            double value = 0.0;
            if (const ErrorCode why = readCoefficient(coefficient.text, value);
                why != ErrorCode::None)
                return cut(why, i);
            if (units.size() == kMaxUnits)
                return cut(ErrorCode::TooManyUnits, i);
            if (i + 1 >= n)
                return cut(ErrorCode::UnexpectedEnd, n);

            const std::string_view desc = lines[i + 1];
            units.push_back({decoded(unit.text), value,
                             file ? DeferredText(file, static_cast<std::size_t>(desc.data() -
                                                                                file->data()),
                                                 desc.size())
                                  : DeferredText(withFinalPeriod(std::string(desc)))});
            i += 2;
        }
    }
    return {};
}

} // namespace

LoadResult load(UnitDatabase& database, const std::filesystem::path& path,
                const fileio::ReadStepFault& fault)
{
    database = {};
    fileio::FileReadResult file = fileio::readFile(path, kBaseFileLimit, fault);
    if (!file.ok()) {
        LoadResult result;
        result.code = ErrorCode::FileUnread;
        result.fileError = file.code;
        result.systemError = file.systemError;
        return result;
    }
    std::vector<Quantity> quantities;
    if (fileEncoding(file.bytes) == TextEncoding::Cp1251) {
        // What the format looks for is ASCII, which Windows-1251 keeps as it is: the records
        // are cut from the bytes, names are decoded straight into place and descriptions
        // when they are first shown.
        const auto bytes = std::make_shared<const std::string>(std::move(file.bytes));
        LoadResult result = parseRecords(quantities, splitLines(*bytes), decodeCp1251, bytes);
        database = UnitDatabase(std::move(quantities), TextEncoding::Cp1251);
        result.stamp = file.stamp;
        return result;
    }
    FileText text = decodeFile(file.bytes);
    std::vector<std::string_view> lines = splitLines(text.text);
    const bool malformed = text.firstMalformed != std::string::npos;
    std::size_t badLine = 0;
    if (malformed) {
        // Read up to the line that is not UTF-8, so that a save never writes it garbled.
        badLine = static_cast<std::size_t>(
            std::count(text.text.begin(),
                       text.text.begin() + static_cast<std::ptrdiff_t>(text.firstMalformed), '\n'));
        lines.resize(badLine);
    }
    LoadResult result = parseRecords(quantities, lines, copied);
    // A fault before the bad line is told first; a record cut short by it is the bad line's.
    if (malformed && (result.ok() || result.code == ErrorCode::EmptyFile ||
                      result.line > static_cast<int>(badLine))) {
        const bool cut = result.lastCut;
        result = unitdb::fault(ErrorCode::InvalidUtf8, badLine); // not the parameter
        result.lastCut = cut;
    }
    database = UnitDatabase(std::move(quantities), text.encoding);
    result.stamp = file.stamp;
    return result;
}

} // namespace unitdb
