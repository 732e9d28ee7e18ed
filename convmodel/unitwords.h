// Amounts with units typed in the input line («5 фут 11 дюйм», «1 верста - 300 м») rewritten as
// a calculator expression in the input unit, so that the calculator's 15-digit arithmetic does
// the sum and every text without units is evaluated as it always was.
#pragma once

#include "unitdb/unitdatabase.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace convmodel
{

enum class UnitWordError {
    Ambiguous,     // the word names several units of the quantity: `names` holds theirs
    OtherQuantity, // the word names units of other quantities only: `names` holds those
    UnknownWord,   // beside unit words, a word that is no unit, function name or "pi"
    NoUnit,        // an amount side by side with one that has a unit has none: «5 фут 11»
    NoCoefficient, // the unit, or the input unit, has no coefficient to convert with
};

struct UnitWordRefusal {
    UnitWordError code = UnitWordError::UnknownWord;
    std::string word;               // as typed; for NoUnit the amount, for NoCoefficient a unit
    std::vector<std::string> names; // units in list order, or quantities in file order
    friend bool operator==(const UnitWordRefusal&, const UnitWordRefusal&) = default;
};

struct UnitReading {
    std::string expression; // what the calculator evaluates: the text itself when it has no units
    bool withUnits = false; // it named units of the quantity
    std::optional<UnitWordRefusal> refusal;
};

class UnitWords
{
public:
    // Finds every unit of the database by its symbol (the text in its brackets), its name and
    // their usual forms. Holds the database: make a new one after it changes.
    explicit UnitWords(const unitdb::UnitDatabase& database);

    // Reads a text as the input line keeps it for the quantity at table index `quantity`
    // (none: every unit belongs to another one), whose input row has the unit `inputSlot`.
    // A number or a bracket followed by a unit word is that amount of the unit; amounts side by
    // side add up, in a bracket of their own; a unit word alone is one of it.
    //   read("5 фут 11 дюйм", length, centimetre).expression == "(5 *30.48+11 *2.54)"
    UnitReading read(std::string_view text, std::optional<std::size_t> quantity,
                     int inputSlot) const;

    struct Ref {
        std::size_t quantity = 0;
        std::size_t slot = 0;
        friend bool operator==(const Ref&, const Ref&) = default;
    };

    // The units of every quantity a whole word names, found as read() finds a unit word: its
    // symbol as written, then folded symbol or name, then a form of either; none when none is.
    std::vector<Ref> unitsNamed(std::string_view word) const;

private:
    // How a word may be written, tried in this order: the symbol as it stands, where letter case
    // tells units apart; the symbol or the name in any case; the usual forms of either.
    enum Tier { Symbol, Folded, Form, kTiers };
    struct Match {
        std::size_t end = 0;
        std::vector<Ref> refs;
    };
    struct Found {
        Match own;   // units of the quantity
        Match other; // units of the others only, in a longer word than any of the quantity's
    };
    // The longest unit word at `pos`; one of the quantity's wins over another's as long.
    Found longest(std::string_view text, std::size_t pos,
                  std::optional<std::size_t> quantity) const;
    void add(Tier tier, std::string key, Ref ref) const;
    // Indexing every unit costs more than most runs of the command line take: the names
    // beginning with a letter are indexed when a word of that letter is first looked for.
    const std::unordered_map<std::string, std::vector<Ref>>& index(int tier,
                                                                   std::string_view folded) const;

    const unitdb::UnitDatabase& m_database;
    mutable std::array<std::unordered_map<std::string, std::vector<Ref>>, kTiers> m_index;
    mutable std::size_t m_longest = 0; // bytes of the longest key
    enum class Part { Symbol, Name };  // the text in brackets, or the rest of the name
    struct Written {
        Ref ref;
        Part part = Part::Name;
    };
    std::string text(const Written& written) const;
    // Names not indexed yet, by their first letter folded, and names whose forms are not, by
    // the letters all their forms begin with.
    mutable std::unordered_map<char32_t, std::vector<Written>> m_unread;
    mutable std::unordered_map<std::u32string, std::vector<Written>> m_unformed;
};

} // namespace convmodel
