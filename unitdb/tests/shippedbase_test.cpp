// The Base.dat we ship, read by the program's own loader. Its contents (room left, no
// duplicate, no single-unit category, every unit described) are the generator's checks.
#include "fileio/tests/testfolder.h"
#include "unitdb/basefile.h"

// Load, sort and save give the same bytes: Windows-1251, CR LF, the program's own
// number texts and order, so a first save changes nothing.
TEST(ShippedBase, IsSortedAndWrittenExactlyAsTheProgramWritesIt)
{
    const auto shipped = std::filesystem::path(MV_SOURCE_DIR) / "data" / "Base.dat";
    unitdb::UnitDatabase db;
    ASSERT_TRUE(unitdb::load(db, shipped).ok());
    db.sortUnits();
    std::string bytes;
    ASSERT_TRUE(unitdb::baseFileBytes(db, bytes).ok());
    EXPECT_TRUE(bytes == readBytes(shipped)); // not EXPECT_EQ: no diff of a whole file
}
