#pragma once
// Reading the bytes of a C array: every integer literal of its initialiser, written as C or
// Arduino sketches write them (0x3C, 60, 074, 0b00111100, B00111100, with u/l suffixes and
// ' separators), the declaration around it and comments, strings and preprocessor lines
// skipped, nested braces read through.
#include <optional>
#include <string_view>

#include "back/hex_reader.h"

namespace dotlane {

// The first array initialiser in `text` (or a brace list standing alone), or with `name`
// the one of the array so named. A text without braces is read as one bare list of
// literals. A literal that is no byte (not a number, or over 255) is named with its line
// in `error`.
// With `words`, each literal is 16 bits (up to 0xFFFF), read as its low byte and then its high
// byte, as a uint16_t array lies in a little-endian memory.
ListingRead read_c_array(std::string_view text, std::optional<std::string_view> name = {},
                         bool words = false);

} // namespace dotlane
