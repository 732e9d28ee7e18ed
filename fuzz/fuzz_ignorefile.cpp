// Ignore.ini on any bytes: the names read are written back, when the writer
// takes them, as bytes that read as the same names.
#include "unitdb/ignorefile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> names = unitdb::parseIgnoreList(bytes);
    const unitdb::EncodeResult written = unitdb::ignoreListBytes(names);
    if (!written.ok())
        return 0;
    if (unitdb::parseIgnoreList(written.bytes) != names)
        std::abort();
    if (unitdb::ignoreListBytes(names).bytes != written.bytes)
        std::abort();
    return 0;
}
