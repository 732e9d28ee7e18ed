// The texts evaluated with Enter, called back with Up and Down as in a shell, and kept between
// runs in a file of their own.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace convmodel
{

class InputHistory
{
public:
    static constexpr std::size_t kKept = 100;
    static constexpr std::size_t kLongest = 1000; // bytes; a longer text is not kept

    // The file's texts, UTF-8, one a line, the newest last. Lines that are not UTF-8 or hold
    // control characters are left out, so a damaged file costs no more than its bad lines.
    void load(std::string_view bytes);
    // The file as load() reads it back.
    std::string bytes() const;
    // Whether a text was added since load().
    bool changed() const { return m_changed; }

    // A text Enter evaluated becomes the newest; an empty one, one with a line break, a
    // repeat of the newest or one past kLongest is not kept. Walking starts again.
    void add(std::string_view text);

    // One step back (older) or forward (newer) from what the line shows: the text to show, or
    // none at either end. The line's own text is kept as the newest while walking; once the
    // user changes a text walked to, walking starts again from the changed text.
    std::optional<std::string> older(std::string_view line);
    std::optional<std::string> newer(std::string_view line);

    const std::vector<std::string>& entries() const { return m_entries; } // the newest last

private:
    void restartIfEdited(std::string_view line);

    std::vector<std::string> m_entries;
    std::size_t m_at = 0; // the entry shown; m_entries.size() for the line's own text
    std::string m_typed;
    bool m_changed = false;
};

} // namespace convmodel
