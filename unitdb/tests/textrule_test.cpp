// The one text rule: what each field of our two files can hold in each encoding.
#include "unitdb/textrule.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace unitdb;

TEST(TextRule, RefusesWhatAFieldCannotHoldAndQuotesWhatTheReaderWouldCut)
{
    using enum ErrorCode;
    using enum TextField;
    using enum TextEncoding;
    struct Row {
        const char* text;
        TextField field;
        TextEncoding encoding;
        ErrorCode code;
        bool quoted;
        char32_t character = 0;
    };
    const Row rows[] = {
        {"Метр, м", UnitName, Cp1251, None, true},
        {"\tМетр", ListName, Cp1251, None, true},
        {"Метр ", UnitName, Cp1251, None, false},
        {"", QuantityName, Cp1251, None, true}, // a blank line is skipped where a name is due
        {"", UnitName, Cp1251, None, false},
        {" , \"в кавычках\"", Description, Cp1251, None, false},
        {"\"Метр\"", UnitName, Cp1251, OpeningQuote, false},
        {" \"Метр", ListName, Cp1251, OpeningQuote, true},
        {"дюйм \"US\"", QuantityName, Cp1251, None, false},
        {"дюйм, \"US\"", QuantityName, Utf8, QuoteInQuotedName, true},
        {"* \t", UnitName, Cp1251, EndMarkerName, false},
        {" *", UnitName, Cp1251, None, true},
        {"*", ListName, Cp1251, None, false},
        {"две\nстроки", Description, Utf8, LineBreak, false},
        {"Метр\r", UnitName, Cp1251, None, false}, // Base.dat drops one CR before LF only
        {"Метр\r", ListName, Cp1251, LineBreak, false},
        {"Ангстрем Å", UnitName, Cp1251, Unencodable, false, U'Å'},
        {"м²", Description, Cp1251, Unencodable, false, U'²'},
        {"Ангстрем Å", UnitName, Utf8, None, false},
        {"\xD0", Description, Utf8, InvalidUtf8, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const TextCheck check = checkText(row.text, row.field, row.encoding);
        EXPECT_EQ(std::tie(check.code, check.character), std::tie(row.code, row.character));
        EXPECT_EQ(needsQuotes(row.text, row.field), row.quoted);
    }
}
