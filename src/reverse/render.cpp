#include "render.h"

#include <algorithm>

#include "shared/text.h"
#include "unpack.h"

namespace dotlane {

RenderSize parse_render_size(std::string_view width_text, std::string_view pages_text) {
    RenderSize size;
    const auto width = whole_number(width_text);
    const auto pages = whole_number(pages_text);
    if (!width) {
        size.error = "The width (Length) must be a whole number of pixels, such as 128; found \"" +
                     std::string(width_text) + "\".";
    } else if (!pages) {
        size.error = "The height (Size) must be a whole number of pages of 8 rows, such as 8; "
                     "found \"" +
                     std::string(pages_text) + "\".";
    } else if (*width > kMaxRenderSide || *pages * 8 > kMaxRenderSide) {
        size.error = "A picture of " + std::to_string(*width) + " x " + std::to_string(*pages * 8) +
                     " pixels is too large: Dotlane paints pictures up to 4096 x 4096 pixels.";
    } else {
        size.width = int(*width);
        size.pages = int(*pages);
    }
    return size;
}

Bitmap render_bits(const std::vector<std::uint8_t>& bytes, int width, int pages) {
    return unpack_bits(bytes, BitLayout::pages_lsb, width, pages * 8);
}

Picture render_listing(const std::vector<std::uint8_t>& bytes, int width, int pages) {
    const Bitmap bits = render_bits(bytes, width, pages);
    return black_on_white(bits, bits.height);
}

} // namespace dotlane
