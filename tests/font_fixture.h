#pragma once
// What the font tests share: the fonts they read (Debian's, and a tiny BDF font made here),
// and bitmaps as text.
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "cli_runner.h"
#include "fonts/font_reader.h"

namespace dotlane::test {

using namespace dotlane::fonts;

inline const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline const std::string kFixed = "/usr/share/fonts/X11/misc/6x13.pcf.gz";

// A proportional bitmap font made here: a left bearing below 0 ('j'), descenders, a blank
// space, a degree sign above the baseline and a character past 0xFF.
struct TinyGlyph {
    char32_t code;
    int advance, left, bottom; // bottom: the lowest row's place above the baseline
    std::vector<std::string> rows;
};
inline const std::vector<TinyGlyph> kTiny = {
    {U' ', 3, 0, 0, {}},
    {U':', 3, 1, 0, {"#", ".", ".", "#"}},
    {U'H', 5, 0, 0, {"#..#", "#..#", "####", "#..#", "#..#"}},
    {U'g', 5, 0, -2, {".###", "#..#", "#..#", ".###", "...#", ".##."}},
    {U'i', 2, 0, 0, {"#", ".", "#", "#", "#"}},
    {U'j', 3, -1, -2, {"..#", "...", "..#", "..#", "..#", "#.#", ".#."}},
    {0xB0, 4, 0, 4, {".#.", "#.#", ".#."}},
    {0x2026, 6, 0, 0, {"#.#.#"}}};
inline constexpr int kTinyAscent = 7, kTinyDescent = 2;

inline std::string tiny_bdf(std::size_t count = kTiny.size()) {
    std::ostringstream bdf;
    bdf << "STARTFONT 2.1\nFONT -dotlane-tiny-medium-r-normal--9-90-75-75-p-40-iso10646-1\n"
           "SIZE 9 75 75\nFONTBOUNDINGBOX 6 9 -1 -2\nSTARTPROPERTIES 5\nPIXEL_SIZE 9\n"
           "FONT_ASCENT "
        << kTinyAscent << "\nFONT_DESCENT " << kTinyDescent
        << "\nCHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\nENDPROPERTIES\nCHARS " << count
        << "\n";
    for (std::size_t i = 0; i < count; ++i) {
        const TinyGlyph& g = kTiny[i];
        const int w = g.rows.empty() ? 0 : int(g.rows[0].size());
        bdf << "STARTCHAR c" << unsigned(g.code) << "\nENCODING " << unsigned(g.code)
            << "\nSWIDTH 500 0\nDWIDTH " << g.advance << " 0\nBBX " << w << " " << g.rows.size()
            << " " << g.left << " " << g.bottom << "\nBITMAP\n";
        for (const std::string& row : g.rows) {
            unsigned bits = 0;
            for (std::size_t x = 0; x < row.size(); ++x)
                bits |= row[x] == '#' ? 0x80u >> x : 0;
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02X", bits);
            bdf << hex << "\n";
        }
        bdf << "ENDCHAR\n";
    }
    bdf << "ENDFONT\n";
    return bdf.str();
}

inline std::vector<std::uint8_t> bytes_of(const std::string& text) {
    return {text.begin(), text.end()};
}

inline std::vector<std::uint8_t> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The line drawn from the definitions above, each glyph by its own metrics (or one cell
// width apart, `cell` > 0).
inline Bitmap tiny_line(std::u32string_view text, int width, int height, int cell = 0) {
    Bitmap line(width, height);
    int x0 = 0;
    for (const char32_t c : text)
        for (const TinyGlyph& g : kTiny) {
            if (g.code != c) continue;
            const int top = kTinyAscent - g.bottom - int(g.rows.size());
            for (std::size_t y = 0; y < g.rows.size(); ++y)
                for (std::size_t x = 0; x < g.rows[y].size(); ++x)
                    if (g.rows[y][x] == '#') plot(line, x0 + g.left + int(x), top + int(y));
            x0 += cell ? cell : g.advance;
        }
    return line;
}

inline std::string ascii(const Bitmap& b) {
    std::string text;
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x)
            text += b.at(x, y) ? '#' : '.';
        text += '\n';
    }
    return text;
}

inline GlyphSet read_set(const std::vector<std::uint8_t>& bytes, std::u32string_view chars,
                         RenderOptions options = {}) {
    std::vector<char32_t> codes(chars.begin(), chars.end());
    std::sort(codes.begin(), codes.end());
    FontRead read = read_font(bytes, codes, options, "font");
    EXPECT_FALSE(read.error) << read.error.value_or("");
    EXPECT_TRUE(read.missing.empty());
    return read.set;
}

} // namespace dotlane::test
