#pragma once
// Bytes back into pictures: render, guess and check as the engine runs them, each from its
// options and an input read in pieces. The front end reads and writes the files.
#include <optional>
#include <string>

#include "back/array_input.h"
#include "engine/convert.h"

namespace dotlane::engine {

// Past the bytes a picture takes, this many more are counted to name the surplus.
inline constexpr std::size_t kSurplusCounted = std::size_t(64) << 20;
// check names the x,y of this many differing pixels.
inline constexpr int kShownPixels = 8;

// The source named by --input, --name and `path`; a problem with them is wrong usage.
std::optional<std::string> array_source(const Arguments& a, const std::string& path,
                                        ArraySource& source);

// render --layout. `output_required`: the front end writes the picture to -o, which must be
// given (checked among the options, in the command line's order).
Rendered render_array(const Arguments& a, const Pieces& pieces, bool output_required);

// guess; `text` is what dotlane-cli guess prints.
Guessed guess_array(const Arguments& a, const Pieces& pieces);

// check of the picture (the first operand) against the array `source` names, read from
// `pieces`; the options are checked already.
Checked check_array(const Arguments& a, ArraySource source, PictureSource& pictures,
                    const Pieces& pieces);

// render and check in a layout of more than one bit (back_colour.cpp).
Rendered render_colour(const Arguments& a, const ColourLayout& layout, const Pieces& pieces,
                       bool output_required);
Checked check_colour(const Arguments& a, const Conversion& converted, ArraySource source,
                     const Pieces& pieces);

// The lines check prints of a comparison made (`differ`, `diff` and the x,y of the first that
// differ): the counts, whether the array agrees, and the mismatch line.
void finish_check(Checked& checked, const Arguments& a, int width, int height,
                  const std::string& layout, const std::vector<std::uint8_t>& expected,
                  const ArrayBytes& array, const std::string& first);

// The message of an output stream, without its last line feed.
std::string message_of(const std::string& written);

} // namespace dotlane::engine
