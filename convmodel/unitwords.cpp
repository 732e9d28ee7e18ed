// The unit words of the input line: the text is cut the way the calculator will read it
// (numbers with their blanks and exponents, operators, brackets, words), each word is looked up
// longest first, and each unit word becomes "*" and its factor into the input unit.
#include "convmodel/unitwords.h"

#include "calc/calculator.h"
#include "calc/numbertext.h"
#include "convmodel/inputtext.h"
#include "convmodel/wordforms.h"
#include "unitdb/coefficient.h"
#include "unitdb/cp1251.h"
#include "unitdb/unitsearch.h"

#include <algorithm>
#include <cmath>

namespace convmodel
{

namespace
{

using Ref = UnitWords::Ref;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool isOperator(char c)
{
    return c == '+' || c == '-' || c == '*' || c == '/';
}
bool isLetter(char32_t c)
{
    return unitdb::isWordLetter(c) && !(c >= U'0' && c <= U'9');
}

// The key of a text once letter case no longer counts: folded, blanks run together and none
// after a period («а.е.» is «а. е.»), superscript digits plain.
std::string foldedKey(std::string_view text)
{
    const std::string folded = unitdb::foldCase(text);
    std::string key;
    for (std::size_t pos = 0; pos < folded.size();) {
        const std::size_t start = pos;
        const char32_t c = unitdb::nextCodePoint(folded, pos);
        if (c == U' ' || c == U'\t') {
            if (!key.empty() && key.back() != ' ' && key.back() != '.')
                key += ' ';
        } else if (c == U'²' || c == U'³') {
            key += c == U'²' ? '2' : '3';
        } else {
            key.append(folded, start, pos - start);
        }
    }
    while (!key.empty() && key.back() == ' ')
        key.pop_back();
    return key;
}

// The calculator's own words win over a unit spelt the same.
bool isCalculatorWord(std::string_view word)
{
    return word == "pi" ||
           std::ranges::find(calc::kFunctionNames, word) != calc::kFunctionNames.end();
}

// The length of the calculator word the text starts with ("pi" or a function name, letters
// after it included: «pie», «sqrt»), or 0.
std::size_t calculatorWordAt(std::string_view text)
{
    const bool starts =
        text.starts_with("pi") ||
        std::ranges::any_of(calc::kFunctionNames, [&](auto n) { return text.starts_with(n); });
    if (!starts)
        return 0;
    std::size_t n = 0;
    while (n < text.size() &&
           ((text[n] >= 'a' && text[n] <= 'z') || (text[n] >= 'A' && text[n] <= 'Z')))
        ++n;
    return n;
}

struct Token {
    enum class Kind { Number, Open, Close, Operator, Unit, Calculator, Word, Other } kind;
    std::size_t begin = 0;
    std::size_t end = 0;
    std::vector<Ref> refs;                              // Unit: its units; Word: other quantities'
    std::size_t partner = static_cast<std::size_t>(-1); // a bracket's other half
};
using Kind = Token::Kind;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// A run of letters that names nothing we know, or one character of anything else.
Token unknownAt(std::string_view text, std::size_t pos)
{
    Token t{Kind::Other, pos, pos, {}, kNone};
    unitdb::nextCodePoint(text, t.end);
    std::size_t next = pos;
    if (isLetter(unitdb::nextCodePoint(text, next))) {
        t.kind = Kind::Word;
        for (std::size_t at = t.end; at < text.size(); t.end = at)
            if (!isLetter(unitdb::nextCodePoint(text, at)))
                break;
    }
    return t;
}

std::string spelling(std::string_view text, const Token& t)
{
    return std::string(text.substr(t.begin, t.end - t.begin));
}

// Reads the cut text: what keeps it from being read, first in text order, or the expression.
class Rewriter
{
public:
    Rewriter(std::string_view text, const std::vector<Token>& tokens,
             const unitdb::UnitDatabase& database)
        : m_text(text), m_tokens(tokens), m_database(database)
    {
    }

    UnitReading read(std::optional<std::size_t> quantity, int inputSlot) const
    {
        const bool withUnits =
            std::ranges::any_of(m_tokens, [](const Token& t) { return t.kind == Kind::Unit; });
        UnitReading reading{std::string(m_text), withUnits, refusal(withUnits)};
        if (!withUnits || reading.refusal)
            return reading;
        const auto& units = m_database[*quantity].units;
        const bool hasInput = inputSlot >= 0 && static_cast<std::size_t>(inputSlot) < units.size();
        const double input = hasInput ? units[static_cast<std::size_t>(inputSlot)].coefficient : 0;
        if (!unitdb::usableCoefficient(input)) {
            reading.refusal = {UnitWordError::NoCoefficient,
                               hasInput ? units[static_cast<std::size_t>(inputSlot)].name : "",
                               {}};
            return reading;
        }
        for (const Token& t : m_tokens)
            if (t.kind == Kind::Unit && !unitdb::usableCoefficient(coefficient(t)))
                reading.refusal = {UnitWordError::NoCoefficient, spelling(m_text, t), {}};
        if (!reading.refusal)
            reading.expression = expression(input);
        return reading;
    }

private:
    double coefficient(const Token& unit) const
    {
        return m_database.unit(unit.refs[0].quantity, unit.refs[0].slot).coefficient;
    }

