#include "glyphs.h"

#include <algorithm>

namespace dotlane::fonts {

const Glyph* GlyphSet::find(char32_t code) const {
    const auto found = std::lower_bound(glyphs.begin(), glyphs.end(), code,
                                        [](const Glyph& g, char32_t c) { return g.code < c; });
    return found != glyphs.end() && found->code == code ? &*found : nullptr;
}

TextBox text_box(const GlyphSet& set, std::u32string_view text, int fixed_advance) {
    int pen = 0, right = 0;
    for (const char32_t c : text) {
        const Glyph* g = set.find(c);
        if (!g) continue;
        right = std::max(right, pen + g->left + g->bits.width);
        pen += fixed_advance > 0 ? fixed_advance : g->advance;
    }
    return {std::max(pen, right), set.ascent + set.descent, set.ascent};
}

Bitmap draw_glyphs(const GlyphSet& set, std::u32string_view text, const TextBox& box,
                   int fixed_advance) {
    Bitmap canvas(box.width, box.height);
    int pen = 0;
    for (const char32_t c : text) {
        const Glyph* g = set.find(c);
        if (!g) continue;
        for (int y = 0; y < g->bits.height; ++y)
            for (int x = 0; x < g->bits.width; ++x)
                if (g->bits.at(x, y)) plot(canvas, pen + g->left + x, box.baseline - g->top + y);
        pen += fixed_advance > 0 ? fixed_advance : g->advance;
    }
    return canvas;
}

} // namespace dotlane::fonts
