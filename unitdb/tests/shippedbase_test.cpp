// The Base.dat we ship, read by the program's own loader.
#include "unitdb/basefile.h"
#include "fileio/tests/testfolder.h"
#include "unitdb/unitsort.h"

#include <memory>
#include <set>

static const auto kShippedBase = std::filesystem::path(MV_SOURCE_DIR) / "data" / "Base.dat";

TEST(ShippedBase, LeavesRoomHasNoSingleUnitCategoryOrDuplicateAndDescribesEveryUnit)
{
    auto t = std::make_unique<unitdb::UnitTables>();
    ASSERT_TRUE(unitdb::load(*t, kShippedBase).ok());
    EXPECT_LE(t->categoryCount, unitdb::kMaxCategories - 2) << "no room for the user's own";
    EXPECT_TRUE(unitdb::singleUnitCategories(*t).empty());
    int units = 0;
    std::set<std::string> categories;
    for (int c = 0; c < t->categoryCount; ++c) {
        SCOPED_TRACE(t->categoryNames[c]);
        EXPECT_TRUE(categories.insert(t->categoryNames[c]).second);
        std::set<std::string> names;
        for (int s = 0; s < t->unitCount[c]; ++s, ++units) {
            EXPECT_TRUE(names.insert(t->unitNames[c][s]).second) << t->unitNames[c][s];
            EXPECT_FALSE(t->descriptions[c][s].empty()) << t->unitNames[c][s];
        }
    }
    EXPECT_GT(units, 900);
}

// Load, sort and save give the same bytes: Windows-1251, CR LF, the program's own
// number texts and order, so a first save changes nothing.
TEST(ShippedBase, IsSortedAndWrittenExactlyAsTheProgramWritesIt)
{
    auto t = std::make_unique<unitdb::UnitTables>();
    ASSERT_TRUE(unitdb::load(*t, kShippedBase).ok());
    unitdb::sortUnits(*t);
    std::string bytes;
    ASSERT_TRUE(unitdb::baseFileBytes(*t, bytes).ok());
    EXPECT_TRUE(bytes == readBytes(kShippedBase)); // not EXPECT_EQ: no diff of a whole file
}
