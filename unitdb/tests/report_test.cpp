#include "unitdb/report.h"

#include "testfolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

using namespace unitdb;

namespace
{

const ProgramVersion kVersion{1, 7, 8};

// Spreads `units` units over `cats` categories; the first `undescribed` have no description.
std::unique_ptr<UnitTables> tables(int cats, int units, int undescribed)
{
    auto t = std::make_unique<UnitTables>();
    t->categoryCount = cats;
    for (int u = 0; u < units; ++u) {
        const int s = t->unitCount[u % cats]++;
        t->descriptions[u % cats][s] = u < undescribed ? "" : "Есть.";
    }
    return t;
}

} // namespace

TEST(Report, SizeIsKilobytesCutDownToOneDecimal)
{
    const std::pair<std::uintmax_t, const char*> rows[] = {
        {12800, " 12.5 "}, {12799, " 12.4 "}, {600, " .5 "}, {1024, " 1 "},
        {102, " 0 "},      {103, " .1 "},     {0, " 0 "}};
    const auto t = tables(1, 1, 0);
    for (const auto& [bytes, figure] : rows) {
        SCOPED_TRACE(bytes);
        EXPECT_NE(
            report(*t, bytes, kVersion).find(std::string("Размер базы -") + figure + "КБ\r\n"),
            std::string::npos);
    }
}

TEST(Report, ShareWithoutDescriptionsIsCutDownAndZeroWithoutUnits)
{
    const std::tuple<int, int, int, const char*> rows[] = {
        {3, 100, 29, "Без описаний - 29 (29%)"}, {3, 30, 0, "Без описаний - 0 (0%)"},
        {2, 3, 2, "Без описаний - 2 (66%)"},     {2, 0, 0, "Без описаний - 0 (0%)"},
        {0, 0, 0, "Без описаний - 0 (0%)"},      {1, 7, 7, "Без описаний - 7 (100%)"},
    };
    for (const auto& [cats, units, undescribed, line] : rows) {
        SCOPED_TRACE(line);
        const auto t = tables(cats, units, undescribed);
        const std::string text = report(*t, std::uintmax_t{1}, kVersion);
        EXPECT_EQ(text.substr(text.rfind("\r\n") + 2), line);
    }
}

TEST(Report, CountsOnlyUsedSlotsAndReadsTheSizeFromDisk)
{
    auto t = tables(2, 4, 0);
    t->categoryCount = 3;       // an empty category adds nothing
    t->descriptions[1][7] = ""; // nor does an unused slot
    TestFolder dir;
    writeBytes(dir / "Base.dat", std::string(2048, 'x'));
    EXPECT_EQ(report(*t, dir / "Base.dat", kVersion),
              "МЕТРОВАНТА 1.78\r\n\r\nРазмер базы - 2 КБ\r\nРазделов - 3\r\n"
              "В базе 4 единиц\r\nБез описаний - 0 (0%)");
    EXPECT_NE(report(*t, dir / "missing.dat", kVersion).find("Размер базы - 0 КБ"),
              std::string::npos);
}
