// Whole-number products, then the division by 5 and the addition of 32 in double.
#include "scales/temperature.h"

#include <cassert>
#include <cmath>

namespace scales
{

namespace
{

// A product of whole numbers divided by 5 is either exact in double or at least 0.2 away
// from the next whole number, so floor() never lands on the wrong side.
int floorFifth(int product, double offset)
{
    return static_cast<int>(std::floor(static_cast<double>(product) / 5.0 + offset));
}

} // namespace

TemperatureReadings temperatureReadings(int celsius)
{
    assert(celsius >= kMinCelsius && celsius <= kMaxCelsius);
    // 273, not 273.15: every scale here is shown in whole degrees.
    const int kelvin = celsius + 273;
    TemperatureReadings r;
    r.celsius = celsius;
    r.kelvin = kelvin;
    r.fahrenheit = floorFifth(celsius * 9, 32.0);
    r.reaumur = floorFifth(celsius * 4, 0.0);
    r.rankine = floorFifth(kelvin * 9, 0.0);
    return r;
}

} // namespace scales
