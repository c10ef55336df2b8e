#include "gfx_font.h"

#include <cstdio>

#include "characters.h"

namespace dotlane::fonts {

namespace {

std::string hex_byte(std::uint8_t value) {
    char text[5];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

bool fits(int value, int low, int high) {
    return value >= low && value <= high;
}

} // namespace

std::variant<GfxFont, std::string> make_gfx(const GlyphSet& set) {
    if (set.glyphs.empty()) return std::string("no glyph to write");
    GfxFont font;
    font.first = std::uint16_t(set.glyphs.front().code);
    const char32_t last = set.glyphs.back().code;
    if (last > 0xFF)
        return "print() draws one byte a character, so " + code_name(last) +
               " cannot be drawn: adafruit-gfx takes codes up to 0xFF";
    font.last = std::uint16_t(last);
    if (!fits(set.line_height, 0, 255))
        return "the line height, " + std::to_string(set.line_height) + " px, passes yAdvance's 255";
    font.y_advance = std::uint8_t(set.line_height);
    font.glyphs.resize(std::size_t(font.last - font.first) + 1);
    for (const Glyph& g : set.glyphs) {
        const int w = g.bits.width, h = g.bits.height;
        if (!fits(w, 0, 255) || !fits(h, 0, 255) || !fits(g.advance, 0, 255) ||
            !fits(g.left, -128, 127) || !fits(-g.top, -128, 127))
            return "the glyph for " + code_name(g.code) +
                   " passes GFXglyph's fields (width, "
                   "height and xAdvance 0 to 255, offsets -128 to 127): give a smaller --size";
        if (font.bitmap.size() > 0xFFFF)
            return std::string("the glyphs' bitmap passes bitmapOffset's 65535 bytes: give "
                               "fewer characters or a smaller --size");
        GfxGlyph& out = font.glyphs[g.code - font.first];
        out = {std::uint16_t(font.bitmap.size()), std::uint8_t(w),     std::uint8_t(h),
               std::uint8_t(g.advance),           std::int8_t(g.left), std::int8_t(-g.top)};
        std::uint8_t byte = 0;
        int filled = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                byte = std::uint8_t(byte | (g.bits.at(x, y) ? 0x80 >> filled : 0));
                if (++filled == 8) {
                    font.bitmap.push_back(byte);
                    byte = 0;
                    filled = 0;
                }
            }
        if (filled) font.bitmap.push_back(byte);
    }
    return font;
}

std::string gfx_text(const GfxFont& font, const std::string& name, const std::string& about) {
    std::string text = "/* " + about + "\n * display.setFont(&" + name +
                       "); display.print(\"...\"); one byte a character, the cursor on the "
                       "baseline */\n#include <Adafruit_GFX.h>\n\nconst uint8_t " +
                       name + "Bitmaps[] PROGMEM = {";
    for (std::size_t i = 0; i < font.bitmap.size(); ++i)
        text += (i % 16 ? ", " : i ? ",\n    " : "\n    ") + hex_byte(font.bitmap[i]);
    text += "\n};\n\nconst GFXglyph " + name + "Glyphs[] PROGMEM = {\n";
    for (std::size_t i = 0; i < font.glyphs.size(); ++i) {
        const GfxGlyph& g = font.glyphs[i];
        const char32_t code = font.first + char32_t(i);
        char line[96];
        std::snprintf(line, sizeof line, "    {%5u, %3u, %3u, %3u, %4d, %4d}%s // ", g.offset,
                      g.width, g.height, g.advance, g.x_offset, g.y_offset,
                      i + 1 < font.glyphs.size() ? "," : " ");
        text += line + code_name(code) + "\n";
    }
    char tail[64];
    std::snprintf(tail, sizeof tail, ", 0x%02X, 0x%02X, %u};\n", font.first, font.last,
                  font.y_advance);
    return text + "};\n\nconst GFXfont " + name + " PROGMEM = {(uint8_t *)" + name +
           "Bitmaps, (GFXglyph *)" + name + "Glyphs" + tail;
}

Bitmap draw_gfx(const GfxFont& font, std::u32string_view text, const TextBox& box) {
    Bitmap canvas(box.width, box.height);
    int cursor = box.pen;
    for (const char32_t c : text) {
        if (c < font.first || c > font.last) continue;
        const GfxGlyph& g = font.glyphs[c - font.first];
        std::size_t offset = g.offset;
        std::uint8_t bits = 0;
        int bit = 0;
        for (int y = 0; y < g.height; ++y)
            for (int x = 0; x < g.width; ++x) {
                if (!(bit++ & 7)) bits = font.bitmap[offset++];
                if (bits & 0x80)
                    plot(canvas, cursor + g.x_offset + x, box.baseline + g.y_offset + y);
                bits = std::uint8_t(bits << 1);
            }
        cursor += g.advance;
    }
    return canvas;
}

} // namespace dotlane::fonts
