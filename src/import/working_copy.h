#pragma once
// The black-and-white working copy of a loaded picture and the two pixel grids.
#include <cstdint>
#include <span>

#include "header.h"
#include "picture.h"
#include "shared/module1.h"

namespace dotlane {

// Rows that bring a height up to whole pages of 8 rows (0..7).
int fill_rows(int height);

// Whether a pixel of this colour lists as a set bit: unticked, every colour but pure white;
// ticked ("Invert Colors"), every colour but pure black. The working copy paints exactly
// these pixels black, and every listing and layout asks this one test.
inline bool is_ink(Colour colour, bool invert) {
    return invert ? colour != kBlack : colour != kWhite;
}

// Paints the working copy of `source`: white where the source is white (pure black when
// invert_colours is set), black elsewhere, then white fill rows down to whole pages.
// Writes source_grid and pixel_grid for every pixel it paints; cells outside stay as they are.
Picture paint_working_copy(const Picture& source, SharedState& state);

// The picture a validated 1-bit BMP holds, top row first, each pixel its palette colour.
Picture decode_picture(const Header& header, std::span<const std::uint8_t> file);

} // namespace dotlane
