// The unit database's operations: each checks everything first and changes nothing when it
// refuses, so the editor can show the reason and leave the database as it was.
#include "unitdb/unitdatabase.h"

#include "unitdb/coefficient.h"
#include "unitdb/unitsort.h"

#include <algorithm>
#include <cassert>

namespace unitdb
{

namespace
{

EditResult refused(ErrorCode code)
{
    return {code, {}};
}

EditResult refused(const TextCheck& text)
{
    return {text.code, text};
}

// "\r\n" is one break, so it becomes one blank.
std::string flattened(std::string_view text)
{
    std::string flat;
    flat.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        flat += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
    }
    return flat;
}

Unit& unitAt(std::vector<Quantity>& quantities, std::size_t quantity, std::size_t slot)
{
    assert(quantity < quantities.size() && slot < quantities[quantity].units.size());
    return quantities[quantity].units[slot];
}

} // namespace

UnitDatabase::UnitDatabase(std::vector<Quantity> quantities, TextEncoding encoding)
    : m_quantities(std::move(quantities)), m_encoding(encoding)
{
}

void UnitDatabase::sortQuantity(Quantity& quantity)
{
    // Each name's Cyrillic initial is worked out once, not in every comparison; the slot breaks
    // ties, so that equal names keep their order.
    struct Key {
        std::string_view name;
        bool cyrillic;
        std::size_t slot;
    };
    const auto order = [](const Key& a, const Key& b) {
        if (a.cyrillic != b.cyrillic)
            return a.cyrillic ? -1 : 1;
        return utf16Order(a.name, b.name);
    };
    const auto before = [&order](const Key& a, const Key& b) { return order(a, b) < 0; };
    const auto beforeOrEarlier = [&order](const Key& a, const Key& b) {
        const int o = order(a, b);
        return o < 0 || (o == 0 && a.slot < b.slot);
    };
    std::vector<Key> keys;
    keys.reserve(quantity.units.size());
    for (std::size_t slot = 0; slot < quantity.units.size(); ++slot) {
        const std::string& name = quantity.units[slot].name;
        keys.push_back({name, beginsWithCyrillicLetter(name), slot});
    }
    // A file the program saved is in order already.
    if (std::ranges::is_sorted(keys, before))
        return;
    std::ranges::sort(keys, beforeOrEarlier);
    std::vector<Unit> sorted;
    sorted.reserve(keys.size());
    for (const Key& key : keys)
        sorted.push_back(std::move(quantity.units[key.slot]));
    quantity.units = std::move(sorted);
}

void UnitDatabase::sortUnits()
{
    m_unsorted.assign(m_quantities.size(), true);
}

const Quantity& UnitDatabase::sorted(std::size_t quantity) const
{
    assert(quantity < m_quantities.size());
    if (!m_unsorted.empty() && m_unsorted[quantity]) {
        sortQuantity(m_quantities[quantity]);
        m_unsorted[quantity] = false;
    }
    return m_quantities[quantity];
}

void UnitDatabase::sortAll() const
{
    if (m_unsorted.empty())
        return;
    for (std::size_t q = 0; q < m_quantities.size(); ++q)
        sorted(q);
    m_unsorted.clear();
}

EditResult UnitDatabase::checkUnitName(std::size_t quantity, std::size_t slot,
                                       std::string_view name) const
{
    sortAll();
    assert(quantity < m_quantities.size());
    if (const TextCheck text = checkText(name, TextField::UnitName, m_encoding); !text.ok())
        return refused(text);
    // The lists find a unit by its name: a second one of the same name would hide the first.
    const std::vector<Unit>& units = m_quantities[quantity].units;
    for (std::size_t s = 0; s < units.size(); ++s)
        if (s != slot && units[s].name == name)
            return refused(ErrorCode::DuplicateName);
    return {};
}

EditResult UnitDatabase::checkQuantityName(std::string_view name) const
{
    if (m_quantities.size() >= kMaxQuantities)
        return refused(ErrorCode::TooManyCategories);
    if (const TextCheck text = checkText(name, TextField::QuantityName, m_encoding); !text.ok())
        return refused(text);
    if (std::ranges::any_of(m_quantities, [name](const Quantity& q) { return q.name == name; }))
        return refused(ErrorCode::DuplicateName);
    return {};
}

EditResult UnitDatabase::checkUnitDeletion(std::size_t quantity) const
{
    sortAll();
    assert(quantity < m_quantities.size());
    if (m_quantities[quantity].units.size() <= 1)
        return refused(ErrorCode::LastUnit);
    return {};
}

EditResult UnitDatabase::checkQuantityDeletion() const
{
    // The file needs a quantity to be read back at all.
    if (m_quantities.size() <= 1)
        return refused(ErrorCode::LastQuantity);
    return {};
}

