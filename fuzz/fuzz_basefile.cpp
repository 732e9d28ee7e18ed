// Base.dat on any bytes: loading never crashes, and a database that was read, fully
// or in part, saves to bytes that load back as the same database and save the same.
#include "calc/numbertext.h"
#include "unitdb/basefile.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
bool sameDatabase(const unitdb::UnitDatabase& read, const unitdb::UnitDatabase& reread)
{
    std::vector<unitdb::Quantity> saved = read.quantities();
    for (unitdb::Quantity& quantity : saved)
        for (unitdb::Unit& unit : quantity.units)
            unit.coefficient = calc::readNumber(calc::numberText(unit.coefficient));
    return saved == reread.quantities();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    unitdb::UnitDatabase first;
    unitdb::UnitDatabase second;

    writeScratch(std::string_view(reinterpret_cast<const char*>(data), size));
    const unitdb::LoadResult loaded = unitdb::load(first, scratchFile());
    if (!loaded.ok() && !loaded.partial)
        return 0;

    // Whatever the reader took, the writer must write.
    std::string bytes;
    if (!unitdb::baseFileBytes(first, bytes).ok())
        std::abort();
    writeScratch(bytes);
    const unitdb::LoadResult reloaded = unitdb::load(second, scratchFile());
    const bool nothingRead = first.size() == 0 && reloaded.code == unitdb::ErrorCode::EmptyFile;
    if ((!reloaded.ok() && !nothingRead) || !sameDatabase(first, second))
        std::abort();

    std::string again;
    if (!unitdb::baseFileBytes(second, again).ok() || again != bytes)
        std::abort();
    return 0;
}
