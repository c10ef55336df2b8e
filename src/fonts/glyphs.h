#pragma once
// The font stage's own form of a font: each chosen character's pixels and the metrics that
// place them, taken from FreeType (font_reader.h) and written in the formats of the draw
// calls (gfx_font.h, cell_table.h, python_font.h). No toolkit, no files: bytes in, bytes out.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "shared/picture.h"

namespace dotlane::fonts {

// One character's pixels, 1 a set pixel, and where they go from the pen, which stands on
// the baseline: `left` columns to the right of it, the top row `top` rows above it.
struct Glyph {
    char32_t code = 0;
    int left = 0, top = 0;
    int advance = 0; // how far the pen moves, in pixels
    Bitmap bits;
};

// The chosen characters in code order. Every glyph fits between `ascent` rows above the
// baseline and `descent` rows below it.
struct GlyphSet {
    std::vector<Glyph> glyphs;
    int ascent = 0, descent = 0;
    int line_height = 0;      // the font's distance from one baseline to the next
    bool bitmap_font = false; // taken pixel for pixel, not rendered from outlines
    std::string description;  // "DejaVu Sans Book, 16 px" for the outputs' comments

    const Glyph* find(char32_t code) const;
};

// Where a line of text is drawn: `width` x `height` pixels, the baseline `baseline` rows from
// the top, the pen starting `pen` columns from the left edge (ink left of the pen shows then).
struct TextBox {
    int width = 0, height = 0, baseline = 0;
    int pen = 0;
};

// The box a line of `text` needs: the sum of the advances (and any ink past them) wide, the
// set's ascent and descent high. `fixed_advance` > 0 moves the pen that far for every character.
TextBox text_box(const GlyphSet& set, std::u32string_view text, int fixed_advance = 0);

// The text drawn from the glyphs themselves, each placed by its own metrics: the reference
// every format's decoder must reproduce. Characters the set lacks are skipped.
Bitmap draw_glyphs(const GlyphSet& set, std::u32string_view text, const TextBox& box,
                   int fixed_advance = 0);

// Sets the pixel when it lies in the bitmap; ink past the edges is dropped, as on a display.
inline void plot(Bitmap& bits, int x, int y) {
    if (x >= 0 && y >= 0 && x < bits.width && y < bits.height)
        bits.bits[std::size_t(y) * std::size_t(bits.width) + std::size_t(x)] = 1;
}

} // namespace dotlane::fonts
