// What a unit's coefficient may be. Conversion divides by it, so it must be a
// positive, finite, normal number: its reciprocal is then finite too.
#pragma once

#include "unitdb/errors.h"

#include <cmath>

namespace unitdb
{

// None for a usable coefficient; BadCoefficient for NaN, NotPositive for
// zero of either sign and negatives, OutOfRange for infinity and subnormals.
inline ErrorCode checkCoefficient(double value)
{
    if (std::isnan(value))
        return ErrorCode::BadCoefficient;
    if (std::signbit(value) || value == 0.0)
        return ErrorCode::NotPositive;
    if (!std::isnormal(value))
        return ErrorCode::OutOfRange;
    return ErrorCode::None;
}

// Whether conversion can go by the coefficient: one a file or the editor let through may be 0,
// negative or not finite, and then leaves the row without a number.
inline bool usableCoefficient(double value)
{
    return std::isfinite(value) && value > 0.0;
}

} // namespace unitdb
