#pragma once
// Convert for the layouts of more than one bit: the picture read in colour, reduced to the
// layout's levels a row at a time and packed, and the colours the display shows from the
// bytes, for previews and check.
#include <optional>
#include <string>
#include <variant>

#include "engine/convert.h"

namespace dotlane::engine {

// The options of a request whose layout is one of more than one bit, into `r`; why they do
// not apply, when one does not.
std::optional<std::string> colour_request(const Arguments& args, Request& r);

// The bytes of one picture in the request's colour layout (bad input: an Outcome).
std::variant<Conversion, Outcome> convert_colour(const std::string& name, const Request& r,
                                                 PictureSource& source);

// The colours the display shows from the bytes (0x00BBGGRR), each level spread over 0..255.
Picture shown_colours(const Conversion& conversion);

// 1 where a colour is darker than middle grey (luminance under 128), for what shows only black
// and white: the terminal, a 1-bit picture.
Bitmap dark_half(const Picture& colours);

} // namespace dotlane::engine
