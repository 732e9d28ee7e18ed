// The calculator on any text: it must stop, and a value it hands back is finite.
// The first byte picks the rounding setting, the rest is the expression.
#include "calc/calculator.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    calc::CalcOptions options;
    options.rounding = (data[0] & 0x80) != 0 ? calc::RoundingMode::On : calc::RoundingMode::Off;
    options.places = data[0] & 0x0F; // 0 to 15
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    const calc::BracketResult result = calc::evaluate(text, options);
    if (const auto* value = std::get_if<double>(&result)) {
        if (!std::isfinite(*value))
            std::abort();
    } else if (const auto* kept = std::get_if<calc::Unevaluated>(&result)) {
        // An unmatched bracket hands the text back exactly as typed.
        if (kept->text != text)
            std::abort();
    }
    return 0;
}
