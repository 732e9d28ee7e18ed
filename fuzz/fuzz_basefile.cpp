// Base.dat on any bytes: loading never crashes, and tables that were read, fully
// or in part, save to bytes that load back as the same tables and save the same.
#include "calc/numbertext.h"
#include "unitdb/basefile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>

namespace
{

// load() reads only from a path; one scratch file per fuzzing process.
const std::filesystem::path& scratchFile()
{
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() /
        ("mv_fuzz_basefile_" + std::to_string(::getpid()) + ".dat");
    return file;
}

void writeScratch(std::string_view bytes)
{
    std::ofstream out(scratchFile(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        std::abort();
}

// Coefficients are saved with 15 significant digits, so a longer one read from
// the file comes back as its 15-digit neighbour.
bool sameTables(const unitdb::UnitTables& read, const unitdb::UnitTables& reread)
{
    if (read.categoryCount != reread.categoryCount)
        return false;
    for (int c = 0; c < read.categoryCount; ++c) {
        if (read.categoryNames[c] != reread.categoryNames[c] ||
            read.unitCount[c] != reread.unitCount[c])
            return false;
        for (int s = 0; s < read.unitCount[c]; ++s) {
            const double saved = calc::readNumber(calc::numberText(read.coefficients[c][s]));
            if (read.unitNames[c][s] != reread.unitNames[c][s] ||
                read.descriptions[c][s] != reread.descriptions[c][s] ||
                saved != reread.coefficients[c][s])
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const auto first = std::make_unique<unitdb::UnitTables>();
    static const auto second = std::make_unique<unitdb::UnitTables>();

    writeScratch(std::string_view(reinterpret_cast<const char*>(data), size));
    const unitdb::LoadResult loaded = unitdb::load(*first, scratchFile());
    if (!loaded.ok() && !loaded.partial)
        return 0;

    // Whatever the reader took, the writer must write.
    std::string bytes;
    if (!unitdb::baseFileBytes(*first, bytes).ok())
        std::abort();
    writeScratch(bytes);
    const unitdb::LoadResult reloaded = unitdb::load(*second, scratchFile());
    const bool nothingRead =
        first->categoryCount == 0 && reloaded.code == unitdb::ErrorCode::EmptyFile;
    if ((!reloaded.ok() && !nothingRead) || !sameTables(*first, *second))
        std::abort();

    std::string again;
    if (!unitdb::baseFileBytes(*second, again).ok() || again != bytes)
        std::abort();
    return 0;
}
