// The registry file reader on any text. A document it accepts must be written
// back in a form that reads as the same document, and writing is then stable.
#include "settings/regtext.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace
{

bool sameDocument(const settings::RegDocument& a, const settings::RegDocument& b)
{
    if (a.keys.size() != b.keys.size())
        return false;
    for (std::size_t k = 0; k < a.keys.size(); ++k) {
        const auto& x = a.keys[k];
        const auto& y = b.keys[k];
        if (x.root != y.root || x.path != y.path || x.values.size() != y.values.size())
            return false;
        for (std::size_t v = 0; v < x.values.size(); ++v) {
            if (x.values[v].name != y.values[v].name || x.values[v].type != y.values[v].type ||
                x.values[v].data != y.values[v].data)
                return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto doc = settings::parseRegText(text);
    if (!doc)
        return 0;
    const std::string written = settings::formatRegText(*doc);
    const auto again = settings::parseRegText(written);
    if (!again || !sameDocument(*doc, *again))
        std::abort();
    if (settings::formatRegText(*again) != written)
        std::abort();
    return 0;
}
