// The conversion window's state and rules without widgets: the quantity chosen by its place in
// the list, the units of the five rows and those each quantity was last used with, the input
// text and its value, the four outputs, the swap, Enter and the log lines. The window shows
// this state and hands the user's actions to it.
#pragma once

#include "calc/calculator.h"
#include "convmodel/unitwords.h"
#include "unitdb/unitdatabase.h"

#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace convmodel
{

// Rows 0 to 3 are the outputs; the input row is row 4, as its help button is.
inline constexpr int kOutputRows = 4;
inline constexpr int kInputRow = 4;
inline constexpr int kRows = 5;

struct Output {
    enum class State {
        Value,    // a number, `value`
        Empty,    // no number belongs here: a coefficient that is 0, negative or not finite
        Overflow, // the value lies beyond the double range
        NoValue,  // the line holds no value: lineProblem() says why
    };
    State state = State::Value;
    double value = 0.0; // what a new window shows: 0
    bool operator==(const Output&) const = default;
};

// What the description panel shows: the name of the unit chosen in a row, and the description
// of the last unit of that name in the quantity (none when it has none or is not found).
struct Description {
    std::string unitName;
    std::optional<std::string> text;
};

// Why the line holds no value: a bracket left open, what the calculator refused, or a unit word
// it cannot take.
using LineProblem = std::variant<calc::Unevaluated, calc::CalcFailure, UnitWordRefusal>;

// What Enter did. A failure or a refusal leaves the line as typed and logs nothing.
struct EnterResult {
    std::optional<calc::CalcFailure> failure;
    std::optional<UnitWordRefusal> refused;
    bool evaluated = false;  // a number took the text's place
    bool overflowed = false; // some output could not be shown: said once, on Enter
    bool failed() const { return failure || refused; }
};

// The units of the five rows by name, indexed by row (the input row last).
using RowUnits = std::array<std::string, kRows>;

struct Rounding {
    bool on = true;
    int places = 9; // 0 to 15
};

class ConversionModel
{
public:
    // `decimalSeparator` is the user's, for the numbers the outputs show.
    ConversionModel(const unitdb::UnitDatabase& database, char decimalSeparator);

    // The quantities the category list shows, as table indices in list order (ignored ones left
    // out). The chosen quantity stays chosen when it is still listed; otherwise none is.
    void setListed(std::vector<std::size_t> tableIndices);
    const std::vector<std::size_t>& listed() const { return m_listed; }

    // Position in the category list; -1 for none.
    int quantityPosition() const { return m_position; }
    // The chosen quantity, or null.
    const unitdb::Quantity* quantity() const;
    std::optional<std::size_t> quantityIndex() const;

    // Choosing a quantity puts the rows on the units it was last used with (by name) and
    // converts. A row whose unit is not found, and every row of a quantity never used, takes
    // five different units: the base unit (coefficient 1), or the first, in the input row, the
    // others in list order below. A quantity without units leaves the rows without a unit and
    // the outputs as they were.
    void selectQuantity(int position);

    // The units each quantity was last used with, by quantity name.
    const std::map<std::string, RowUnits>& usedUnits() const { return m_used; }
    void setUsedUnits(std::map<std::string, RowUnits> used) { m_used = std::move(used); }

    // The slot chosen in a row; -1 for none.
    int unitSlot(int row) const { return m_slots[static_cast<std::size_t>(row)]; }
    // Chooses a unit (a slot out of range chooses none), shows it in the panel and converts;
    // while the quantity has no units nothing happens.
    void selectUnit(int row, int slot);

    // The typed text as the line keeps it (see plainInput); converts what Enter would leave in
    // the line, read back, and a plain number as it stands. Returns the kept text.
    const std::string& setInput(std::string_view text);
    const std::string& input() const { return m_input; }
    // Why the line holds no value, or null.
    const LineProblem* lineProblem() const { return std::get_if<LineProblem>(&m_line); }
    // Indexes the unit words now rather than on the next key press: tens of milliseconds at
    // full capacity, once after start-up and after each change of the database or the list.
    void prepareUnitWords() const;

    const Output& output(int row) const { return m_outputs[static_cast<std::size_t>(row)]; }
    // A value in the number-to-text form with the user's separator; empty otherwise.
    std::string outputText(int row) const;

    void setRounding(const Rounding& rounding);
    const Rounding& rounding() const { return m_rounding; }

    // Evaluates the line, unit words included; a number replaces the text and converts, an
    // unclosed bracket leaves the text as typed.
    EnterResult enter();

    // The log entry of the last Enter: the expression line, four value lines, an empty line.
    // `before` is the text Enter evaluated; `overflowText` stands for an output that overflowed.
    std::vector<std::string> logLines(std::string_view before, std::string_view overflowText) const;

    // The clicked output becomes the input, in place: its value and unit go to the input row,
    // the former input unit to the output row, and every output converts from the new input.
    void swap(int row);

    // The unit of a row as the panel shows it; choosing a unit shows it there too.
    Description describe(int row) const;
    // What the panel shows now: the unit last chosen or asked about.
    const std::optional<Description>& panel() const { return m_panel; }
    void showInPanel(int row)
    {
        m_panel = describe(row);
        m_panelRow = row;
    }
    // Any unit of the database: the one the editor left chosen.
    void showUnitInPanel(std::size_t quantityIndex, std::size_t slot);

    // The list's rows again after the editor changed the units: each row keeps its slot while
    // the quantity has it, else takes the first unit; the panel stays on what it describes.
    void refresh();

    // A unit found by the find box for `row`: its quantity (list position) and slot. The other
    // rows take the units that quantity was last used with.
    void chooseFound(int row, int position, int slot);

    // The first-letter jump of a unit list: given the upper-case first letter of every entry,
    // the selected position and the typed letter in upper case, the position to select; -1 to
    // leave the selection as it is. The same letter again steps through its entries.
    static int letterJump(std::span<const char32_t> initials, int selected, char32_t typed);

private:
    // The value of a text as Enter finds it, or why it has none.
    std::variant<double, LineProblem> evaluate(std::string_view text) const;
    void evaluateLine(); // the line's value after a change of text, input unit or rounding
    void convert();
    double coefficient(int slot) const;
    RowUnits& usedByQuantity();

    const unitdb::UnitDatabase& m_database;
    char m_separator;
    std::vector<std::size_t> m_listed;
    int m_position = -1;
    std::array<int, kRows> m_slots{-1, -1, -1, -1, -1};
    std::string m_input;
    std::variant<double, LineProblem> m_line = 0.0; // the value the outputs convert
    std::array<Output, kOutputRows> m_outputs{};
    // The coefficient each output row last had a unit for: a row without a unit goes on
    // converting with it.
    std::array<double, kOutputRows> m_remembered{};
    std::map<std::string, RowUnits> m_used;
    // Built when first needed, again after the database or the list changed.
    mutable std::unique_ptr<UnitWords> m_words;
    Rounding m_rounding;
    bool m_overflowed = false;
    std::optional<Description> m_panel;
    int m_panelRow = -1; // the row the panel describes; -1 for another unit
};

} // namespace convmodel
