// Ignore.ini on any bytes: the names read are written back in the encoding read, as bytes
// that read as the same names and, read and written once more, give the same bytes.
#include "unitdb/ignorefile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const unitdb::IgnoreList list = unitdb::parseIgnoreList(bytes);
    // Whatever the reader takes, the writer writes.
    const unitdb::IgnoreListBytes written = unitdb::ignoreListBytes(list.names, list.encoding);
    if (!written.ok())
        std::abort();
    const unitdb::IgnoreList again = unitdb::parseIgnoreList(written.bytes);
    if (again.names != list.names)
        std::abort();
    if (unitdb::ignoreListBytes(again.names, again.encoding).bytes != written.bytes)
        std::abort();
    return 0;
}
