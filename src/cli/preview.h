#pragma once
// What the display will show: the bits read back from the bytes convert made, as a PNG
// picture with the look of the glass, or as text for a terminal.
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "convert.h"

namespace dotlane::cli {

struct PreviewOptions {
    std::optional<std::string> path; // --preview: none, a file, or "-" for standard output
    int scale = 4;
};

// --preview and --preview-scale, or the exit status after the usage text.
std::variant<PreviewOptions, int> preview_options(const Arguments& args, std::ostream& err);

// The bits as the display reads them from the bytes, over the picture's width and height;
// read where they stand, as a full-size copy would cost more than the preview.
class DecodedBits {
public:
    explicit DecodedBits(const Conversion& conversion);
    int width() const { return c_.width; }
    int height() const { return c_.height; }
    bool at(int x, int y) const;

private:
    const Conversion& c_;
    bool paged_, lsb_;
    std::size_t per_row_;
};

// The PNG file of the preview, or why it cannot be made.
std::variant<std::vector<std::uint8_t>, std::string> preview_png(const Conversion& conversion,
                                                                 int scale);

// Writes the preview to `path` whole, or to `out` for "-".
int write_preview(const std::vector<std::uint8_t>& png, const std::string& path, std::ostream& out,
                  std::ostream& err);

// Two rows of pixels a line in half blocks, or with `ascii` one a line in "#" and ".".
// `Bits` has width(), height() and at(x, y): the bytes read where they stand, or a picture.
template <typename Bits> std::string terminal_text(const Bits& bits, bool ascii) {
    std::string text;
    if (ascii) {
        text.reserve(std::size_t(bits.width() + 1) * std::size_t(bits.height()));
        for (int y = 0; y < bits.height(); ++y) {
            for (int x = 0; x < bits.width(); ++x)
                text += bits.at(x, y) ? '#' : '.';
            text += '\n';
        }
        return text;
    }
    // UTF-8 of " ", U+2580 upper half, U+2584 lower half, U+2588 full block.
    static constexpr const char* kBlocks[] = {" ", "\xE2\x96\x80", "\xE2\x96\x84", "\xE2\x96\x88"};
    text.reserve(std::size_t(3 * bits.width() + 1) * std::size_t(bits.height() + 1) / 2);
    for (int y = 0; y < bits.height(); y += 2) {
        for (int x = 0; x < bits.width(); ++x)
            text += kBlocks[bits.at(x, y) + 2 * (y + 1 < bits.height() && bits.at(x, y + 1))];
        text += '\n';
    }
    return text;
}

} // namespace dotlane::cli
