#pragma once
// What the display will show: the bits read back from the bytes convert made, as a PNG
// picture with the look of the glass, or as text for a terminal.
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "back/terminal_text.h"
#include "engine/convert_plan.h"

namespace dotlane::cli {

using engine::Conversion;
using engine::PreviewOptions;

// The colours of a preview, 0xRRGGBB: a clear dot, a set dot, the gaps between dots.
struct Look {
    std::string_view name;
    std::uint32_t colours[3];
};

// The PNG file of the preview, or why it cannot be made.
std::variant<std::vector<std::uint8_t>, std::string> preview_png(const Conversion& conversion,
                                                                 const PreviewOptions& options);

// Writes the preview to `path` whole, or to `out` for "-".
int write_preview(const std::vector<std::uint8_t>& png, const std::string& path, std::ostream& out,
                  std::ostream& err);

} // namespace dotlane::cli
