#pragma once
// The options of the engine's calls as one table, read into the values the stages check.
// dotlane-cli puts dashes before the table's names; the browser page gives them bare.
#include <algorithm>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "engine/dotlane.h"

namespace dotlane::engine {

// Options and operands of one call, the options named as dotlane-cli names them ("--width").
struct Arguments {
    std::map<std::string, std::string> values;              // "--width" -> "128"
    std::vector<std::pair<std::string, std::string>> given; // every valued option, in order
    std::vector<std::string> flags;
    std::vector<std::string> operands;
    std::optional<std::string> error;
    bool has(const std::string& flag) const {
        return std::find(flags.begin(), flags.end(), flag) != flags.end();
    }
    std::optional<std::string> value(const std::string& option) const {
        const auto found = values.find(option);
        if (found == values.end()) return std::nullopt;
        return found->second;
    }
    // Every value of an option that may be given more than once.
    std::vector<std::string> all(const std::string& option) const {
        std::vector<std::string> found;
        for (const auto& [name, value] : given)
            if (name == option) found.push_back(value);
        return found;
    }
};

// "o" is "-o"; every other name takes two dashes.
std::string dashed(std::string_view name);

// The dashed names of a table's flags and of its options that take a value.
std::vector<std::string> flag_names(std::span<const OptionSpec> table);
std::vector<std::string> valued_names(std::span<const OptionSpec> table);

// The options a front end gave, as the command line would have given them; an option the
// table does not hold is wrong usage with the command line's message.
std::variant<Arguments, Outcome> arguments_of(std::span<const OptionSpec> table,
                                              const Options& options);

// preview's options: convert's shared ones and --ascii.
std::span<const OptionSpec> preview_options_table();

inline constexpr int kMaxScale = 16;

// The scale `option` gives (1 to kMaxScale), `fallback` when it is absent, or the usage
// message when it is no such number.
std::variant<int, std::string> picture_scale(const std::optional<std::string>& text,
                                             const std::string& option, int fallback);

inline Outcome usage_error(std::string message) {
    return {std::move(message), Fault::usage};
}
inline Outcome input_error(std::string message) {
    return {std::move(message), Fault::input};
}

} // namespace dotlane::engine