    // After the unit at `i`, another amount side by side: the index of its unit; kNone when
    // something else follows; `noUnit` when the amount has no unit.
    std::size_t nextInRun(std::size_t i, bool* noUnit = nullptr) const
    {
        const std::size_t n = i + 1;
        if (n >= m_tokens.size())
            return kNone;
        if (m_tokens[n].kind == Kind::Unit)
            return n;
        std::size_t last = n; // the amount's last token
        if (m_tokens[n].kind == Kind::Open && m_tokens[n].partner != kNone)
            last = m_tokens[n].partner;
        else if (m_tokens[n].kind != Kind::Number)
            return kNone;
        if (last + 1 < m_tokens.size() && m_tokens[last + 1].kind == Kind::Unit)
            return last + 1;
        // A word there is told of on its own.
        if (noUnit)
            *noUnit = last + 1 == m_tokens.size() || m_tokens[last + 1].kind != Kind::Word;
        return kNone;
    }

    std::optional<UnitWordRefusal> refusal(bool withUnits) const
    {
        for (std::size_t i = 0; i < m_tokens.size(); ++i) {
            const Token& t = m_tokens[i];
            std::vector<std::string> names;
            if (t.kind == Kind::Unit && t.refs.size() > 1) {
                auto refs = t.refs;
                std::ranges::sort(refs, {}, &Ref::slot);
                for (const Ref& r : refs)
                    names.push_back(m_database.unit(r.quantity, r.slot).name);
                return UnitWordRefusal{UnitWordError::Ambiguous, spelling(m_text, t), names};
            }
            if (t.kind == Kind::Word && !t.refs.empty()) {
                auto refs = t.refs;
                std::ranges::sort(refs, {}, &Ref::quantity);
                for (const Ref& r : refs)
                    if (names.empty() || names.back() != m_database[r.quantity].name)
                        names.push_back(m_database[r.quantity].name);
                return UnitWordRefusal{UnitWordError::OtherQuantity, spelling(m_text, t), names};
            }
            if (t.kind == Kind::Word && withUnits)
                return UnitWordRefusal{UnitWordError::UnknownWord, spelling(m_text, t), {}};
            bool noUnit = false;
            if (t.kind == Kind::Unit)
                nextInRun(i, &noUnit);
            if (noUnit) {
                const Token& amount = m_tokens[i + 1];
                const std::size_t last = amount.kind == Kind::Open ? amount.partner : i + 1;
                return UnitWordRefusal{
                    UnitWordError::NoUnit,
                    std::string(m_text.substr(amount.begin, m_tokens[last].end - amount.begin)),
                    {}};
            }
        }
        return std::nullopt;
    }

    // Each unit word becomes "*" and its factor (the factor alone without an amount before
    // it); amounts side by side are added inside a bracket of their own, so that «2*5 фут
    // 11 дюйм» doubles all of it and «-5 фут 11 дюйм» is negative as a whole.
    std::string expression(double input) const
    {
        struct Edit {
            std::size_t at;
            std::size_t erase;
            std::string text;
        };
        std::vector<Edit> edits;
        bool continued = false; // the unit before ran on to this one
        for (std::size_t i = 0; i < m_tokens.size(); ++i) {
            const Token& t = m_tokens[i];
            if (t.kind != Kind::Unit)
                continue;
            const Token* before = i > 0 ? &m_tokens[i - 1] : nullptr;
            // «pi м» is pi metres, as «3.14 м» would be.
            const bool amount =
                before && (before->kind == Kind::Number || before->kind == Kind::Close ||
                           (before->kind == Kind::Calculator && spelling(m_text, *before) == "pi"));
            const std::size_t next = nextInRun(i);
            if (!continued && next != kNone) {
                std::size_t start = t.begin;
                if (amount)
                    start = before->kind == Kind::Close && before->partner != kNone
                                ? m_tokens[before->partner].begin
                                : before->begin;
                edits.push_back({start, 0, "("});
            }
            const double factor = coefficient(t) / input;
            // Past the double range: the calculator reads it as an overflow and says so.
            std::string text = std::isfinite(factor) ? calc::numberText(factor, '.') : "1E+999";
            text = (amount ? "*" : "") + text + (next != kNone ? "+" : continued ? ")" : "");
            edits.push_back({t.begin, t.end - t.begin, std::move(text)});
            continued = next != kNone;
        }
        std::ranges::stable_sort(edits, {}, &Edit::at);
        std::string out;
        std::size_t copied = 0;
        for (const Edit& e : edits) {
            out.append(m_text, copied, e.at - copied);
            out += e.text;
            copied = e.at + e.erase;
        }
        out.append(m_text.substr(copied));
        return out;
    }

