#include "unitdb/cp1251.h"

#include <gtest/gtest.h>

using namespace unitdb;

TEST(Cp1251, EveryDefinedByteSurvivesDecodeAndEncode)
{
    std::string all;
    for (int b = 0; b < 256; ++b) {
        if (b != 0x98)
            all.push_back(static_cast<char>(b));
    }
    const std::string utf8 = decodeCp1251(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    const EncodeResult back = encodeCp1251(utf8);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.bytes, all);
}

TEST(Cp1251, DecodesLettersAndSigns)
{
    struct Row {
        const char* bytes;
        const char* utf8;
    };
    const Row rows[] = {
        {"\xC0\xDF\xE0\xFF", "АЯая"}, {"\xA8\xB8", "Ёё"}, {"\xB9", "№"},  {"\x88", "€"},
        {"\xAB\xBB", "«»"},           {"\x96\x97", "–—"}, {"\xB5", "µ"},  {"\xA1\xA2", "Ўў"},
        {"\x80\x90", "Ђђ"},           {"\xA5\xB4", "Ґґ"}, {"1,5", "1,5"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.utf8);
        EXPECT_EQ(decodeCp1251(row.bytes), row.utf8);
        EXPECT_EQ(encodeCp1251(row.utf8).bytes, row.bytes);
    }
}

TEST(Cp1251, UndefinedByteDecodesToReplacementWhichIsNotWrittenBack)
{
    EXPECT_EQ(decodeCp1251("a\x98z"), "a\uFFFDz");
    const EncodeResult r = encodeCp1251("a\uFFFDz");
    EXPECT_EQ(r.code, ErrorCode::Unencodable);
    EXPECT_EQ(r.position, 1u);
}

TEST(Cp1251, RefusesWhatTheCodePageCannotHoldAndSaysWhere)
{
    struct Row {
        const char* utf8;
        ErrorCode code;
        std::size_t position;
        char32_t character;
    };
    const Row rows[] = {
        {"Ангстрем Å", ErrorCode::Unencodable, 17, U'Å'},
        {"x²", ErrorCode::Unencodable, 1, U'²'},
        {"ok\U0001F600", ErrorCode::Unencodable, 2, U'\U0001F600'},
        {"ab\xD0", ErrorCode::InvalidUtf8, 2, 0},
        {"\xC0\x80", ErrorCode::InvalidUtf8, 0, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.utf8);
        const EncodeResult r = encodeCp1251(row.utf8);
        EXPECT_EQ(r.code, row.code);
        EXPECT_EQ(r.position, row.position);
        EXPECT_EQ(r.character, row.character);
        EXPECT_TRUE(r.bytes.empty());
    }
}

TEST(Cp1251, Utf8ValidityRejectsOverlongsSurrogatesAndTruncation)
{
    struct Row {
        const char* bytes;
        bool valid;
    };
    const Row rows[] = {
        {"", true},
        {"plain", true},
        {"Метр", true},
        {"\xF0\x9F\x98\x80", true},
        {"\xC0\xAF", false},
        {"\xE0\x80\xAF", false},
        {"\xED\xA0\x80", false},
        {"\xF4\x90\x80\x80", false},
        {"\xD0", false},
        {"\xCC\xD5\xD2\xD0", false},
        {"\x80", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(isValidUtf8(row.bytes), row.valid);
    }
}
