// Unit search: names are folded once when the search is built, so that a keystroke costs one
// pass of substring look-ups over at most 51 x 101 short names.
#include "unitdb/unitsearch.h"

#include "unitdb/cp1251.h"
#include "unitdb/unitsort.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <unordered_set>

namespace unitdb
{
namespace
{

// The keys of a US keyboard and what they give on the Russian one, plain and shifted.
constexpr std::string_view kLatinKeys =
    "qwertyuiop[]asdfghjkl;'zxcvbnm,./`QWERTYUIOP{}ASDFGHJKL:\"ZXCVBNM<>?~";
constexpr std::u32string_view kRussianKeys =
    U"йцукенгшщзхъфывапролджэячсмитьбю.ёЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮ,Ё";
static_assert(kLatinKeys.size() == kRussianKeys.size());

constexpr int kNoMatch = 4;

char32_t lower(char32_t cp)
{
    if (cp == 0x401 || cp == 0x451) // Ё, ё
        return 0x435;
    if ((cp >= U'A' && cp <= U'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) || // Latin
        (cp >= 0x410 && cp <= 0x42F) ||                                           // А..Я
        (cp >= 0x391 && cp <= 0x3A9 && cp != 0x3A2))                              // Α..Ω
        return cp + 0x20;
    if (cp >= 0x400 && cp <= 0x40F) // Ѐ..Џ, letters of the other Cyrillic alphabets
        return cp + 0x50;
    if (cp == 0x490) // Ґ
        return 0x491;
    return cp;
}

// The code point that ends just before `pos` (a code point boundary); 0 at the start. Only the
// one- and two-byte forms matter to isWordLetter; longer ones count as no letter.
char32_t codePointBefore(std::string_view text, std::size_t pos)
{
    if (pos == 0)
        return 0;
    const auto last = static_cast<unsigned char>(text[pos - 1]);
    if (last < 0x80)
        return last;
    if (pos >= 2 && (last & 0xC0) == 0x80) {
        const auto lead = static_cast<unsigned char>(text[pos - 2]);
        if ((lead & 0xE0) == 0xC0)
            return static_cast<char32_t>(((lead & 0x1F) << 6) | (last & 0x3F));
    }
    return 0x2014;
}

bool startsAWord(std::string_view name, std::string_view word)
{
    for (auto pos = name.find(word); pos != std::string_view::npos; pos = name.find(word, pos + 1))
        if (!isWordLetter(codePointBefore(name, pos)))
            return true;
    return false;
}

// Blank-separated words, each once, and all of them joined by single blanks.
struct Query {
    std::vector<std::string> words;
    std::string joined;
};

// A word typed again adds nothing to a match but its cost, and the box takes 32 767
// characters: a query of one-letter words once cost seconds a keystroke.
Query splitWords(std::string_view folded)
{
    Query q;
    std::unordered_set<std::string_view> seen;
    std::size_t pos = 0;
    while (pos < folded.size()) {
        const auto start = folded.find_first_not_of(" \t", pos);
        if (start == std::string_view::npos)
            break;
        auto end = folded.find_first_of(" \t", start);
        if (end == std::string_view::npos)
            end = folded.size();
        const std::string_view word = folded.substr(start, end - start);
        if (!q.joined.empty())
            q.joined += ' ';
        q.joined += word;
        if (seen.insert(word).second)
            q.words.emplace_back(word);
        pos = end;
    }
    return q;
}

// The text between the first "(" and the ")" after it, blanks collapsed; empty without "(".
std::string symbolOf(std::string_view foldedName)
{
    const auto open = foldedName.find('(');
    if (open == std::string_view::npos)
        return {};
    const auto close = foldedName.find(')', open + 1);
    return splitWords(foldedName.substr(open + 1, close == std::string_view::npos
                                                      ? std::string_view::npos
                                                      : close - open - 1))
        .joined;
}

int groupOf(const std::string& name, const std::string& symbol, const Query& q)
{
    if (!symbol.empty() && symbol == q.joined)
        return static_cast<int>(MatchGroup::Symbol);
    bool wordStarts = true;
    for (const std::string& word : q.words) {
        if (name.find(word) == std::string::npos)
            return kNoMatch;
        wordStarts = wordStarts && startsAWord(name, word);
    }
    if (!wordStarts)
        return static_cast<int>(MatchGroup::Inside);
    return static_cast<int>(name.starts_with(q.words.front()) ? MatchGroup::NameStart
                                                              : MatchGroup::WordStart);
}

} // namespace

bool isWordLetter(char32_t cp)
{
    return (cp >= U'0' && cp <= U'9') || (cp >= U'a' && cp <= U'z') || (cp >= U'A' && cp <= U'Z') ||
           cp == 0xB5 || (cp >= 0xC0 && cp <= 0x24F && cp != 0xD7 && cp != 0xF7) ||
           (cp >= 0x370 && cp <= 0x52F);
}

std::string foldCase(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (b < 0x80) {
            out += static_cast<char>(lower(b));
        } else if (b >= 0xC2 && b <= 0xDF && (next & 0xC0) == 0x80) {
            appendUtf8(out, lower(static_cast<char32_t>(((b & 0x1F) << 6) | (next & 0x3F))));
            ++i;
        } else {
            out += static_cast<char>(b); // longer forms and stray bytes stay as they are
        }
    }
    return out;
}

std::string russianLayout(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size() * 2);
    for (char c : utf8) {
        const auto key = kLatinKeys.find(c);
        if (key == std::string_view::npos)
            out += c;
        else
            appendUtf8(out, kRussianKeys[key]);
    }
    return out;
}

UnitSearch::UnitSearch(const UnitDatabase& database, std::span<const int> categories)
{
    std::vector<bool> taken(database.size(), false);
    for (std::size_t list = 0; list < categories.size(); ++list) {
        assert(categories[list] >= 0);
        const auto q = static_cast<std::size_t>(categories[list]);
        assert(q < database.size());
        if (taken[q])
            continue;
        taken[q] = true;
        const std::vector<Unit>& units = database[q].units;
        for (std::size_t slot = 0; slot < units.size(); ++slot) {
            std::string name = foldCase(units[slot].name);
            std::string symbol = symbolOf(name);
            m_entries.push_back({std::move(name), std::move(symbol), static_cast<int>(list),
                                 static_cast<int>(slot)});
        }
    }
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [](const Entry& a, const Entry& b) { return unitGoesBefore(a.name, b.name); });
}

std::vector<UnitMatch> UnitSearch::find(std::string_view query, std::size_t limit) const
{
    const Query typed = splitWords(foldCase(query));
    if (typed.words.empty())
        return {};
    // Only a query with something on the Latin keys gets a second reading.
    const Query swapped = splitWords(foldCase(russianLayout(query)));
    const bool trySwapped = swapped.joined != typed.joined;

    std::array<std::vector<UnitMatch>, kNoMatch> groups;
    for (const Entry& e : m_entries) {
        int group = groupOf(e.name, e.symbol, typed);
        if (trySwapped && group > 0)
            group = std::min(group, groupOf(e.name, e.symbol, swapped));
        if (group != kNoMatch && groups[static_cast<std::size_t>(group)].size() < limit)
            groups[static_cast<std::size_t>(group)].push_back(
                {e.list, e.slot, static_cast<MatchGroup>(group)});
    }
    std::vector<UnitMatch> found;
    for (const auto& group : groups)
        for (const UnitMatch& m : group)
            if (found.size() < limit)
                found.push_back(m);
    return found;
}

} // namespace unitdb