EditResult UnitDatabase::make(Step step)
{
    if (!m_made)
        m_made = m_quantities;
    replace(step, step.before, step.after);
    m_undo.push_back(std::move(step));
    m_redo.clear();
    m_changed = true;
    return {};
}

Place UnitDatabase::replace(const Step& step, const std::optional<Quantity>& from,
                            const std::optional<Quantity>& to)
{
    const auto at = m_quantities.begin() + static_cast<std::ptrdiff_t>(step.quantity);
    if (from && to)
        *at = *to;
    else if (to)
        m_quantities.insert(at, *to);
    else
        m_quantities.erase(at);
    Place place;
    if (!m_quantities.empty())
        place.quantity = std::min(step.quantity, m_quantities.size() - 1);
    // The unit is there unless this move took it away, with its quantity or alone.
    if (from && to && step.slot && to->units.size() >= from->units.size())
        place.slot = step.slot;
    return place;
}

std::optional<Place> UnitDatabase::undo()
{
    sortAll();
    if (m_undo.empty())
        return std::nullopt;
    m_redo.push_back(std::move(m_undo.back()));
    m_undo.pop_back();
    m_changed = true;
    const Step& step = m_redo.back();
    return replace(step, step.after, step.before);
}

std::optional<Place> UnitDatabase::redo()
{
    sortAll();
    if (m_redo.empty())
        return std::nullopt;
    m_undo.push_back(std::move(m_redo.back()));
    m_redo.pop_back();
    m_changed = true;
    const Step& step = m_undo.back();
    return replace(step, step.before, step.after);
}

EditResult UnitDatabase::addUnit(std::size_t quantity)
{
    sortAll();
    assert(quantity < m_quantities.size());
    const Quantity& before = m_quantities[quantity];
    if (before.units.size() >= kMaxUnits)
        return refused(ErrorCode::TooManyUnits);
    // Not checked for a duplicate: a nameless unit waits for its name, and may wait beside another.
    Quantity after = before;
    after.units.emplace_back();
    return make({quantity, before.units.size(), before, std::move(after)});
}

EditResult UnitDatabase::addQuantity(std::string name)
{
    sortAll();
    if (const EditResult why = checkQuantityName(name); !why.ok())
        return why;
    return make({m_quantities.size(), 0, std::nullopt, Quantity{std::move(name), {Unit{}}}});
}

EditResult UnitDatabase::renameUnit(std::size_t quantity, std::size_t slot, std::string name)
{
    sortAll();
    if (unitAt(m_quantities, quantity, slot).name == name)
        return {};
    if (const EditResult why = checkUnitName(quantity, slot, name); !why.ok())
        return why;
    Quantity after = m_quantities[quantity];
    after.units[slot].name = std::move(name);
    return make({quantity, slot, m_quantities[quantity], std::move(after)});
}

EditResult UnitDatabase::setCoefficient(std::size_t quantity, std::size_t slot, double coefficient)
{
    sortAll();
    const double stored = unitAt(m_quantities, quantity, slot).coefficient;
    if (const ErrorCode why = checkCoefficient(coefficient); why != ErrorCode::None)
        return refused(why);
    if (stored == coefficient)
        return {};
    Quantity after = m_quantities[quantity];
    after.units[slot].coefficient = coefficient;
    return make({quantity, slot, m_quantities[quantity], std::move(after)});
}

EditResult UnitDatabase::setDescription(std::size_t quantity, std::size_t slot, std::string text)
{
    sortAll();
    text = flattened(text);
    if (unitAt(m_quantities, quantity, slot).description == text)
        return {};
    if (const TextCheck check = checkText(text, TextField::Description, m_encoding); !check.ok())
        return refused(check);
    Quantity after = m_quantities[quantity];
    after.units[slot].description = std::move(text);
    return make({quantity, slot, m_quantities[quantity], std::move(after)});
}

EditResult UnitDatabase::deleteUnit(std::size_t quantity, std::size_t slot)
{
    sortAll();
    assert(slot < m_quantities[quantity].units.size());
    if (const EditResult why = checkUnitDeletion(quantity); !why.ok())
        return why;
    Quantity after = m_quantities[quantity];
    after.units.erase(after.units.begin() + static_cast<std::ptrdiff_t>(slot));
    return make({quantity, slot, m_quantities[quantity], std::move(after)});
}

EditResult UnitDatabase::deleteQuantity(std::size_t quantity)
{
    sortAll();
    assert(quantity < m_quantities.size());
    if (const EditResult why = checkQuantityDeletion(); !why.ok())
        return why;
    return make({quantity, std::nullopt, m_quantities[quantity], std::nullopt});
}

} // namespace unitdb
