// The input line's text rules: what typing and pasting leave in the line, unit short names, and
// the texts Up and Down call back.
#include "convmodel/inputhistory.h"
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

TEST(InputHistory, UpAndDownWalkNewestFirstAndBackToWhatWasTyped)
{
    InputHistory h;
    h.load("1+1\r\n\xFF\n2*3\n"); // a line that is not UTF-8 is left out
    h.add("2*3");                 // the newest again: kept once
    h.add("4/2");
    EXPECT_EQ(h.older("5"), "4/2");
    EXPECT_EQ(h.older("4/2"), "2*3");
    EXPECT_EQ(h.older("2*3"), "1+1");
    EXPECT_EQ(h.older("1+1"), std::nullopt);
    EXPECT_EQ(h.newer("1+1"), "2*3");
    EXPECT_EQ(h.newer("2*3"), "4/2");
    EXPECT_EQ(h.newer("4/2"), "5");
    EXPECT_EQ(h.newer("5"), std::nullopt);
    // A text walked to and changed is the one to come back to.
    EXPECT_EQ(h.older("5"), "4/2");
    EXPECT_EQ(h.older("4/2+1"), "4/2");
    EXPECT_EQ(h.newer("4/2"), "4/2+1");

    for (int i = 0; i < 150; ++i)
        h.add(std::to_string(i));
    EXPECT_EQ(h.entries().size(), InputHistory::kKept);
    EXPECT_TRUE(h.bytes().starts_with("50\n51\n"));
}
