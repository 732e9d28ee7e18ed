// The input line's text rules: what typing and pasting leave in the line, and unit short names.
#include "convmodel/inputtext.h"

#include <gtest/gtest.h>

using namespace convmodel;

TEST(InputText, CommasAndTypographicSignsBecomeTheCalculatorsOwn)
{
    const struct {
        const char* typed;
        const char* kept;
    } rows[] = {
        {"3,5", "3.5"},
        {"1,5,2", "1.5.2"},
        {"5\u22121", "5-1"},          // minus sign
        {"5\u20131", "5-1"},          // en dash
        {"2\u00D73\u00B74", "2*3*4"}, // multiplication sign, middle dot
        {"6\u00F73\u22152", "6/3/2"}, // division sign and slash
        {"1\u00A0000\u2009000\u202F5", "1 000 000 5"},
        {"Метр — 2", "Метр — 2"}, // an em dash is no operator
        {"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        EXPECT_EQ(plainInput(row.typed), row.kept);
    }
}

TEST(InputText, ShortNameIsWhatTheBracketsHold)
{
    const struct {
        const char* name;
        const char* shortName;
    } rows[] = {
        {"Метр (м)", "м"},     {"Верста", "Верста"}, {"Дюйм (in) (дм)", "in"},
        {"Линия (лин", "лин"}, {"()", ""},           {"", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(shortName(row.name), row.shortName);
    }
}
