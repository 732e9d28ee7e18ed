// What the command line does with a loaded database: a value (an expression, unit words
// included) into a unit, the find box's search, the lists and a unit's description. The
// value goes the way Enter takes it in the window, so both give the same digits.
#pragma once

#include "convmodel/conversionmodel.h"
#include "convmodel/unitwords.h"
#include "unitdb/unitdatabase.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cli
{

// The exit codes, worst last but for a misused command line.
enum class Exit {
    Ok = 0,
    Calculation = 1, // the calculator refused, a bracket is left open, an amount has no unit
    Unit = 2,        // a word that is no unit, or names several; a unit without a coefficient
    Quantity = 3,    // units of different quantities
    Base = 4,        // Base.dat missing or damaged
    Usage = 64,      // the command line itself is wrong
};

// What goes to standard output (Ok) or to standard error (anything else).
struct Outcome {
    Exit code = Exit::Ok;
    std::string text;
    friend bool operator==(const Outcome&, const Outcome&) = default;
};

class Converter
{
public:
    // Holds the database, whose units are in list order (sorted), and the rounding Enter uses.
    Converter(const unitdb::UnitDatabase& database, const convmodel::Rounding& rounding);

    // The value in `target` (a symbol, a name or a form of either). Without a target a value
    // with unit words comes in its quantity's base unit, its symbol after a blank; a bare
    // expression is just evaluated.
    //   convert("5 фут 11 дюйм", "см").text == "180.34"
    Outcome convert(std::string_view value, std::string_view target) const;

    // «name<TAB>quantity» lines, ranked as the find box ranks them.
    Outcome find(std::string_view query) const;
    // The quantities; or the units of one, «name<TAB>coefficient».
    Outcome list(std::optional<std::string_view> quantity) const;
    // «name — quantity», then the description when there is one; for each unit the word names.
    Outcome describe(std::string_view unit) const;

private:
    using Ref = convmodel::UnitWords::Ref;
    Outcome evaluate(const std::string& expression) const;
    Outcome refused(const convmodel::UnitWordRefusal& refusal) const;
    Outcome unknown(const std::string& word, std::string text) const;

    const unitdb::UnitDatabase& m_database;
    convmodel::Rounding m_rounding;
    convmodel::UnitWords m_words;
};

} // namespace cli
