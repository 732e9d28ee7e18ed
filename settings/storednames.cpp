// Looking up the stored names and writing the first-run values.
#include "settings/storednames.h"

#include "settings/regtext.h"
#include "settings/settingsstore.h"

#include <cassert>

namespace settings
{

const StoredName& storedName(std::string_view name)
{
    for (const StoredName& entry : kStoredNames)
        if (equalsNoCase(entry.name, name))
            return entry;
    assert(!"not a stored name");
    return kStoredNames[0];
}

void writeFirstRunValues(SettingsStore& store)
{
    for (const StoredName& entry : kStoredNames)
        store.write(entry.name, entry.firstRun);
}

} // namespace settings