    std::string_view m_text;
    const std::vector<Token>& m_tokens;
    const unitdb::UnitDatabase& m_database;
};

} // namespace

namespace
{

// The names a unit is written by: its symbol, when it has one, and its name without it.
std::vector<std::string> writtenNames(const std::string& unitName)
{
    const std::string full = plainInput(unitName);
    std::vector<std::string> written;
    const std::size_t open = full.find('(');
    if (open != std::string::npos)
        written.push_back(shortName(full));
    std::string name = full.substr(0, open);
    while (!name.empty() && isBlank(name.back()))
        name.pop_back();
    written.push_back(name);
    return written;
}

// The first letters of a key's first word, at most `letters` of them.
std::u32string firstLetters(std::string_view key, std::size_t letters)
{
    std::u32string first;
    for (std::size_t pos = 0; pos < key.size() && key[pos] != ' ' && first.size() < letters;)
        first.push_back(unitdb::nextCodePoint(key, pos));
    return first;
}

} // namespace

UnitWords::UnitWords(const unitdb::UnitDatabase& database) : m_database(database)
{
    // Only the first letter of each name and symbol is read here: their first characters as
    // the line keeps them, blanks skipped, folded.
    auto initial = [](std::string_view text) -> char32_t {
        for (std::size_t pos = 0; pos < text.size();) {
            const std::size_t start = pos;
            const char32_t c = unitdb::nextCodePoint(text, pos);
            // Letters and digits fold one for one; only signs and blanks need the long way.
            if (unitdb::isWordLetter(c) && c != U'²' && c != U'³') {
                const std::string folded = unitdb::foldCase(text.substr(start, pos - start));
                std::size_t at = 0;
                return unitdb::nextCodePoint(folded, at);
            }
            const std::string key = foldedKey(plainInput(text.substr(start, pos - start)));
            if (!key.empty() && key != "(") {
                std::size_t at = 0;
                return unitdb::nextCodePoint(key, at);
            }
        }
        return 0;
    };
    for (std::size_t q = 0; q < database.size(); ++q) {
        for (std::size_t slot = 0; slot < database[q].units.size(); ++slot) {
            const std::string& name = database[q].units[slot].name;
            // Room for the forms, which may run a few letters longer than the name.
            m_longest = std::max(m_longest, name.size() + 8);
            const std::size_t open = name.find('(');
            std::vector<Written> parts{{{q, slot}, Part::Name}};
            if (open != std::string::npos)
                parts.insert(parts.begin(), {{q, slot}, Part::Symbol});
            for (const Written& w : parts) {
                const std::string_view raw =
                    w.part == Part::Symbol ? std::string_view(name).substr(open + 1) : name;
                m_unread[initial(raw)].push_back(w);
                // The few whose forms begin otherwise («лет») are found under every letter.
                if (!formsKeepInitial(w.part == Part::Symbol ? shortName(name) : name))
                    for (const std::string& form : nameForms(text(w)))
                        add(Form, foldedKey(form), w.ref);
            }
        }
    }
}

std::string UnitWords::text(const Written& w) const
{
    const std::vector<std::string> written =
        writtenNames(m_database.unit(w.ref.quantity, w.ref.slot).name);
    return w.part == Part::Symbol ? written.front() : written.back();
}

const std::unordered_map<std::string, std::vector<UnitWords::Ref>>&
UnitWords::index(int tier, std::string_view folded) const
{
    std::size_t pos = 0;
    const char32_t initial = folded.empty() ? 0 : unitdb::nextCodePoint(folded, pos);
    if (const auto found = m_unread.find(initial); found != m_unread.end()) {
        for (const Written& w : found->second) {
            const std::string written = text(w);
            if (w.part == Part::Symbol)
                add(Symbol, written, w.ref);
            std::string key = foldedKey(written);
            // Declension keeps the first two letters of a word of four or more («лига», «лиг»),
            // the first of a shorter one.
            if (formsKeepInitial(written))
                m_unformed[firstLetters(key, firstLetters(key, 4).size() == 4 ? 2 : 1)].push_back(
                    w);
            add(Folded, std::move(key), w.ref);
        }
        m_unread.erase(found);
    }
    // The forms cost the most, and a word found as written needs none.
    if (tier == Form && !folded.empty())
        for (const std::u32string& bucket : {firstLetters(folded, 1), firstLetters(folded, 2)})
            if (const auto found = m_unformed.find(bucket); found != m_unformed.end()) {
                for (const Written& w : found->second)
                    for (const std::string& form : nameForms(text(w)))
                        add(Form, foldedKey(form), w.ref);
                m_unformed.erase(found);
            }
    return m_index[static_cast<std::size_t>(tier)];
}

void UnitWords::add(Tier tier, std::string key, Ref ref) const
{
    if (key.empty())
        return;
    m_longest = std::max(m_longest, key.size());
    std::vector<Ref>& refs = m_index[tier][std::move(key)];
    if (refs.empty() || !(refs.back() == ref))
        refs.push_back(ref);
}

UnitWords::Found UnitWords::longest(std::string_view text, std::size_t pos,
                                    std::optional<std::size_t> quantity) const
{
    // A word ends where a letter or a digit does not follow; blanks may stand inside one.
    std::vector<std::size_t> ends;
    const std::size_t limit = pos + 2 * m_longest + 4; // room for blanks the keys run together
    for (std::size_t at = pos; at < text.size() && at <= limit;) {
        const bool blank = isBlank(text[at]);
        unitdb::nextCodePoint(text, at);
        std::size_t next = at;
        const bool boundary =
            at == text.size() || !unitdb::isWordLetter(unitdb::nextCodePoint(text, next));
        if (boundary && !blank)
            ends.push_back(at);
    }
    // The longest word that names any unit decides: «м²» is not «м» and «²».
    for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
        const std::string_view typed = text.substr(pos, *end - pos);
        const std::string folded = foldedKey(typed);
        Found found{{*end, {}}, {*end, {}}};
        for (int tier = Symbol; tier < kTiers; ++tier) {
            const auto& index = this->index(tier, folded);
            const auto entry = index.find(tier == Symbol ? std::string(typed) : folded);
            if (entry == index.end())
                continue;
            // The first way of writing that finds any of each side's units.
            std::vector<Ref> own, other;
            for (const Ref& ref : entry->second)
                (ref.quantity == quantity ? own : other).push_back(ref);
            if (found.own.refs.empty())
                found.own.refs = std::move(own);
            if (found.other.refs.empty())
                found.other.refs = std::move(other);
        }
        // As long a word of the quantity's own wins.
        if (!found.own.refs.empty())
            return {std::move(found.own), {}};
        if (!found.other.refs.empty())
            return {{}, std::move(found.other)};
    }
    return {};
}

