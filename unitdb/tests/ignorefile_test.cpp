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
        {"\xC2\xF0\xE5\xEC\xFF\n\xD3\xE3\xEE\xEB, \xD1\xE8\xEB\xE0",
         {"Время", "Угол", "Сила"},
         Cp1251},
        {"Время\nУгол, Сила", {"Время", "Угол", "Сила"}, Utf8},
        {"\xEF\xBB\xBF\"a, b\" tail,\"open\r\n\r\n,, c\xFF\r\n",
         {"a, b", "open", "c\uFFFD"},
         Utf8WithBom},
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
        {{"Длина", "Ма\"сса"},
         Cp1251,
         None,
         0,
         "\xC4\xEB\xE8\xED\xE0\r\n\xCC\xE0\"\xF1\xF1\xE0\r\n"},
        {{"ok", "Å"}, Utf8WithBom, None, 0, "\xEF\xBB\xBFok\r\nÅ\r\n"},
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
