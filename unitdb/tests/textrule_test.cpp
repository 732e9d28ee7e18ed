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
    // Text, field, encoding: the refusal, the refused character and whether it is quoted.
    const std::tuple<const char*, TextField, TextEncoding, ErrorCode, char32_t, bool> rows[] = {
        {"Метр, м", UnitName, Cp1251, None, 0, true},
        {"", QuantityName, Cp1251, None, 0, true}, // a blank line is skipped where a name is due
        {"", UnitName, Cp1251, None, 0, false},
        {" , \"в кавычках\"", Description, Cp1251, None, 0, false},
        {"\"Метр\"", UnitName, Cp1251, OpeningQuote, 0, false},
        {" \"Метр", ListName, Cp1251, OpeningQuote, 0, true},
        {"дюйм \"US\"", QuantityName, Cp1251, None, 0, false},
        {"дюйм, \"US\"", QuantityName, Utf8, QuoteInQuotedName, 0, true},
        {"* \t", UnitName, Cp1251, EndMarkerName, 0, false},
        {" *", UnitName, Cp1251, None, 0, true},
        {"*", ListName, Cp1251, None, 0, false},
        {"две\nстроки", Description, Utf8, LineBreak, 0, false},
        {"Метр\r", UnitName, Cp1251, None, 0, false}, // Base.dat drops one CR before LF only
        {"Метр\r", ListName, Cp1251, LineBreak, 0, false},
        {"м²", Description, Cp1251, Unencodable, U'²', false},
        {"\xD0", Description, Utf8, InvalidUtf8, 0, false},
    };
    for (const auto& [text, field, encoding, code, character, quoted] : rows) {
        SCOPED_TRACE(text);
        const TextCheck check = checkText(text, field, encoding);
        EXPECT_EQ(std::tie(check.code, check.character), std::tie(code, character));
        EXPECT_EQ(needsQuotes(text, field), quoted);
    }
}
