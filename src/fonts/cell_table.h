#pragma once
// Fonts of fixed cells: every glyph in a cell as wide as the widest of them (their ink and
// advances from the pen) and as high as the font's ascent and descent, placed by its own
// metrics with the baseline `ascent` rows from the cell's top, the cells one after another
// in code order, each in one of the byte layouts (page layouts: whole pages of 8 rows).
#include <cstdint>
#include <vector>

#include "glyphs.h"
#include "layout/layouts.h"

namespace dotlane::fonts {

struct CellTable {
    BitLayout layout = BitLayout::rows_msb;
    int cell_width = 0, cell_height = 0;
    int cell_rows = 0; // the rows a cell's bytes cover
    int ascent = 0;    // rows from a cell's top to the baseline
    int pen = 0;       // columns from a cell's left edge to the pen
    std::size_t cell_bytes = 0;
    std::vector<char32_t> codes; // of the cells, in order
    std::vector<std::uint8_t> bytes;

    // Whether the codes run without a gap, so first and count name them all.
    bool contiguous() const {
        return !codes.empty() && codes.back() - codes.front() + 1 == codes.size();
    }
};

CellTable make_cells(const GlyphSet& set, BitLayout layout);

// The text as a program draws the cells: each cell's bits unpacked and set down one cell
// width after the last, a code without a cell skipped.
Bitmap draw_cells(const CellTable& table, std::u32string_view text, const TextBox& box);

} // namespace dotlane::fonts
