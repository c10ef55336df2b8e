#pragma once
// Which characters a font is made of: ranges of code points ("32-126,0xB0,0x2026") or the
// characters of an example text, given in UTF-8.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace dotlane::fonts {

// More characters than any small display's font needs; a range past it is a slip of the keys.
inline constexpr std::size_t kMaxCharacters = 65536;

// The code points, sorted, each once; or why the text names none.
using Characters = std::variant<std::vector<char32_t>, std::string>;

Characters parse_ranges(std::string_view ranges);
Characters characters_of_text(std::string_view utf8);

// The code points of UTF-8 text, or nullopt when it is no valid UTF-8 (overlong forms,
// surrogates and values past U+10FFFF included).
std::optional<std::u32string> decode_utf8(std::string_view utf8);
std::string encode_utf8(char32_t code);

// "U+00B0" for messages; a printable ASCII character also as itself: "U+0041 'A'".
std::string code_name(char32_t code);

} // namespace dotlane::fonts
