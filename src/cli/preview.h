#pragma once
// What the display will show: the bits read back from the bytes convert made, as a PNG
// picture with the look of the glass, or as text for a terminal.
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "convert.h"

namespace dotlane::cli {

// The colours of a preview, 0xRRGGBB: a clear dot, a set dot, the gaps between dots.
struct Look {
    std::string_view name;
    std::uint32_t colours[3];
};

struct PreviewOptions {
    std::optional<std::string> path; // --preview: none, a file, or "-" for standard output
    int scale = 4;
    const Look* look = nullptr; // --preview-look; none: the target's glass
};

// --preview, --preview-scale and --preview-look, or the exit status after the usage text.
std::variant<PreviewOptions, int> preview_options(const Arguments& args, std::ostream& err);

// The bits as the display reads them from the bytes, over the picture's width and height.
Bitmap shown_bits(const Conversion& conversion);

// The PNG file of the preview, or why it cannot be made.
std::variant<std::vector<std::uint8_t>, std::string> preview_png(const Conversion& conversion,
                                                                 const PreviewOptions& options);

// Writes the preview to `path` whole, or to `out` for "-".
int write_preview(const std::vector<std::uint8_t>& png, const std::string& path, std::ostream& out,
                  std::ostream& err);

// Two rows of pixels a line in half blocks, or with `ascii` one a line in "#" and "."; with
// a `step` over 1, a character stands for a square of step x step pixels, set when any is.
std::string terminal_text(const Bitmap& bits, bool ascii, int step = 1);

} // namespace dotlane::cli
