#pragma once
// Painting a page-major listing into a picture, and the size fields that shape it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shared/picture.h"

namespace dotlane {

inline constexpr int kMaxRenderSide = 4096;

struct RenderSize {
    int width = 0; // pixels, which is also bytes per page
    int pages = 0; // bands of 8 rows
    std::optional<std::string> error;
};

// Reads the width and page fields; both must be non-empty (the caller prompts otherwise).
RenderSize parse_render_size(std::string_view width_text, std::string_view pages_text);

// W x 8P pixels, each set bit of the listing set: byte c of page r (from 0) is the column
// x = c, bit i the row 8r + i. Bytes past W x P are ignored; missing ones set nothing.
Bitmap render_bits(const std::vector<std::uint8_t>& bytes, int width, int pages);
// The same picture, set bits black on white, as the window shows it.
Picture render_listing(const std::vector<std::uint8_t>& bytes, int width, int pages);

} // namespace dotlane
