// The command line of metrovanta-cli: what the arguments ask for, and one run of it over
// given streams and files, so that tests drive it without a process.
#pragma once

#include "cli/converter.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace cli
{

struct Request {
    enum class Action { Convert, Lines, Find, List, Describe, Help } action = Action::Lines;
    std::string value;         // Convert: the expression
    std::string target;        // Convert, Lines: the unit, empty for none
    std::string word;          // Find: the query; List: a quantity; Describe: a unit
    std::optional<int> places; // -d: -1 for no rounding
    std::optional<std::filesystem::path> base; // --base
    friend bool operator==(const Request&, const Request&) = default;
};

// Why the arguments make no request; the message is Russian, as the rest.
struct UsageError {
    std::string message;
    friend bool operator==(const UsageError&, const UsageError&) = default;
};

std::variant<Request, UsageError> parseArguments(std::span<const std::string_view> args);

std::string helpText();

// Where the files are looked for when the command line does not say.
struct Places {
    std::vector<std::filesystem::path> bases; // the first that exists is read
    std::filesystem::path settings;           // the registry file, read only
};

// Carries out a request and returns the exit code. Results go to `out`, messages to `err`;
// standard-input mode reads `in` a line at a time. Nothing is ever written to a file.
int run(const Request& request, const Places& places, std::istream& in, std::ostream& out,
        std::ostream& err);

} // namespace cli
