// The unit database: the quantities in file order, each holding its units. Every window
// reads it; the editor changes it only through the operations below.
#pragma once

#include "unitdb/deferredtext.h"
#include "unitdb/errors.h"
#include "unitdb/textrule.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace unitdb
{

// What Base.dat and the program's lists can hold.
inline constexpr std::size_t kMaxQuantities = 51;
inline constexpr std::size_t kMaxUnits = 101;

struct Unit {
    std::string name;         // UTF-8, as listed
    double coefficient = 1.0; // value in this unit times this is the value in the reference unit
    DeferredText description; // empty when there is none
    bool operator==(const Unit&) const = default;
};

struct Quantity {
    std::string name;
    std::vector<Unit> units;
    bool operator==(const Quantity&) const = default;
};

// Why an operation refused: TooManyUnits, TooManyCategories, DuplicateName, a text rule code
// (then `text` says which character the encoding lacks) or what checkCoefficient() says.
struct EditResult {
    ErrorCode code = ErrorCode::None;
    TextCheck text; // for a name or description the file cannot hold
    bool ok() const { return code == ErrorCode::None; }
};

// A quantity and one of its units, by position; either may be none.
struct Place {
    std::optional<std::size_t> quantity;
    std::optional<std::size_t> slot;
    bool operator==(const Place&) const = default;
};

class UnitDatabase
{
public:
    UnitDatabase() = default;
    // The database as read from a file: unchanged, in the file's encoding.
    UnitDatabase(std::vector<Quantity> quantities, TextEncoding encoding);

    const std::vector<Quantity>& quantities() const
    {
        sortAll();
        return m_quantities;
    }
    std::size_t size() const { return m_quantities.size(); }
    const Quantity& operator[](std::size_t quantity) const { return sorted(quantity); }
    const Unit& unit(std::size_t quantity, std::size_t slot) const
    {
        return sorted(quantity).units[slot];
    }
    // A quantity's name and how many units it holds, which do not wait for the sort.
    const std::string& name(std::size_t quantity) const { return m_quantities[quantity].name; }
    std::size_t unitCount(std::size_t quantity) const
    {
        return m_quantities[quantity].units.size();
    }
    // How the file was stored; saving writes it back the same way.
    TextEncoding encoding() const { return m_encoding; }
    // True once an operation below changed something.
    bool changed() const { return m_changed; }
    // True when the quantities are as they were made, sorted, before the first change: none
    // was made, or later ones (undo included) took them back there.
    bool sameAsMade() const
    {
        sortAll();
        return !m_made || m_quantities == *m_made;
    }

    // Puts every quantity's units in the order the lists show: names beginning with a Cyrillic
    // letter А..я first, then by UTF-16 code units; stable. Not an edit. A quantity is sorted
    // when its units are first read, so that start-up sorts only the one it shows.
    void sortUnits();

    // The editor's operations. Each refuses, changing nothing, what the file could not hold:
    // a 102nd unit, a 52nd quantity, a text the encoding or the format cannot carry, a second
    // quantity of the same name, a second unit of the same name in one quantity; and a
    // deletion that would leave a quantity without units or the database without quantities.
    // Storing what is already there is no change; every change is a step undo() takes back.
    // Appends a nameless unit with coefficient 1; several may wait for their names at once.
    EditResult addUnit(std::size_t quantity);
    // Appends a quantity holding one nameless unit, as a quantity is started.
    EditResult addQuantity(std::string name);
    EditResult renameUnit(std::size_t quantity, std::size_t slot, std::string name);
    EditResult setCoefficient(std::size_t quantity, std::size_t slot, double coefficient);
    // Line breaks become blanks: the file keeps a description on one line.
    EditResult setDescription(std::size_t quantity, std::size_t slot, std::string text);
    EditResult deleteUnit(std::size_t quantity, std::size_t slot);
    EditResult deleteQuantity(std::size_t quantity); // with its units

    // Whether a name could be given to a unit or a new quantity: the same checks as above.
    EditResult checkUnitName(std::size_t quantity, std::size_t slot, std::string_view name) const;
    EditResult checkQuantityName(std::string_view name) const;
    // Whether a unit of the quantity, or a quantity, could be deleted.
    EditResult checkUnitDeletion(std::size_t quantity) const;
    EditResult checkQuantityDeletion() const;

    // Takes back the last change not taken back yet, as far back as the database was made;
    // redo() makes the last one taken back again, until a new change clears them. Each says
    // where the step now stands: its quantity (or the one in its place, none when none is
    // left) and its unit when that is there; nothing when there was no step to take.
    std::optional<Place> undo();
    std::optional<Place> redo();
    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }

    // The same quantities and units in the same order; the encoding and the flag do not count.
    bool operator==(const UnitDatabase& other) const
    {
        return quantities() == other.quantities();
    }

private:
    // A change as the quantity before and after it; none where it was added or deleted.
    struct Step {
        std::size_t quantity = 0;
        std::optional<std::size_t> slot; // the unit it changed, added or deleted
        std::optional<Quantity> before;
        std::optional<Quantity> after;
    };
    static void sortQuantity(Quantity& quantity);
    // The quantity, sorted first if sortUnits() left it waiting.
    const Quantity& sorted(std::size_t quantity) const;
    // Every edit, check of units and step back or forth starts here, so that slots and the
    // copies kept for undo always mean the sorted order.
    void sortAll() const;
    EditResult make(Step step);
    Place replace(const Step& step, const std::optional<Quantity>& from,
                  const std::optional<Quantity>& to);

    // Mutable for the sort on first reading, which changes no order a reader has seen.
    mutable std::vector<Quantity> m_quantities;
    mutable std::vector<bool> m_unsorted; // by quantity; empty once all are sorted
    TextEncoding m_encoding = TextEncoding::Cp1251;
    bool m_changed = false;
    // Copied at the first change, so that a database never edited is never copied.
    std::optional<std::vector<Quantity>> m_made;
    std::vector<Step> m_undo;
    std::vector<Step> m_redo;
};

} // namespace unitdb
