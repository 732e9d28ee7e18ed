// The conversion rules: value × input coefficient ÷ output coefficient, rounded when asked,
// and how choosing, swapping and Enter move the rows' units and the input.
#include "convmodel/conversionmodel.h"

#include "calc/numbertext.h"
#include "convmodel/inputtext.h"
#include "unitdb/coefficient.h"

#include <algorithm>
#include <cmath>

namespace convmodel
{

namespace
{

// Five different units where the quantity has them: the base unit, or the first, for the
// input, the others in list order for the outputs, round again when there are fewer.
std::array<int, kRows> firstUse(const unitdb::Quantity& q)
{
    const auto base =
        std::ranges::find_if(q.units, [](const unitdb::Unit& u) { return u.coefficient == 1.0; });
    const int in = base == q.units.end() ? 0 : static_cast<int>(base - q.units.begin());
    std::vector<int> others;
    for (int slot = 0; slot < static_cast<int>(q.units.size()); ++slot)
        if (slot != in)
            others.push_back(slot);
    std::array<int, kRows> slots{};
    for (std::size_t row = 0; row < kOutputRows; ++row)
        slots[row] = others.empty() ? in : others[row % others.size()];
    slots[kInputRow] = in;
    return slots;
}

int slotNamed(const unitdb::Quantity& q, const std::string& name)
{
    const auto found =
        std::ranges::find_if(q.units, [&](const unitdb::Unit& u) { return u.name == name; });
    return found == q.units.end() ? -1 : static_cast<int>(found - q.units.begin());
}

Description describeUnit(const unitdb::Quantity& q, std::size_t slot)
{
    Description d{q.units[slot].name, std::nullopt};
    // Found by name, the last of that name, as the panel always has.
    for (const unitdb::Unit& unit : q.units)
        if (unit.name == d.unitName)
            d.text = unit.description.empty() ? std::nullopt : std::optional(unit.description.text());
    return d;
}

} // namespace

ConversionModel::ConversionModel(const unitdb::UnitDatabase& database, char decimalSeparator)
    : m_database(database), m_separator(decimalSeparator)
{
}

void ConversionModel::setListed(std::vector<std::size_t> tableIndices)
{
    const std::optional<std::size_t> chosen = quantityIndex();
    m_listed = std::move(tableIndices);
    const auto kept = chosen ? std::ranges::find(m_listed, *chosen) : m_listed.end();
    m_position = kept != m_listed.end() ? static_cast<int>(kept - m_listed.begin()) : -1;
    if (m_position < 0)
        m_slots.fill(-1);
    m_words.reset(); // start-up lists the quantities once the database is read
}

const unitdb::Quantity* ConversionModel::quantity() const
{
    const auto index = quantityIndex();
    return index ? &m_database[*index] : nullptr;
}

std::optional<std::size_t> ConversionModel::quantityIndex() const
{
    if (m_position < 0 || static_cast<std::size_t>(m_position) >= m_listed.size() ||
        m_listed[static_cast<std::size_t>(m_position)] >= m_database.size())
        return std::nullopt;
    return m_listed[static_cast<std::size_t>(m_position)];
}

void ConversionModel::selectQuantity(int position)
{
    m_position =
        position >= 0 && static_cast<std::size_t>(position) < m_listed.size() ? position : -1;
    const unitdb::Quantity* q = quantity();
    if (!q || q->units.empty()) {
        // Nothing to choose: the outputs and the panel keep what they show.
        m_slots.fill(-1);
        return;
    }
    m_slots = firstUse(*q);
    if (const auto used = m_used.find(q->name); used != m_used.end())
        for (std::size_t row = 0; row < kRows; ++row)
            if (const int slot = slotNamed(*q, used->second[row]); slot >= 0)
                m_slots[row] = slot;
    selectUnit(kInputRow, m_slots[kInputRow]);
}

RowUnits& ConversionModel::usedByQuantity()
{
    return m_used[quantity()->name];
}

void ConversionModel::selectUnit(int row, int slot)
{
    const unitdb::Quantity* q = quantity();
    if (!q || q->units.empty())
        return; // an empty list takes no selection
    const bool inRange = slot >= 0 && static_cast<std::size_t>(slot) < q->units.size();
    m_slots[static_cast<std::size_t>(row)] = inRange ? slot : -1;
    RowUnits& used = usedByQuantity();
    for (std::size_t r = 0; r < kRows; ++r)
        used[r] = m_slots[r] >= 0 ? q->units[static_cast<std::size_t>(m_slots[r])].name : "";
    showInPanel(row);
    // Unit words are worth their factor into the input unit.
    if (row == kInputRow)
        evaluateLine();
    convert();
}

const std::string& ConversionModel::setInput(std::string_view text)
{
    m_input = plainInput(text);
    evaluateLine();
    convert();
    return m_input;
}

void ConversionModel::prepareUnitWords() const
{
    if (!m_words)
        m_words = std::make_unique<UnitWords>(m_database);
}

std::variant<double, LineProblem> ConversionModel::evaluate(std::string_view text) const
{
    prepareUnitWords();
    const UnitReading reading = m_words->read(text, quantityIndex(), m_slots[kInputRow]);
    if (reading.refusal)
        return *reading.refusal;
    const calc::BracketResult result = calc::evaluate(
        reading.expression,
        {m_rounding.on ? calc::RoundingMode::On : calc::RoundingMode::Off, m_rounding.places});
    if (const auto* value = std::get_if<double>(&result))
        return *value;
    if (const auto* failure = std::get_if<calc::CalcFailure>(&result))
        return *failure;
    return calc::Unevaluated{std::string(text)};
}

void ConversionModel::evaluateLine()
{
    // A plain number converts as typed, all its digits and unrounded, as it always has.
    if (isPlainNumber(m_input)) {
        m_line = calc::readNumber(m_input);
        return;
    }
    m_line = evaluate(m_input);
    // What Enter would leave in the line, so that Enter does not change the outputs.
    if (const double* value = std::get_if<double>(&m_line))
        m_line = calc::readNumber(calc::numberText(*value, '.'));
}

double ConversionModel::coefficient(int slot) const
{
    return m_database.unit(*quantityIndex(), static_cast<std::size_t>(slot)).coefficient;
}

void ConversionModel::convert()
{
    const int in = m_slots[kInputRow];
    // Without an input unit every output that has a coefficient shows 0.
    const double k = in >= 0 ? coefficient(in) : 0.0;
    const double* line = std::get_if<double>(&m_line);
    const double x = line ? *line : 0.0;
    m_overflowed = false;
    for (std::size_t i = 0; i < kOutputRows; ++i) {
        if (m_slots[i] >= 0)
            m_remembered[i] = coefficient(m_slots[i]);
        Output& out = m_outputs[i];
        if (!line) {
            out = {Output::State::NoValue, 0.0};
            continue;
        }
        if ((in >= 0 && !unitdb::usableCoefficient(k)) ||
            !unitdb::usableCoefficient(m_remembered[i])) {
            out = {Output::State::Empty, 0.0};
            continue;
        }
        // The quotient first, as the program always has: it keeps results digit for digit.
        double value = k / m_remembered[i] * x;
        if (std::isfinite(value) && m_rounding.on)
            value = calc::roundToPlaces(value, m_rounding.places);
        if (!std::isfinite(value)) {
            out = {Output::State::Overflow, 0.0};
            m_overflowed = true;
            continue;
        }
        out = {Output::State::Value, value};
    }
}

std::string ConversionModel::outputText(int row) const
{
    const Output& out = output(row);
    return out.state == Output::State::Value ? calc::numberText(out.value, m_separator)
                                             : std::string();
}

void ConversionModel::setRounding(const Rounding& rounding)
{
    m_rounding = {rounding.on, std::clamp(rounding.places, 0, 15)};
    evaluateLine(); // the calculator rounds its results too
    convert();
}

EnterResult ConversionModel::enter()
{
    const std::string before = m_input;
    const auto result = evaluate(before);
    if (const double* value = std::get_if<double>(&result)) {
        setInput(calc::numberText(*value, '.'));
        return {std::nullopt, std::nullopt, true, m_overflowed};
    }
    const LineProblem& problem = std::get<LineProblem>(result);
    if (const auto* failure = std::get_if<calc::CalcFailure>(&problem))
        return {*failure, std::nullopt, false, false};
    if (const auto* refusal = std::get_if<UnitWordRefusal>(&problem))
        return {std::nullopt, *refusal, false, false};
    setInput(before);
    return {std::nullopt, std::nullopt, false, m_overflowed};
}

std::vector<std::string> ConversionModel::logLines(std::string_view before,
                                                   std::string_view overflowText) const
{
    const unitdb::Quantity* q = quantity();
    auto unitOf = [&](int row) {
        const int slot = unitSlot(row);
        return slot >= 0 && q ? shortName(q->units[static_cast<std::size_t>(slot)].name)
                              : std::string();
    };
    const std::string unit = unitOf(kInputRow);
    std::vector<std::string> lines;
    lines.push_back(std::string(before) + ' ' + unit + " = " + m_input + ' ' + unit + " = ");
    for (int row = 0; row < kOutputRows; ++row) {
        const std::string value = output(row).state == Output::State::Overflow
                                      ? std::string(overflowText)
                                      : outputText(row);
        lines.push_back("       = " + value + ' ' + unitOf(row));
    }
    lines.emplace_back();
    return lines;
}

void ConversionModel::swap(int row)
{
    const int formerInput = m_slots[kInputRow];
    setInput(outputText(row));
    selectUnit(kInputRow, m_slots[static_cast<std::size_t>(row)]);
    selectUnit(row, formerInput);
    if (m_input == "0")
        setInput("");
}

Description ConversionModel::describe(int row) const
{
    const unitdb::Quantity* q = quantity();
    const int slot = unitSlot(row);
    if (!q || slot < 0)
        return {};
    return describeUnit(*q, static_cast<std::size_t>(slot));
}

void ConversionModel::showUnitInPanel(std::size_t quantityIndex, std::size_t slot)
{
    m_panel = describeUnit(m_database[quantityIndex], slot);
    m_panelRow = -1;
}

void ConversionModel::refresh()
{
    m_words.reset();
    const auto slots = m_slots;
    const int panelRow = m_panelRow;
    const auto panel = m_panel;
    const unitdb::Quantity* q = m_position >= 0 ? quantity() : nullptr;
    RowUnits names;
    if (q)
        if (const auto used = m_used.find(q->name); used != m_used.end())
            names = used->second;
    selectQuantity(m_position);
    q = quantity();
    const int count = q ? static_cast<int>(q->units.size()) : 0;
    // A row keeps its unit wherever the editor moved it. A renamed or deleted one keeps its
    // place, as a list's selection does, and a place now past the end takes the first unit,
    // as a stored slot past the end does at start-up.
    const auto kept = [&](std::size_t row) {
        if (const int named = q ? slotNamed(*q, names[row]) : -1; named >= 0)
            return named;
        return slots[row] >= 0 && slots[row] < count ? slots[row] : 0;
    };
    selectUnit(kInputRow, kept(kInputRow));
    for (int row = 0; row < kOutputRows; ++row)
        selectUnit(row, kept(static_cast<std::size_t>(row)));
    if (panelRow >= 0)
        showInPanel(panelRow);
    else
        m_panel = panel;
}

void ConversionModel::chooseFound(int row, int position, int slot)
{
    if (position != m_position)
        selectQuantity(position);
    selectUnit(row, slot);
}

int ConversionModel::letterJump(std::span<const char32_t> initials, int selected, char32_t typed)
{
    const int n = static_cast<int>(initials.size());
    auto first = [&](int i) { return initials[static_cast<std::size_t>(i)]; };
    for (int i = 0; i < n; ++i) {
        if (first(i) != typed)
            continue;
        if (selected >= 0 && selected < n && first(selected) == typed) {
            if (selected + 1 < n)
                return first(selected + 1) == typed ? selected + 1 : i;
            continue; // the last entry already has the letter: nothing moves
        }
        return i;
    }
    return -1;
}

} // namespace convmodel
