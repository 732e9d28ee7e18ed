// The Base.dat we ship, read by the program's own loader.
#include "fileio/tests/testfolder.h"
#include "unitdb/basefile.h"
#include "unitdb/unitsort.h"

#include <set>

static const auto kShippedBase = std::filesystem::path(MV_SOURCE_DIR) / "data" / "Base.dat";

TEST(ShippedBase, LeavesRoomHasNoSingleUnitCategoryOrDuplicateAndDescribesEveryUnit)
{
    unitdb::UnitDatabase db;
    ASSERT_TRUE(unitdb::load(db, kShippedBase).ok());
    EXPECT_LE(db.size(), unitdb::kMaxQuantities - 2) << "no room for the user's own";
    EXPECT_TRUE(unitdb::singleUnitCategories(db).empty());
    std::size_t units = 0;
    std::set<std::string> categories;
    for (const unitdb::Quantity& quantity : db.quantities()) {
        SCOPED_TRACE(quantity.name);
        EXPECT_TRUE(categories.insert(quantity.name).second);
        std::set<std::string> names;
        for (const unitdb::Unit& unit : quantity.units) {
            EXPECT_TRUE(names.insert(unit.name).second) << unit.name;
            EXPECT_FALSE(unit.description.empty()) << unit.name;
        }
        units += quantity.units.size();
    }
    EXPECT_GT(units, 900u);
}

// Load, sort and save give the same bytes: Windows-1251, CR LF, the program's own
// number texts and order, so a first save changes nothing.
TEST(ShippedBase, IsSortedAndWrittenExactlyAsTheProgramWritesIt)
{
    unitdb::UnitDatabase db;
    ASSERT_TRUE(unitdb::load(db, kShippedBase).ok());
    db.sortUnits();
    std::string bytes;
    ASSERT_TRUE(unitdb::baseFileBytes(db, bytes).ok());
    EXPECT_TRUE(bytes == readBytes(kShippedBase)); // not EXPECT_EQ: no diff of a whole file
}
