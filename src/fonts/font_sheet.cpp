// The sheet of a font's glyphs. Each glyph is drawn alone by its format's decoder with the
// pen where the font's box says ink may start, so ink left of the pen shows too.
#include <algorithm>
#include <functional>

#include "fonts/font_sheet.h"
#include "fonts/u8g2_font.h"

namespace dotlane::fonts {

namespace {

constexpr int kColumns = 16;
constexpr std::size_t kMaxGlyphs = 65536;
constexpr std::uint64_t kMaxPixels = std::uint64_t(4096) * 4096;

// Hexadecimal digits 3 pixels wide and 5 high, a row a nibble's low 3 bits, top first.
constexpr std::uint8_t kDigits[16][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 3, 1, 7},
    {5, 5, 7, 1, 1}, {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 2, 2},
    {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7}, {2, 5, 7, 5, 5}, {6, 5, 6, 5, 6},
    {3, 4, 4, 4, 3}, {6, 5, 5, 5, 6}, {7, 4, 6, 4, 7}, {7, 4, 6, 4, 4}};
constexpr int kLabelHeight = 5, kDigitWidth = 4;

void label(Bitmap& sheet, char32_t code, int digits, int left, int top) {
    for (int d = 0; d < digits; ++d) {
        const auto& glyph = kDigits[(code >> (4 * (digits - 1 - d))) & 0xF];
        for (int y = 0; y < kLabelHeight; ++y)
            for (int x = 0; x < 3; ++x)
                if (glyph[y] >> (2 - x) & 1) plot(sheet, left + d * kDigitWidth + x, top + y);
    }
}

// What a sheet draws: the codes, and one glyph alone in `box`.
struct Drawer {
    std::vector<char32_t> codes;
    TextBox box;
    std::function<Bitmap(char32_t)> draw;
};

Drawer gfx_drawer(const GfxFont& font) {
    Drawer d;
    int left = 0, right = 1, top = 0, bottom = 1;
    for (std::size_t i = 0; i < font.glyphs.size(); ++i) {
        const GfxGlyph& g = font.glyphs[i];
        if (g.width == 0 && g.advance == 0) continue; // a code the font leaves out
        d.codes.push_back(font.first + char32_t(i));
        left = std::min<int>(left, g.x_offset), right = std::max<int>(right, g.x_offset + g.width);
        right = std::max<int>(right, g.advance);
        top = std::min<int>(top, g.y_offset), bottom = std::max<int>(bottom, g.y_offset + g.height);
    }
    d.box = {right - left, bottom - top, -top, -left};
    d.draw = [&font, box = d.box](char32_t c) { return draw_gfx(font, std::u32string(1, c), box); };
    return d;
}

Drawer u8g2_drawer(const std::vector<std::uint8_t>& font) {
    Drawer d;
    const auto byte = [&](std::size_t i) { return i < font.size() ? font[i] : 0; };
    const auto word = [&](std::size_t i) { return std::size_t(byte(i) << 8 | byte(i + 1)); };
    constexpr std::size_t kHeader = 23;
    if (font.size() < kHeader) return d;
    // The glyphs up to 0xFF, each record's length after its code, a length 0 ending them;
    // then those past it, from the first offset of the table that leads to them.
    for (std::size_t at = kHeader; at + 1 < font.size() && byte(at + 1) != 0; at += byte(at + 1))
        if (d.codes.size() < kMaxGlyphs) d.codes.push_back(byte(at));
    const std::size_t table = kHeader + word(21);
    for (std::size_t at = table + word(table);
         table + 3 < font.size() && at + 2 < font.size() && word(at) != 0 && byte(at + 2) != 0;
         at += byte(at + 2))
        if (d.codes.size() < kMaxGlyphs) d.codes.push_back(word(at));
    const int width = byte(9), height = byte(10);
    const int x = std::int8_t(byte(11)), y = std::int8_t(byte(12));
    d.box = {width + std::max(0, -x) + std::max(0, x), std::max(1, height), height + y,
             std::max(0, -x)};
    d.draw = [&font, box = d.box](char32_t c) {
        return draw_u8g2(font, std::u32string(1, c), box);
    };
    return d;
}

} // namespace

std::variant<Sheet, std::string> font_sheet(const SourceFont& font) {
    const Drawer d = font.gfx ? gfx_drawer(*font.gfx) : u8g2_drawer(font.u8g2);
    if (d.codes.empty()) return font.name + " holds no glyph";
    const bool wide =
        std::any_of(d.codes.begin(), d.codes.end(), [](char32_t c) { return c > 0xFF; });
    const int digits = wide ? 4 : 2;
    const int cell_width = std::max(d.box.width, digits * kDigitWidth - 1) + 3;
    const int cell_height = kLabelHeight + 2 + d.box.height + 3;
    const int columns = std::min<int>(kColumns, int(d.codes.size()));
    const int rows = int((d.codes.size() + kColumns - 1) / kColumns);
    if (std::uint64_t(cell_width) * columns * std::uint64_t(cell_height) * rows > kMaxPixels)
        return "a sheet of " + font.name + "'s " + std::to_string(d.codes.size()) +
               " glyphs would pass 4096 x 4096 pixels";
    Sheet sheet{Bitmap(cell_width * columns, cell_height * rows), d.codes.size()};
    for (std::size_t i = 0; i < d.codes.size(); ++i) {
        const int left = int(i % kColumns) * cell_width + 1,
                  top = int(i / kColumns) * cell_height + 1;
        label(sheet.bits, d.codes[i], digits, left, top);
        const Bitmap glyph = d.draw(d.codes[i]);
        for (int y = 0; y < glyph.height; ++y)
            for (int x = 0; x < glyph.width; ++x)
                if (glyph.at(x, y)) plot(sheet.bits, left + x, top + kLabelHeight + 2 + y);
    }
    return sheet;
}

} // namespace dotlane::fonts
