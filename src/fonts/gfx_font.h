#pragma once
// The proportional font of Adafruit GFX (gfxfont.h): every glyph's pixels row after row, bit 7
// of each byte first, with no padding at the end of a row, each glyph from a byte of its own;
// a GFXglyph for every code from `first` to `last` (offset into the bitmap, width, height,
// xAdvance, xOffset and yOffset of the top-left pixel from the pen on the baseline); and
// the GFXfont that joins them with yAdvance, the distance between lines. setFont() takes it,
// and print() draws it one byte a character.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "glyphs.h"

namespace dotlane::fonts {

struct GfxGlyph {
    std::uint16_t offset = 0;
    std::uint8_t width = 0, height = 0, advance = 0;
    std::int8_t x_offset = 0, y_offset = 0;
};

struct GfxFont {
    std::vector<std::uint8_t> bitmap;
    std::vector<GfxGlyph> glyphs; // first to last; a code not chosen has an empty glyph
    std::uint16_t first = 0, last = 0;
    std::uint8_t y_advance = 0;
};

// The font, or why its fields cannot hold the glyphs.
std::variant<GfxFont, std::string> make_gfx(const GlyphSet& set);

// The declarations of the bitmap, the glyphs and the font, NAME in PROGMEM.
std::string gfx_text(const GfxFont& font, const std::string& name, const std::string& about);

// The text as print() draws it from the pen on `box`'s baseline: a code outside first..last
// draws nothing and moves nothing.
Bitmap draw_gfx(const GfxFont& font, std::u32string_view text, const TextBox& box);

} // namespace dotlane::fonts
