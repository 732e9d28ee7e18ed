// The command line's answers. A value with unit words is read in the target unit, as the
// window reads the line with that unit in the input row, and evaluated with the rounding
// Enter uses; so its digits are those Enter would leave in the line.
#include "cli/converter.h"

#include "calc/calculator.h"
#include "calc/numbertext.h"
#include "convmodel/inputtext.h"
#include "unitdb/cp1251.h"
#include "unitdb/unitsearch.h"
#include "words/problemwords.h"

#include <algorithm>
#include <numeric>

namespace cli
{

namespace
{

constexpr std::size_t kFound = 50; // as many rows as the find box shows
constexpr std::size_t kSuggested = 5;

std::string_view trimmed(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isLetter(char32_t c)
{
    return unitdb::isWordLetter(c) && !(c >= U'0' && c <= U'9');
}

// A word of an expression without units that the calculator would pass over in silence
// («5 футт»): none when every word is "pi" or a function's name.
std::string strayWord(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        if ((text[pos] >= '0' && text[pos] <= '9') || text[pos] == '.') {
            pos = std::max(convmodel::numberEnd(text, pos), pos + 1);
            continue;
        }
        const std::string_view rest = text.substr(pos);
        const bool calculator =
            rest.starts_with("pi") ||
            std::ranges::any_of(calc::kFunctionNames, [&](auto n) { return rest.starts_with(n); });
        std::size_t end = pos;
        const char32_t c = unitdb::nextCodePoint(text, end);
        if (calculator) {
            while (pos < text.size() && ((text[pos] >= 'a' && text[pos] <= 'z') ||
                                         (text[pos] >= 'A' && text[pos] <= 'Z')))
                ++pos;
        } else if (isLetter(c)) {
            for (std::size_t at = end; at < text.size(); end = at)
                if (!isLetter(unitdb::nextCodePoint(text, at)))
                    break;
            return std::string(text.substr(pos, end - pos));
        } else {
            pos = end;
        }
    }
    return {};
}

// The quantity's own unit, as a window row starts with it: coefficient 1, else the first.
std::size_t baseSlot(const unitdb::Quantity& q)
{
    const auto base =
        std::ranges::find_if(q.units, [](const unitdb::Unit& u) { return u.coefficient == 1.0; });
    return base == q.units.end() ? 0 : static_cast<std::size_t>(base - q.units.begin());
}

Exit exitFor(convmodel::UnitWordError code)
{
    switch (code) {
    case convmodel::UnitWordError::OtherQuantity:
        return Exit::Quantity;
    case convmodel::UnitWordError::NoUnit:
        return Exit::Calculation;
    default:
        return Exit::Unit;
    }
}

} // namespace

Converter::Converter(const unitdb::UnitDatabase& database, const convmodel::Rounding& rounding)
    : m_database(database), m_rounding(rounding), m_words(database)
{
}

Outcome Converter::evaluate(const std::string& expression) const
{
    const calc::BracketResult result = calc::evaluate(
        expression,
        {m_rounding.on ? calc::RoundingMode::On : calc::RoundingMode::Off, m_rounding.places});
    if (const double* value = std::get_if<double>(&result))
        return {Exit::Ok, calc::numberText(*value, '.')};
    if (const auto* failure = std::get_if<calc::CalcFailure>(&result))
        return {Exit::Calculation, words::calcErrorText(failure->code)};
    return {Exit::Calculation, words::unclosedBracketText() + ": «" + expression + "»."};
}

Outcome Converter::refused(const convmodel::UnitWordRefusal& refusal) const
{
    std::string text = words::unitWordText(refusal);
    if (refusal.code == convmodel::UnitWordError::UnknownWord)
        return unknown(refusal.word, std::move(text));
    return {exitFor(refusal.code), std::move(text)};
}

Outcome Converter::unknown(const std::string& word, std::string text) const
{
    // Near matches: the find box's search, the word cut shorter until something is found.
    std::vector<int> all(m_database.size());
    std::iota(all.begin(), all.end(), 0);
    const unitdb::UnitSearch search(m_database, all);
    std::string query = word;
    std::vector<unitdb::UnitMatch> found;
    while (found.empty() && query.size() > 1) {
        found = search.find(query, kSuggested);
        do
            query.pop_back();
        while (!query.empty() && (static_cast<unsigned char>(query.back()) & 0xC0) == 0x80);
    }
    std::string list;
    for (const unitdb::UnitMatch& m : found) {
        const auto& q = m_database[static_cast<std::size_t>(m.list)];
        list += (list.empty() ? "«" : ", «") + q.units[static_cast<std::size_t>(m.slot)].name +
                "» (" + q.name + ")";
    }
    if (!list.empty())
        text += " Похожие единицы: " + list + ".";
    return {Exit::Unit, std::move(text)};
}

Outcome Converter::convert(std::string_view valueText, std::string_view targetText) const
{
    const std::string value = convmodel::plainInput(trimmed(valueText));
    const std::string target(trimmed(targetText));
    // Read against no quantity, every unit word names another one: which ones, in file order.
    const convmodel::UnitReading probe = m_words.read(value, std::nullopt, -1);
    std::vector<std::size_t> quantities;
    if (probe.refusal && probe.refusal->code == convmodel::UnitWordError::OtherQuantity)
        for (const std::string& name : probe.refusal->names)
            for (std::size_t q = 0; q < m_database.size(); ++q)
                if (m_database[q].name == name)
                    quantities.push_back(q);

    // The units to read the value in, the value's own quantities first.
    std::vector<Ref> candidates;
    if (!target.empty()) {
        candidates = m_words.unitsNamed(target);
        if (candidates.empty())
            return unknown(target, "Единицы «" + target + "» нет.");
        std::ranges::stable_sort(candidates, {}, [&](const Ref& r) {
            return std::pair(std::ranges::find(quantities, r.quantity) == quantities.end(),
                             r.quantity);
        });
    } else {
        for (const std::size_t q : quantities)
            if (!m_database[q].units.empty())
                candidates.push_back({q, baseSlot(m_database[q])});
    }
    if (quantities.empty()) {
        // A number in any unit is that number: the target need not be told apart.
        if (const std::string stray = strayWord(value); !stray.empty())
            return unknown(stray, "Единицы «" + stray + "» нет.");
        return evaluate(value);
    }

    // A word may name units of several quantities («мм» is a length and a rainfall): the first
    // quantity that takes the whole value wins; one that holds the word twice cannot choose.
    std::optional<Outcome> first;
    for (const Ref& unit : candidates) {
        std::vector<std::string> same;
        for (const Ref& r : candidates)
            if (r.quantity == unit.quantity)
                same.push_back(m_database.unit(r.quantity, r.slot).name);
        Outcome outcome;
        if (same.size() > 1) {
            outcome = refused({convmodel::UnitWordError::Ambiguous, target, same});
        } else {
            const auto reading = m_words.read(value, unit.quantity, static_cast<int>(unit.slot));
            outcome = reading.refusal ? refused(*reading.refusal) : evaluate(reading.expression);
            if (outcome.code == Exit::Ok && target.empty())
                outcome.text +=
                    ' ' + convmodel::shortName(m_database.unit(unit.quantity, unit.slot).name);
        }
        if (outcome.code == Exit::Ok)
            return outcome;
        if (!first)
            first = std::move(outcome);
    }
    return *first;
}

Outcome Converter::find(std::string_view query) const
{
    std::vector<int> all(m_database.size());
    std::iota(all.begin(), all.end(), 0);
    const auto found = unitdb::UnitSearch(m_database, all).find(trimmed(query), kFound);
    if (found.empty())
        return {Exit::Unit, "Единиц по запросу «" + std::string(trimmed(query)) + "» не найдено."};
    std::string text;
    for (const unitdb::UnitMatch& m : found) {
        const auto& q = m_database[static_cast<std::size_t>(m.list)];
        text += q.units[static_cast<std::size_t>(m.slot)].name + '\t' + q.name + '\n';
    }
    text.pop_back();
    return {Exit::Ok, std::move(text)};
}

Outcome Converter::list(std::optional<std::string_view> quantity) const
{
    std::string text;
    if (!quantity) {
        for (const unitdb::Quantity& q : m_database.quantities())
            text += q.name + '\n';
    } else {
        const std::string wanted = unitdb::foldCase(trimmed(*quantity));
        const auto& all = m_database.quantities();
        const auto q = std::ranges::find_if(
            all, [&](const unitdb::Quantity& q) { return unitdb::foldCase(q.name) == wanted; });
        if (q == all.end())
            return {Exit::Unit, "Величины «" + std::string(trimmed(*quantity)) + "» нет."};
        for (const unitdb::Unit& u : q->units)
            text += u.name + '\t' + calc::numberText(u.coefficient, '.') + '\n';
    }
    if (!text.empty())
        text.pop_back();
    return {Exit::Ok, std::move(text)};
}

Outcome Converter::describe(std::string_view word) const
{
    const std::string typed(trimmed(word));
    const std::vector<Ref> units = m_words.unitsNamed(typed);
    if (units.empty())
        return unknown(typed, "Единицы «" + typed + "» нет.");
    // A word for units of several quantities describes each of them.
    std::string text;
    for (const Ref& ref : units) {
        const unitdb::Unit& u = m_database.unit(ref.quantity, ref.slot);
        text += (text.empty() ? "" : "\n\n") + u.name + " — " + m_database[ref.quantity].name;
        if (!u.description.empty())
            text += '\n' + u.description.text();
    }
    return {Exit::Ok, std::move(text)};
}

} // namespace cli