std::vector<UnitWords::Ref> UnitWords::unitsNamed(std::string_view word) const
{
    const std::string typed = plainInput(word);
    const std::string folded = foldedKey(typed);
    for (int tier = Symbol; tier < kTiers; ++tier) {
        const auto& index = this->index(tier, folded);
        if (const auto found = index.find(tier == Symbol ? typed : folded); found != index.end())
            return found->second;
    }
    return {};
}

UnitReading UnitWords::read(std::string_view text, std::optional<std::size_t> quantity,
                            int inputSlot) const
{
    // Cut the text as the calculator will read it.
    std::vector<Token> tokens;
    std::vector<std::size_t> opens;
    for (std::size_t pos = 0; pos < text.size();) {
        const char c = text[pos];
        Token t{Kind::Other, pos, pos + 1, {}, kNone};
        if (isBlank(c)) {
            ++pos;
            continue;
        }
        if (isDigit(c) || c == '.') {
            t = {Kind::Number, pos, numberEnd(text, pos), {}, kNone};
        } else if (c == '(') {
            t.kind = Kind::Open;
            opens.push_back(tokens.size());
        } else if (c == ')') {
            t.kind = Kind::Close;
            if (!opens.empty()) {
                t.partner = opens.back();
                tokens[opens.back()].partner = tokens.size();
                opens.pop_back();
            }
        } else if (isOperator(c)) {
            t.kind = Kind::Operator;
        } else {
            auto [own, other] = longest(text, pos, quantity);
            if (!own.refs.empty() && !isCalculatorWord(text.substr(pos, own.end - pos)))
                t = {Kind::Unit, pos, own.end, std::move(own.refs), kNone};
            else if (const std::size_t n = calculatorWordAt(text.substr(pos)))
                t = {Kind::Calculator, pos, pos + n, {}, kNone};
            else if (!other.refs.empty())
                t = {Kind::Word, pos, other.end, std::move(other.refs), kNone};
            else
                t = unknownAt(text, pos);
        }
        pos = t.end;
        tokens.push_back(std::move(t));
    }
    return Rewriter(text, tokens, m_database).read(quantity, inputSlot);
}

} // namespace convmodel
