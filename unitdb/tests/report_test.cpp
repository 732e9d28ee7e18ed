#include "unitdb/report.h"

#include "testfolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace unitdb;

namespace
{

const ProgramVersion kVersion{1, 7, 8};

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (auto pos = text.find("\r\n"); pos != std::string::npos; pos = text.find("\r\n", start)) {
        out.push_back(text.substr(start, pos - start));
        start = pos + 2;
    }
    out.push_back(text.substr(start));
    return out;
}

// Spreads `units` units over `cats` categories; the first `undescribed` have no description.
std::unique_ptr<UnitTables> tables(int cats, int units, int undescribed)
{
    auto t = std::make_unique<UnitTables>();
    t->CatCount = cats;
    for (int u = 0; u < units; ++u) {
        const int c = u % cats;
        const int s = t->UnitCount[c]++;
        t->UnitNames[c][s] = "Ед";
        t->UnitDesc[c][s] = u < undescribed ? "" : "Есть.";
    }
    return t;
}

} // namespace

TEST(Report, SixLinesWithTheVersionAndTheFigures)
{
    const auto t = tables(20, 350, 25);
    const auto text = report(*t, std::uintmax_t{12800}, kVersion);
    EXPECT_EQ(text.find("\n"), text.find("\r\n") + 1);
    const std::vector<std::string> expected = {"МЕТРОВАНТА 1.78",       "",
                                               "Размер базы - 12.5 КБ", "Разделов - 20",
                                               "В базе 350 единиц",     "Без описаний - 25 (7%)"};
    EXPECT_EQ(lines(text), expected);
}

TEST(Report, SizeIsKilobytesCutDownToOneDecimal)
{
    struct Row {
        std::uintmax_t bytes;
        const char* line;
    };
    const Row rows[] = {
        {12800, "Размер базы - 12.5 КБ"}, {12799, "Размер базы - 12.4 КБ"},
        {600, "Размер базы - .5 КБ"},     {1024, "Размер базы - 1 КБ"},
        {102, "Размер базы - 0 КБ"},      {103, "Размер базы - .1 КБ"},
        {0, "Размер базы - 0 КБ"},
    };
    const auto t = tables(1, 1, 0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(lines(report(*t, row.bytes, kVersion))[2], row.line);
    }
}

TEST(Report, ShareWithoutDescriptionsIsCutDownAndZeroWithoutUnits)
{
    struct Row {
        int cats, units, undescribed;
        const char* line;
    };
    const Row rows[] = {
        {3, 100, 29, "Без описаний - 29 (29%)"}, {3, 30, 0, "Без описаний - 0 (0%)"},
        {2, 3, 2, "Без описаний - 2 (66%)"},     {2, 0, 0, "Без описаний - 0 (0%)"},
        {0, 0, 0, "Без описаний - 0 (0%)"},      {1, 7, 7, "Без описаний - 7 (100%)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        const auto t = tables(row.cats, row.units, row.undescribed);
        EXPECT_EQ(lines(report(*t, std::uintmax_t{1}, kVersion))[5], row.line);
    }
}

TEST(Report, CountsOnlyUsedSlotsAndReadsTheSizeFromDisk)
{
    auto t = tables(2, 4, 0);
    t->CatCount = 3; // an empty category
    t->UnitNames[0][5] = "stale slot";
    t->UnitDesc[1][7] = "";
    TestFolder dir;
    writeBytes(dir / "Base.dat", std::string(2048, 'x'));
    auto l = lines(report(*t, dir / "Base.dat", kVersion));
    EXPECT_EQ(l[2], "Размер базы - 2 КБ");
    EXPECT_EQ(l[3], "Разделов - 3");
    EXPECT_EQ(l[4], "В базе 4 единиц");
    EXPECT_EQ(l[5], "Без описаний - 0 (0%)");

    l = lines(report(*t, dir / "missing.dat", kVersion));
    EXPECT_EQ(l[2], "Размер базы - 0 КБ");
}
