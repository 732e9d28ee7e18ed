// The database report: the size figure and the undescribed share, both cut down, never rounded.
#include "unitdb/report.h"

#include "fileio/tests/testfolder.h"

#include <tuple>

using namespace unitdb;

const ProgramVersion kVersion{1, 7, 8};

// Spreads `units` units over `cats` quantities; the first `undescribed` have no description.
static UnitDatabase database(int cats, int units, int undescribed)
{
    std::vector<Quantity> quantities(static_cast<std::size_t>(cats));
    for (int u = 0; u < units; ++u)
        quantities[u % cats].units.push_back({"", 1, u < undescribed ? "" : "Есть."});
    return UnitDatabase(std::move(quantities), TextEncoding::Cp1251);
}

TEST(Report, FiguresAreCutDownNeverRoundedAndAMissingFileWeighsNothing)
{
    // 29 of 100 in doubles would be 28.99...%.
    const std::tuple<std::uintmax_t, int, int, int, const char*, const char*> rows[] = {
        {12800, 3, 100, 29, " 12.5 ", "29 (29%)"},
        {600, 2, 3, 2, " .5 ", "2 (66%)"},
        {102, 2, 0, 0, " 0 ", "0 (0%)"}};
    TestFolder dir;
    for (const auto& [bytes, cats, units, undescribed, size, share] : rows) {
        SCOPED_TRACE(share);
        writeBytes(dir / "Base.dat", std::string(bytes, 'x'));
        const std::string text =
            report(database(cats, units, undescribed), dir / "Base.dat", kVersion);
        EXPECT_NE(text.find(std::string("Размер базы -") + size + "КБ\r\n"), std::string::npos);
        EXPECT_TRUE(text.ends_with(std::string("\r\nБез описаний - ") + share));
    }
    EXPECT_EQ(report(database(3, 4, 0), dir / "missing.dat", kVersion),
              "МЕТРОВАНТА 1.78\r\n\r\nРазмер базы - 0 КБ\r\nРазделов - 3\r\n"
              "В базе 4 единиц\r\nБез описаний - 0 (0%)");
}
