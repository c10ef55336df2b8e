#pragma once
// A MicroPython module of a font: one bytes object of every glyph's pixels in a framebuf
// format (MONO_HLSB, MONO_HMSB or MONO_VLSB), and for each code the glyph's place in it,
// its width and height, where its top-left pixel goes from the pen at the line's top, and
// its advance. glyph(ch) gives bytes ready for framebuf.FrameBuffer; text() draws a line.
#include <cstdint>
#include <string>
#include <vector>

#include "glyphs.h"
#include "layout/layouts.h"

namespace dotlane::fonts {

struct PackedGlyph {
    char32_t code = 0;
    std::size_t offset = 0, length = 0;
    int width = 0, height = 0;
    int x_offset = 0, y_offset = 0; // from the pen at the line's top
    int advance = 0;
};

struct PackedFont {
    BitLayout layout = BitLayout::rows_msb;
    std::vector<std::uint8_t> bytes;
    std::vector<PackedGlyph> glyphs;
    int height = 0, baseline = 0, line_height = 0;
};

PackedFont pack_font(const GlyphSet& set, BitLayout layout);

// The module's text; `format` is the framebuf constant of the layout (MONO_HLSB, ...).
std::string python_module(const PackedFont& font, std::string_view format,
                          const std::string& about);

// The text as the module's text() draws it, the line's top at `box`'s top.
Bitmap draw_packed(const PackedFont& font, std::u32string_view text, const TextBox& box);

} // namespace dotlane::fonts
