#include "render.h"

#include <algorithm>

#include "shared/text.h"

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
    Bitmap bits(width, pages * 8);
    const std::size_t count = std::min(bytes.size(), std::size_t(width) * std::size_t(pages));
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t* top = bits.bits.data() + (i / std::size_t(width)) * 8 * std::size_t(width) +
                            i % std::size_t(width);
        for (int bit = 0; bit < 8; ++bit)
            top[std::size_t(bit) * std::size_t(width)] = bytes[i] >> bit & 1;
    }
    return bits;
}

Picture render_listing(const std::vector<std::uint8_t>& bytes, int width, int pages) {
    const Bitmap bits = render_bits(bytes, width, pages);
    return black_on_white(bits, bits.height);
}

} // namespace dotlane
