// The one text rule: what each field of our two files can hold in each encoding, and
// texts it accepts saved to both files and read back the same.
#include "unitdb/basefile.h"
#include "unitdb/ignorefile.h"

#include "fileio/tests/testfolder.h"

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

TEST(TextRule, AcceptedTextsReadBackTheSameFromBothFiles)
{
    using enum TextEncoding;
    const std::tuple<TextEncoding, std::vector<std::string>> rows[] = {
        {Cp1251, {"Метр", " Пробел", "\tТаб, запятая", "*x", "a\"b", "п»ї", "Рџ"}},
        {Utf8, {"Å, м²", "  Ω", "\uFEFFÅ", "µ"}},
        {Utf8WithBom, {"Метр", ", ", "дюйм \"US\"", "ok"}},
    };
    for (const auto& [encoding, texts] : rows) {
        SCOPED_TRACE(texts.front());
        std::vector<Quantity> quantities{{"", {}}};
        for (const std::string& text : texts) {
            quantities.front().units.push_back({text, 1, text + "."});
            quantities.push_back({text, {{text, 2, ""}}});
        }
        const UnitDatabase saved(std::move(quantities), encoding);
        TestFolder dir;
        ASSERT_TRUE(save(saved, dir / "Base.dat").ok());
        UnitDatabase db;
        ASSERT_TRUE(load(db, dir / "Base.dat").ok());
        EXPECT_EQ(db, saved);
        const IgnoreListBytes list = ignoreListBytes(texts, encoding);
        ASSERT_TRUE(list.ok());
        EXPECT_EQ(parseIgnoreList(list.bytes).names, texts);
    }
}
