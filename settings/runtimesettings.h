// The settings that live for the whole run: what the settings dialog shows,
// start-up fills from the store and shut-down saves.
#pragma once

#include <string>
#include <vector>

namespace settings
{

enum class Logging { Off, On };
enum class Rounding { Off, On };
enum class Ignoring { Off, On };

// The defaults are the settings dialog's state before start-up fills it.
struct RuntimeSettings {
    static constexpr int kMinDecimalPlaces = 0;
    static constexpr int kMaxDecimalPlaces = 15;

    Logging logging = Logging::On;
    std::string logFile = "log.txt"; // a name without a folder is in the data folder
    Rounding rounding = Rounding::On;
    int decimalPlaces = 9; // kMinDecimalPlaces..kMaxDecimalPlaces
    Ignoring ignoring = Ignoring::On;
    std::vector<std::string> ignoredCategories; // kept in alphabetical order by the dialog
};

} // namespace settings
