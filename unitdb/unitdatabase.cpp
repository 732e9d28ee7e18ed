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

void UnitDatabase::sortUnits()
{
    const auto before = [](const Unit& a, const Unit& b) { return unitGoesBefore(a.name, b.name); };
    // A saved file is in order already: one look costs far less than a stable sort's buffer.
    for (Quantity& quantity : m_quantities)
        if (!std::is_sorted(quantity.units.begin(), quantity.units.end(), before))
            std::stable_sort(quantity.units.begin(), quantity.units.end(), before);
}

EditResult UnitDatabase::checkUnitName(std::size_t quantity, std::size_t slot,
                                       std::string_view name) const
{
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

EditResult UnitDatabase::addUnit(std::size_t quantity)
{
    assert(quantity < m_quantities.size());
    std::vector<Unit>& units = m_quantities[quantity].units;
    if (units.size() >= kMaxUnits)
        return refused(ErrorCode::TooManyUnits);
    // Not checked for a duplicate: a nameless unit waits for its name, and may wait beside another.
    units.push_back({});
    m_changed = true;
    return {};
}

EditResult UnitDatabase::addQuantity(std::string name)
{
    if (const EditResult why = checkQuantityName(name); !why.ok())
        return why;
    m_quantities.push_back({std::move(name), {}});
    m_changed = true;
    return {};
}

EditResult UnitDatabase::renameUnit(std::size_t quantity, std::size_t slot, std::string name)
{
    std::string& stored = unitAt(m_quantities, quantity, slot).name;
    if (stored == name)
        return {};
    if (const EditResult why = checkUnitName(quantity, slot, name); !why.ok())
        return why;
    stored = std::move(name);
    m_changed = true;
    return {};
}

EditResult UnitDatabase::setCoefficient(std::size_t quantity, std::size_t slot, double coefficient)
{
    double& stored = unitAt(m_quantities, quantity, slot).coefficient;
    if (const ErrorCode why = checkCoefficient(coefficient); why != ErrorCode::None)
        return refused(why);
    if (stored == coefficient)
        return {};
    stored = coefficient;
    m_changed = true;
    return {};
}

EditResult UnitDatabase::setDescription(std::size_t quantity, std::size_t slot, std::string text)
{
    std::string& stored = unitAt(m_quantities, quantity, slot).description;
    text = flattened(text);
    if (stored == text)
        return {};
    if (const TextCheck check = checkText(text, TextField::Description, m_encoding); !check.ok())
        return refused(check);
    stored = std::move(text);
    m_changed = true;
    return {};
}

} // namespace unitdb
