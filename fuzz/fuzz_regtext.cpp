// The registry file reader on any text. What it keeps must be written back in a
// form that reads as the same document with no line left out, and writing is
// then stable.
#include "settings/regtext.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace
{

bool sameDocument(const settings::RegDocument& a, const settings::RegDocument& b)
{
    if (a.keys().size() != b.keys().size())
        return false;
    for (std::size_t k = 0; k < a.keys().size(); ++k) {
        const auto& x = a.keys()[k];
        const auto& y = b.keys()[k];
        if (x.root() != y.root() || x.path() != y.path() || x.values().size() != y.values().size())
            return false;
        for (std::size_t v = 0; v < x.values().size(); ++v) {
            const auto& p = x.values()[v];
            const auto& q = y.values()[v];
            if (p.name != q.name || p.type != q.type || p.data != q.data)
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto first = settings::parseRegText(text);
    const std::string written = settings::formatRegText(first.doc);
    const auto again = settings::parseRegText(written);
    if (again.droppedLines != 0 || !sameDocument(first.doc, again.doc))
        std::abort();
    if (settings::formatRegText(again.doc) != written)
        std::abort();
    return 0;
}
