#include "cell_table.h"

#include <algorithm>

#include "layout/unpack.h"

namespace dotlane::fonts {

CellTable make_cells(const GlyphSet& set, BitLayout layout) {
    CellTable table;
    table.layout = layout;
    int low = 0, high = 1;
    for (const Glyph& g : set.glyphs) {
        low = std::min(low, g.left);
        high = std::max({high, g.advance, g.left + g.bits.width});
    }
    table.pen = -low;
    table.cell_width = high - low;
    table.ascent = set.ascent;
    table.cell_height = std::max(1, set.ascent + set.descent);
    table.cell_rows = layout_rows(layout, table.cell_height);
    table.cell_bytes = layout_byte_count(layout, table.cell_width, table.cell_height);
    table.bytes.reserve(table.cell_bytes * set.glyphs.size());
    for (const Glyph& g : set.glyphs) {
        Bitmap cell(table.cell_width, table.cell_height);
        for (int y = 0; y < g.bits.height; ++y)
            for (int x = 0; x < g.bits.width; ++x)
                if (g.bits.at(x, y)) plot(cell, table.pen + g.left + x, set.ascent - g.top + y);
        const std::vector<std::uint8_t> bytes = layout_bytes(cell, layout);
        table.bytes.insert(table.bytes.end(), bytes.begin(), bytes.end());
        table.codes.push_back(g.code);
    }
    return table;
}

Bitmap draw_cells(const CellTable& table, std::u32string_view text, const TextBox& box) {
    Bitmap canvas(box.width, box.height);
    int pen = 0;
    for (const char32_t c : text) {
        const auto found = std::lower_bound(table.codes.begin(), table.codes.end(), c);
        if (found == table.codes.end() || *found != c) continue;
        const std::size_t index = std::size_t(found - table.codes.begin());
        const std::span<const std::uint8_t> bytes(table.bytes.data() + index * table.cell_bytes,
                                                  table.cell_bytes);
        const Bitmap cell = unpack_bits(bytes, table.layout, table.cell_width, table.cell_height);
        for (int y = 0; y < cell.height; ++y)
            for (int x = 0; x < cell.width; ++x)
                if (cell.at(x, y))
                    plot(canvas, pen - table.pen + x, box.baseline - table.ascent + y);
        pen += table.cell_width;
    }
    return canvas;
}

} // namespace dotlane::fonts
