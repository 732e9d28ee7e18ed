// The Base.dat we ship, read by the program's own loader.
#include "unitdb/basefile.h"
#include "unitdb/report.h"
#include "unitdb/tests/testfolder.h"
#include "unitdb/unitsort.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace
{

std::filesystem::path shippedBase()
{
    return std::filesystem::path(MV_SOURCE_DIR) / "data" / "Base.dat";
}

} // namespace

TEST(ShippedBase, LoadsWholeWithNoSingleUnitCategoryAndEveryUnitDescribed)
{
    auto tables = std::make_unique<unitdb::UnitTables>();
    const auto loaded = unitdb::load(*tables, shippedBase());
    ASSERT_TRUE(loaded.ok()) << "line " << loaded.line;
    EXPECT_EQ(loaded.encoding, unitdb::TextEncoding::Cp1251);
    EXPECT_LE(tables->categoryCount, unitdb::kMaxCategories - 2)
        << "no room for the user's own quantities";
    EXPECT_TRUE(unitdb::singleUnitCategories(*tables).empty());

    int units = 0;
    std::set<std::string> categories;
    for (int c = 0; c < tables->categoryCount; ++c) {
        const auto cs = static_cast<std::size_t>(c);
        SCOPED_TRACE(tables->categoryNames[cs]);
        EXPECT_TRUE(categories.insert(tables->categoryNames[cs]).second);
        std::set<std::string> names;
        for (int s = 0; s < tables->unitCount[cs]; ++s) {
            const auto ss = static_cast<std::size_t>(s);
            EXPECT_TRUE(names.insert(tables->unitNames[cs][ss]).second)
                << tables->unitNames[cs][ss];
            EXPECT_GT(tables->coefficients[cs][ss], 0.0) << tables->unitNames[cs][ss];
            EXPECT_FALSE(tables->descriptions[cs][ss].empty()) << tables->unitNames[cs][ss];
            ++units;
        }
    }
    EXPECT_GT(units, 900);
    const std::string report = unitdb::report(*tables, shippedBase(), {1, 7, 8});
    EXPECT_TRUE(report.ends_with("Без описаний - 0 (0%)")) << report;
}

TEST(ShippedBase, IsSortedAndWrittenExactlyAsTheProgramWritesIt)
{
    // Load, sort and save give the same bytes: Windows-1251, CR LF, the
    // program's own number texts and order, so a first save changes nothing.
    auto tables = std::make_unique<unitdb::UnitTables>();
    ASSERT_TRUE(unitdb::load(*tables, shippedBase()).ok());
    unitdb::sortUnits(*tables);
    std::string bytes;
    ASSERT_TRUE(unitdb::baseFileBytes(*tables, bytes).ok());
    const std::string shipped = readBytes(shippedBase());
    EXPECT_TRUE(bytes == shipped);
}
