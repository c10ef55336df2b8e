#pragma once
// The font format of u8g2 (setFont, drawStr, drawUTF8), as its font decoder reads it:
//
//   a 23-byte header: the glyph count, the bounding-box mode, the bit widths of the zero
//   and one runs and of each glyph's width, height, x, y and advance; the font's bounding
//   box; the ascent of 'A', the descent of 'g', the ascent and descent of '('; and three
//   big-endian offsets, counted from the header's end, of the first glyph from 'A', from
//   'a', and of the table of codes above 0xFF.
//   glyphs up to 0xFF: the code, the record's length, then a bit stream; a record of
//   length 0 ends them. Then the table: (offset, last code) pairs, big-endian, leading the
//   search into the glyphs above 0xFF: a big-endian code, the record's length, the stream;
//   code 0 ends them.
//   the bit stream, from bit 0 of each byte: width and height unsigned, x (the left edge
//   from the pen), y (the bottom row's place above the baseline) and the advance as signed
//   values stored plus 2^(bits-1); then the pixels row after row as runs: a count of clear
//   pixels, a count of set ones, and a bit that repeats the pair when 1, until the glyph's
//   rows are all drawn.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "glyphs.h"

namespace dotlane::fonts {

// The font's bytes, or why the format cannot hold the glyphs.
std::variant<std::vector<std::uint8_t>, std::string> make_u8g2(const GlyphSet& set);

// The declaration: NAME in U8G2_FONT_SECTION, as setFont() takes it.
std::string u8g2_text(const std::vector<std::uint8_t>& font, const std::string& name,
                      const std::string& about);

// The text as drawUTF8 draws it with the font's baseline on `box`'s: each glyph found as the
// decoder finds it, a code it does not find skipped. Bad data draws what it can, never
// reading past the bytes.
Bitmap draw_u8g2(const std::vector<std::uint8_t>& font, std::u32string_view text,
                 const TextBox& box);

} // namespace dotlane::fonts
