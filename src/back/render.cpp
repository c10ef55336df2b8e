#include "back/render.h"

#include <algorithm>

#include "layout/unpack.h"
#include "shared/text.h"

namespace dotlane {

namespace {

// A field is quoted cut, as the listing reader quotes a bad entry: a whole pasted field
// would make a message higher than the screen. The cut falls between UTF-8 characters.
constexpr std::size_t kShownField = 24;

std::string shown(std::string_view field) {
    std::size_t end = std::min(field.size(), kShownField);
    while (end < field.size() && end > 0 && (static_cast<unsigned char>(field[end]) & 0xC0) == 0x80)
        --end;
    return std::string(field.substr(0, end));
}

} // namespace

RenderSize parse_render_size(std::string_view width_text, std::string_view pages_text) {
    RenderSize size;
    const auto width = whole_number(width_text);
    const auto pages = whole_number(pages_text);
    if (!width) {
        size.error = "The width (Length) must be a whole number of pixels, such as 128; found \"" +
                     shown(width_text) + "\".";
    } else if (!pages) {
        size.error = "The height (Size) must be a whole number of pages of 8 rows, such as 8; "
                     "found \"" +
                     shown(pages_text) + "\".";
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
