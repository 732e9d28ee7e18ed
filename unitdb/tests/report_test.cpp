// The database report: the size figure and the undescribed share, both cut down, never rounded.
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
    for (int u = 0; u < units; ++u)
        t->descriptions[u % cats][t->unitCount[u % cats]++] = u < undescribed ? "" : "Есть.";
    return t;
}

} // namespace

TEST(Report, SizeIsKilobytesCutDownToOneDecimal)
{
    const std::pair<std::uintmax_t, const char*> rows[] = {
        {12800, " 12.5 "}, {600, " .5 "}, {1024, " 1 "}, {102, " 0 "}};
    for (const auto& [bytes, figure] : rows) {
        SCOPED_TRACE(bytes);
        EXPECT_NE(report(*tables(1, 1, 0), bytes, kVersion)
                      .find(std::string("Размер базы -") + figure + "КБ\r\n"),
                  std::string::npos);
    }
}

TEST(Report, ShareWithoutDescriptionsIsCutDownAndZeroWithoutUnits)
{
    // 29 of 100 in doubles would be 28.99...%
    const std::tuple<int, int, int, const char*> rows[] = {
        {3, 100, 29, "29 (29%)"}, {2, 3, 2, "2 (66%)"}, {2, 0, 0, "0 (0%)"}, {1, 7, 7, "7 (100%)"}};
    for (const auto& [cats, units, undescribed, figure] : rows) {
        SCOPED_TRACE(figure);
        const std::string text = report(*tables(cats, units, undescribed), 1, kVersion);
        EXPECT_EQ(text.substr(text.rfind("\r\n") + 2), std::string("Без описаний - ") + figure);
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
