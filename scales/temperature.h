// The arithmetic behind Skalomer's five labels: one whole Celsius degree in five scales.
#pragma once

namespace scales
{

constexpr int kMinCelsius = -273;
constexpr int kMaxCelsius = 1000;

struct TemperatureReadings {
    int celsius = 0;
    int kelvin = 0;
    int fahrenheit = 0;
    int reaumur = 0;
    int rankine = 0;
};

// The readings for a whole-degree Celsius value in [kMinCelsius, kMaxCelsius], each rounded
// toward minus infinity; e.g. -1 gives Fahrenheit 30 and Reaumur -1.
TemperatureReadings temperatureReadings(int celsius);

} // namespace scales
