// Finds units of several categories by a few typed letters: letter case and «ё»/«е» are
// ignored, and a query typed on the Latin layout of a Russian keyboard is tried as well.
#pragma once

#include "unitdb/unitdatabase.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace unitdb
{

// Lower case of Latin, Cyrillic and Greek letters, with «ё» as «е»; other text is kept.
std::string foldCase(std::string_view utf8);

// A digit or a letter of a word: Latin, Greek, Cyrillic, the micro sign.
bool isWordLetter(char32_t cp);

// What the same keys give on the Russian layout: "dthcnf" -> "верста", "<" -> "Б".
// Characters that are not on those keys are kept.
std::string russianLayout(std::string_view utf8);

// How a unit matched, best first.
enum class MatchGroup {
    Symbol,    // its symbol (the text in brackets) is the whole query
    NameStart, // its name starts with the first word, and every word starts a word of it
    WordStart, // every word of the query starts a word of its name
    Inside,    // every word occurs somewhere in its name
};

struct UnitMatch {
    int list = 0; // position in the category list the search was built on
    int slot = 0;
    MatchGroup group = MatchGroup::Inside;
};

class UnitSearch
{
public:
    // Takes the units of `categories` (database positions, in the order the window lists
    // them); a category listed twice is taken once. Keeps no reference to the database.
    UnitSearch(const UnitDatabase& database, std::span<const int> categories);

    // The units whose name holds every blank-separated word of the query, by group, then
    // alphabetically as the unit lists are sorted; at most `limit`. An empty query finds nothing.
    std::vector<UnitMatch> find(std::string_view query, std::size_t limit) const;

private:
    struct Entry {
        std::string name;   // folded
        std::string symbol; // folded, blanks collapsed; empty without brackets
        int list = 0;
        int slot = 0;
    };
    std::vector<Entry> m_entries; // alphabetical, so that each group comes out sorted
};

} // namespace unitdb
