// The input line on any text, with the shipped Base.dat: unit words are read, refused or
// evaluated without a fault, and Enter never changes what typing an expression showed in the
// outputs.
// The first byte picks the quantity and the input unit; the rest is the line, and also a
// history file.
#include "convmodel/conversionmodel.h"
#include "convmodel/inputhistory.h"
#include "convmodel/inputtext.h"
#include "unitdb/basefile.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

namespace
{

const unitdb::UnitDatabase& database()
{
    static const unitdb::UnitDatabase loaded = [] {
        unitdb::UnitDatabase db;
        unitdb::load(db, MV_SHIPPED_BASE);
        db.sortUnits();
        return db;
    }();
    return loaded;
}

// One model for every input: its index of unit words is built once.
convmodel::ConversionModel& model()
{
    static convmodel::ConversionModel shared = [] {
        convmodel::ConversionModel m(database(), ',');
        std::vector<std::size_t> listed(database().size());
        std::iota(listed.begin(), listed.end(), std::size_t{0});
        m.setListed(listed);
        return m;
    }();
    return shared;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || database().size() == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    convmodel::ConversionModel& model = ::model();
    model.selectQuantity(data[0] % static_cast<int>(database().size()));
    model.selectUnit(convmodel::kInputRow, data[0] >> 4);
    model.setInput(text);
    std::array<std::string, convmodel::kOutputRows> shown;
    for (int row = 0; row < convmodel::kOutputRows; ++row)
        shown[static_cast<std::size_t>(row)] = model.outputText(row);
    // A plain number converts as typed, all its digits; Enter rounds it as it always has.
    const bool expression = !convmodel::isPlainNumber(model.input());
    if (!model.enter().failed() && expression)
        for (int row = 0; row < convmodel::kOutputRows; ++row)
            if (model.outputText(row) != shown[static_cast<std::size_t>(row)])
                std::abort();

    // What the history writes, it reads back the same.
    convmodel::InputHistory history;
    history.load(text);
    convmodel::InputHistory again;
    again.load(history.bytes());
    if (again.entries() != history.entries())
        std::abort();
    return 0;
}
