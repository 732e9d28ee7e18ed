// The values the program keeps in its settings key, in the order the first run
// writes them, with what the first run stores and what a missing value reads as.
#pragma once

#include <string_view>

namespace settings
{

class SettingsStore;

struct StoredName {
    const char* name;     // as the first run writes it
    const char* firstRun; // the value the first run stores
    const char* fallback; // read when the value is missing or empty
};

inline constexpr StoredName kStoredNames[] = {
    {"Velic", "0", "0"},    {"Field1", "0", "0"},       {"Field2", "0", "0"},
    {"Field3", "0", "0"},   {"Field4", "0", "0"},       {"Field5", "0", "0"},
    {"Round", "9", "0"},    {"Launched", "1", "0"},     {"Logging", "0", "0"},
    {"Ignoring", "0", "0"}, {"LogFile", "log.txt", ""},
};

// The entry for a name, found without regard to letter case; the name must be one of them.
const StoredName& storedName(std::string_view name);

// Writes the first-run values, in the table's order; the caller flushes.
void writeFirstRunValues(SettingsStore& store);

} // namespace settings
