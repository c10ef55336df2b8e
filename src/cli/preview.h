#pragma once
// What the display will show: the bits read back from the bytes convert made, as a PNG
// picture with the look of the glass, or as text for a terminal.
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/convert_plan.h"

namespace dotlane::cli {

using engine::Conversion;

// The PNG file of the preview, or why it cannot be made.
std::variant<std::vector<std::uint8_t>, std::string> preview_png(const Conversion& conversion,
                                                                 int scale);

// Writes the preview to `path` whole, or to `out` for "-".
int write_preview(const std::vector<std::uint8_t>& png, const std::string& path, std::ostream& out,
                  std::ostream& err);

// Two rows of pixels a line in half blocks, or with `ascii` one a line in "#" and "."; with
// a `step` over 1, a character stands for a square of step x step pixels, set when any is.
std::string terminal_text(const Bitmap& bits, bool ascii, int step = 1);

} // namespace dotlane::cli
