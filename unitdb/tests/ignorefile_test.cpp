// Ignore.ini: UTF-8 and quoted fields read, and names written in the list's encoding so that
// they read back the same.
#include "unitdb/ignorefile.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace unitdb;
using Names = std::vector<std::string>;

TEST(IgnoreFile, ReadsEitherEncodingAndBothFieldForms)
{
    using enum TextEncoding;
    const std::tuple<std::string, Names, TextEncoding> rows[] = {
        {"\xC3\xEE\xE4\n\xD3\xE3\xEE\xEB, \xD1\xE8\xEB\xE0", {"Год", "Угол", "Сила"}, Cp1251},
        {"Год\nУгол, Сила", {"Год", "Угол", "Сила"}, Utf8},
        {"\xEF\xBB\xBF\"a, b\" t,\"o\r\n\r\n,, c\xFF\r\n", {"a, b", "o", "c\uFFFD"}, Utf8WithBom},
        {"  x  ,\t\"\ty\"", {"x  ", "\ty"}, Cp1251},
    };
    for (const auto& [bytes, names, encoding] : rows) {
        SCOPED_TRACE(bytes);
        const IgnoreList list = parseIgnoreList(bytes);
        EXPECT_EQ(std::tie(list.names, list.encoding), std::tie(names, encoding));
    }
}

TEST(IgnoreFile, WritesNamesInTheListsEncodingSoThatTheyReadBackTheSameOrRefusesThem)
{
    using enum ErrorCode;
    using enum TextEncoding;
    const std::tuple<Names, TextEncoding, ErrorCode, std::size_t, std::string> rows[] = {
        {{"Ель", "Ма\"сса"}, Cp1251, None, 0, "\xC5\xEB\xFC\r\n\xCC\xE0\"\xF1\xF1\xE0\r\n"},
        {{"ok", "Å"}, Utf8WithBom, None, 0, "\xEF\xBB\xBFok\r\nÅ\r\n"},
        // The reader would skip the blank and cut at the comma: both are quoted.
        {{"\tДлина ", "Å, м²"}, Utf8, None, 0, "\"\tДлина \"\r\n\"Å, м²\"\r\n"},
        // Windows-1251 D0 9F would read as UTF-8 "П": written as UTF-8 with a mark.
        {{"Рџ"}, Cp1251, None, 0, "\xEF\xBB\xBFРџ\r\n"},
        {{"ok", "two\rlines"}, Utf8, LineBreak, 1, ""},
        {{"a, \"b\""}, Cp1251, QuoteInQuotedName, 0, ""},
        {{"ok", "", "Å"}, Cp1251, Unencodable, 2, ""},
    };
    for (const auto& [names, encoding, code, index, bytes] : rows) {
        SCOPED_TRACE(names.back());
        const IgnoreListBytes written = ignoreListBytes(names, encoding);
        EXPECT_EQ(std::tie(written.refused.code, written.index), std::tie(code, index));
        if (!written.ok())
            continue;
        EXPECT_EQ(written.bytes, bytes);
        Names nonEmpty = names;
        std::erase(nonEmpty, "");
        EXPECT_EQ(parseIgnoreList(bytes).names, nonEmpty);
    }
}
