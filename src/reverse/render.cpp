#include "render.h"

#include <algorithm>

#include "reverse/bmp_writer.h"
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

Picture render_listing(const std::vector<std::uint8_t>& bytes, int width, int pages) {
    Picture picture(width, pages * 8, kWhite);
    const std::size_t count = std::min(bytes.size(), std::size_t(width) * std::size_t(pages));
    for (std::size_t i = 0; i < count; ++i) {
        const int x = int(i % std::size_t(width));
        const int top = int(i / std::size_t(width)) * 8;
        for (int bit = 0; bit < 8; ++bit)
            if (bytes[i] >> bit & 1) picture.set(x, top + bit, kBlack);
    }
    return picture;
}

std::vector<std::uint8_t> render_listing_bmp(const std::vector<std::uint8_t>& bytes, int width,
                                             int pages) {
    const std::size_t count = std::min(bytes.size(), std::size_t(width) * std::size_t(pages));
    return encode_mono_bmp(width, pages * 8, [&](int x, int y) {
        const std::size_t i = std::size_t(y / 8) * std::size_t(width) + std::size_t(x);
        return i < count && (bytes[i] >> (y % 8) & 1) != 0;
    });
}

} // namespace dotlane
