// Ignore.ini: UTF-8 and quoted fields read, and names written so that they read back the
// same (which also reads Windows-1251).
#include "unitdb/ignorefile.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace unitdb;
using Names = std::vector<std::string>;

TEST(IgnoreFile, ReadsEitherEncodingAndBothFieldForms)
{
    const std::pair<std::string, Names> rows[] = {
        {"Время\nУгол, Сила", {"Время", "Угол", "Сила"}},
        {"\xEF\xBB\xBF\"a, b\" tail,\"open\r\n\r\n,, c\r\n", {"a, b", "open", "c"}},
        {"  x  ,\t\"\ty\"", {"x  ", "\ty"}},
    };
    for (const auto& [bytes, names] : rows) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(parseIgnoreList(bytes), names);
    }
}

TEST(IgnoreFile, WritesNamesSoThatTheyReadBackTheSameOrRefusesThem)
{
    using enum ErrorCode;
    // Рџ and п»ї in Windows-1251 would read as UTF-8 or open with a BOM.
    const std::tuple<Names, ErrorCode, std::size_t, std::string> rows[] = {
        {{"Длина", "Ма\"сса"}, None, 0, "\xC4\xEB\xE8\xED\xE0\r\n\xCC\xE0\"\xF1\xF1\xE0\r\n"},
        {{"a, b", "", " c"}, None, 0, "\"a, b\"\r\n\" c\"\r\n"},
        {{"Рџ"}, None, 0, "\xEF\xBB\xBF\xD0\xA0\xD1\x9F\r\n"},
        {{"п»ї"}, None, 0, "\xEF\xBB\xBF\xD0\xBF\xC2\xBB\xD1\x97\r\n"},
        {{"ok", "two\r\nlines"}, UnwritableText, 4, ""},
        {{"a, \"b\""}, UnwritableText, 0, ""},
        {{"ok", "Å"}, Unencodable, 4, ""},
    };
    for (const auto& [names, code, position, bytes] : rows) {
        SCOPED_TRACE(names.back());
        const EncodeResult written = ignoreListBytes(names);
        EXPECT_EQ(std::tie(written.code, written.position), std::tie(code, position));
        if (!written.ok())
            continue;
        EXPECT_EQ(written.bytes, bytes);
        Names nonEmpty = names;
        std::erase(nonEmpty, "");
        EXPECT_EQ(parseIgnoreList(bytes), nonEmpty);
    }
}
