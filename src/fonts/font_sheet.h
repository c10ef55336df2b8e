#pragma once
// A font found in C source drawn back as a sheet: every glyph of an Adafruit GFX GFXfont or a
// u8g2 font in a grid, each under its code point in hexadecimal, drawn by the same decoders
// that draw the font command's previews, so the sheet shows what the draw call will show.
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "fonts/gfx_font.h"

namespace dotlane::fonts {

// The fonts a C text declares: a GFXfont (its bitmap and glyph arrays named in it) or a u8g2
// font (an array in U8G2_FONT_SECTION, as a brace list or string literals).
struct SourceFont {
    std::string name;
    std::optional<GfxFont> gfx;
    std::vector<std::uint8_t> u8g2; // when not gfx
};

// The font so named, or the first; or why the text holds none, or a damaged one.
std::variant<SourceFont, std::string> find_source_font(std::string_view text,
                                                       std::optional<std::string_view> name);

struct Sheet {
    Bitmap bits;
    std::size_t glyphs = 0;
};

// Every glyph the font holds, 16 a row in code order; or why it holds none.
std::variant<Sheet, std::string> font_sheet(const SourceFont& font);

} // namespace dotlane::fonts
