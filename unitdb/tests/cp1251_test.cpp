#include "unitdb/cp1251.h"

#include <gtest/gtest.h>

using namespace unitdb;

TEST(Cp1251, EveryByteSurvivesDecodeAndEncode)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::string utf8 = decodeCp1251(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_EQ(encodeCp1251(utf8).bytes, all);
    // Anchors in each part of the table; the undefined 0x98 stands as a private-use character.
    EXPECT_EQ(decodeCp1251("\xC0\xDF\xE0\xFF\xA8\xB8\xB9\x88\xAB\x97\x80\x98"),
              "АЯаяЁё№€«—Ђ\uF098");
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
        {"\xED\xA0\x80", ErrorCode::InvalidUtf8, 0, 0},
        {"\xF4\x90\x80\x80", ErrorCode::InvalidUtf8, 0, 0},
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
