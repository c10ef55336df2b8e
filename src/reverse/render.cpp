#include "render.h"

#include <algorithm>

namespace dotlane {

static std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// A whole number of digits only; nullopt for anything else, a huge value for long text.
static std::optional<long long> whole_number(std::string_view text) {
    text = trim(text);
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = std::min(value * 10 + (c - '0'), 1'000'000'000LL);
    }
    return value;
}

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

} // namespace dotlane
