// The Windows-1251 codec: every byte both ways, and what encoding must refuse.
#include "unitdb/cp1251.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace unitdb;

TEST(Cp1251, EveryByteSurvivesDecodeAndEncode)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    // Names are decoded another way than long texts: both ways, every byte.
    EXPECT_EQ(encodeCp1251(decodeCp1251(all)).bytes, all);
    EXPECT_EQ(decodeCp1251(all.substr(0, 128)) + decodeCp1251(all.substr(128)), decodeCp1251(all));
    // A round trip would not see two swapped entries: anchors in each part of the table;
    // the undefined 0x98 stands as a private-use character.
    EXPECT_EQ(decodeCp1251("\xC0\xDF\xE0\xFF\xA8\xB8\xB9\x88\xAB\x97\x80\x98"),
              "АЯаяЁё№€«—Ђ\uF098");
}

TEST(Cp1251, RefusesWhatTheCodePageCannotHoldAndSaysWhere)
{
    using enum ErrorCode;
    // A lone lead byte, an overlong form, a surrogate, a code point past U+10FFFF.
    const std::tuple<const char*, ErrorCode, std::size_t, char32_t> rows[] = {
        {"Ангстрем Å", Unencodable, 17, U'Å'}, {"ok\U0001F600", Unencodable, 2, U'\U0001F600'},
        {"ab\xD0", InvalidUtf8, 2, 0},         {"\xC0\x80", InvalidUtf8, 0, 0},
        {"\xED\xA0\x80", InvalidUtf8, 0, 0},   {"\xF4\x90\x80\x80", InvalidUtf8, 0, 0},
    };
    for (const auto& [utf8, code, position, character] : rows) {
        SCOPED_TRACE(utf8);
        const EncodeResult r = encodeCp1251(utf8);
        EXPECT_EQ(std::tie(r.code, r.position, r.character), std::tie(code, position, character));
        EXPECT_TRUE(r.bytes.empty());
    }
}
