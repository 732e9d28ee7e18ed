#include "unitdb/ignorefile.h"

#include <gtest/gtest.h>

using namespace unitdb;

namespace
{

using Names = std::vector<std::string>;

} // namespace

TEST(IgnoreFile, ReadsEitherEncodingAndBothFieldForms)
{
    struct Row {
        std::string bytes;
        Names names;
    };
    const Row rows[] = {
        {"\xC4\xEB\xE8\xED\xE0\r\n\xCC\xE0\xF1\xF1\xE0\r\n", {"Длина", "Масса"}},
        {"Время\nУгол, Сила", {"Время", "Угол", "Сила"}},
        {"\xEF\xBB\xBF\"a, b\" tail,\"open\r\n\r\n,, c\r\n", {"a, b", "open", "c"}},
        {"  x  ,\t\"\ty\"", {"x  ", "\ty"}},
        {"", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(parseIgnoreList(row.bytes), row.names);
    }
}

TEST(IgnoreFile, WrittenNamesReadBackTheSame)
{
    struct Row {
        Names names;
        std::string bytes;
    };
    const Row rows[] = {
        {{"Длина", "Ма\"сса"}, "\xC4\xEB\xE8\xED\xE0\r\n\xCC\xE0\"\xF1\xF1\xE0\r\n"},
        {{"a, b", " c"}, "\"a, b\"\r\n\" c\"\r\n"},
        {{"", "x"}, "x\r\n"},
        // Windows-1251 bytes that would read as UTF-8 or open with a BOM.
        {{"Рџ"}, "\xEF\xBB\xBF\xD0\xA0\xD1\x9F\r\n"},
        {{"п»ї"}, "\xEF\xBB\xBF\xD0\xBF\xC2\xBB\xD1\x97\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes);
        const EncodeResult written = ignoreListBytes(row.names);
        ASSERT_TRUE(written.ok());
        EXPECT_EQ(written.bytes, row.bytes);
        Names expected;
        for (const auto& name : row.names) {
            if (!name.empty())
                expected.push_back(name);
        }
        EXPECT_EQ(parseIgnoreList(written.bytes), expected);
    }
}

TEST(IgnoreFile, RefusesNamesNoFormCanCarry)
{
    struct Row {
        Names names;
        ErrorCode code;
        std::size_t position;
    };
    const Row rows[] = {
        {{"ok", "two\r\nlines"}, ErrorCode::UnwritableText, 4},
        {{"a, \"b\""}, ErrorCode::UnwritableText, 0},
        {{"\"d"}, ErrorCode::UnwritableText, 0},
        {{"ok", "Å"}, ErrorCode::Unencodable, 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.names.back());
        const EncodeResult written = ignoreListBytes(row.names);
        EXPECT_EQ(written.code, row.code);
        EXPECT_EQ(written.position, row.position);
    }
}
