#pragma once
// Small text rules that several parts of Dotlane must apply alike: what counts as a word,
// how a typed number reads, and how a file name is shown in a message.
#include <optional>
#include <string>
#include <string_view>

namespace dotlane {

// ASCII letters, digits and "_": the same in every locale, so a listing reads the same in
// the window (which sets the user's locale) as on the command line.
bool is_word_char(char c);

// A whole number of decimal digits, leading zeros allowed, after trimming spaces and tabs;
// nullopt for anything else. Values above `cap` read as `cap`, so a long run of digits
// still says "too large" instead of overflowing.
std::optional<long long> whole_number(std::string_view text, long long cap = 1'000'000'000);

// A file name as it may stand in a message: control bytes (below 0x20, and 0x7F) are
// written as \n, \t, \r or \xHH, so a name cannot move the cursor or recolour a terminal.
// Other bytes pass through, so a name that is not UTF-8 still names its file.
std::string printable_name(std::string_view name);
// The same between double quotes, as every message names a file.
std::string quoted_name(std::string_view name);

// A file name as a shell reads it in a suggested command line, control bytes escaped as
// in every message (a name that holds them is to be typed anew anyway).
std::string shell_word(const std::string& path);

} // namespace dotlane
