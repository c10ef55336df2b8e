// The font command: every format's data drawn back by its reader's rules equals the font's
// own glyphs; outline glyphs equal FreeType's monochrome rendering as Pillow gives it; bad
// fonts and options are refused with nothing written.
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "cli_runner.h"
#include "engine/font.h"
#include "fonts/characters.h"
#include "fonts/font_outputs.h"
#include "fonts/font_reader.h"
#include "fonts/font_sheet.h"
#include "fonts/u8g2_font.h"

namespace {

using namespace dotlane;
using namespace dotlane::fonts;
using dotlane::test::run_cli;
using dotlane::test::run_shell;
using dotlane::test::TempDir;

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kFixed = "/usr/share/fonts/X11/misc/6x13.pcf.gz";

// A proportional bitmap font made here: a left bearing below 0 ('j'), descenders, a blank
// space, a degree sign above the baseline and a character past 0xFF.
struct TinyGlyph {
    char32_t code;
    int advance, left, bottom; // bottom: the lowest row's place above the baseline
    std::vector<std::string> rows;
};
const std::vector<TinyGlyph> kTiny = {
    {U' ', 3, 0, 0, {}},
    {U':', 3, 1, 0, {"#", ".", ".", "#"}},
    {U'H', 5, 0, 0, {"#..#", "#..#", "####", "#..#", "#..#"}},
    {U'g', 5, 0, -2, {".###", "#..#", "#..#", ".###", "...#", ".##."}},
    {U'i', 2, 0, 0, {"#", ".", "#", "#", "#"}},
    {U'j', 3, -1, -2, {"..#", "...", "..#", "..#", "..#", "#.#", ".#."}},
    {0xB0, 4, 0, 4, {".#.", "#.#", ".#."}},
    {0x2026, 6, 0, 0, {"#.#.#"}}};
constexpr int kTinyAscent = 7, kTinyDescent = 2;

std::string tiny_bdf(std::size_t count = kTiny.size()) {
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

std::vector<std::uint8_t> bytes_of(const std::string& text) {
    return {text.begin(), text.end()};
}

std::vector<std::uint8_t> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The line drawn from the definitions above, each glyph by its own metrics (or one cell
// width apart, `cell` > 0).
Bitmap tiny_line(std::u32string_view text, int width, int height, int cell = 0) {
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

std::string ascii(const Bitmap& b) {
    std::string text;
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x)
            text += b.at(x, y) ? '#' : '.';
        text += '\n';
    }
    return text;
}

GlyphSet read_set(const std::vector<std::uint8_t>& bytes, std::u32string_view chars,
                  RenderOptions options = {}) {
    std::vector<char32_t> codes(chars.begin(), chars.end());
    std::sort(codes.begin(), codes.end());
    FontRead read = read_font(bytes, codes, options, "font");
    EXPECT_FALSE(read.error) << read.error.value_or("");
    EXPECT_TRUE(read.missing.empty());
    return read.set;
}

struct FormatCase {
    fonts::FontFormat format;
    BitLayout layout;
};
const FormatCase kFormats[] = {{fonts::FontFormat::gfx, BitLayout::rows_msb},
                               {fonts::FontFormat::u8g2, BitLayout::rows_msb},
                               {fonts::FontFormat::python, BitLayout::rows_msb},
                               {fonts::FontFormat::python, BitLayout::rows_lsb},
                               {fonts::FontFormat::python, BitLayout::pages_lsb},
                               {fonts::FontFormat::cells, BitLayout::rows_msb},
                               {fonts::FontFormat::cells, BitLayout::rows_lsb},
                               {fonts::FontFormat::cells, BitLayout::pages_lsb},
                               {fonts::FontFormat::cells, BitLayout::pages_msb}};

// The line each format's decoder draws from the data written equals the glyphs placed by
// their own metrics: for the BDF font as defined here, for the PCF font as FreeType reads it.
TEST(FontFormats, EveryFormatDrawsTheFontsOwnGlyphs) {
    const GlyphSet tiny = read_set(bytes_of(tiny_bdf()), U" :Hgij\u00B0\u2026");
    const GlyphSet fixed = read_set(file_bytes(kFixed), U" :0123456789Hagjy\u00B0");
    EXPECT_EQ(tiny.ascent, kTinyAscent);
    EXPECT_EQ(tiny.descent, kTinyDescent);
    for (const FormatCase& row : kFormats) {
        SCOPED_TRACE(int(row.format) * 10 + int(row.layout));
        const bool gfx = row.format == fonts::FontFormat::gfx;
        const bool cells = row.format == fonts::FontFormat::cells;
        const fonts::FontPlan plan{row.format, row.layout, Style::c, "font", "font.bdf", 0};
        // print() sends one byte a character: no ellipsis for GFX.
        GlyphSet set = tiny;
        if (gfx) set.glyphs.pop_back();
        const std::u32string text = gfx ? U"Hi: jig\u00B0" : U"Hi: jig\u00B0\u2026";
        const auto made = fonts::font_output(set, plan, text);
        ASSERT_TRUE(std::holds_alternative<fonts::FontOutput>(made));
        const Bitmap& drawn = *std::get<fonts::FontOutput>(made).preview;
        const int cell = cells ? 7 : 0; // the widest: the ellipsis' 6, and 1 left of the pen
        EXPECT_EQ(ascii(drawn), ascii(tiny_line(text, drawn.width, drawn.height, cell)));
        EXPECT_EQ(drawn.width, cells ? 7 * int(text.size()) : gfx ? 27 : 33);
        // render --font reads the declarations back: the same font, every glyph on the sheet.
        if (gfx || row.format == fonts::FontFormat::u8g2) {
            const auto found = find_source_font(std::get<fonts::FontOutput>(made).data, {});
            ASSERT_TRUE(std::holds_alternative<SourceFont>(found));
            const SourceFont& font = std::get<SourceFont>(found);
            const TextBox box{drawn.width, drawn.height, kTinyAscent};
            EXPECT_EQ(ascii(gfx ? draw_gfx(*font.gfx, text, box) : draw_u8g2(font.u8g2, text, box)),
                      ascii(drawn));
            const auto sheet = font_sheet(font);
            ASSERT_TRUE(std::holds_alternative<Sheet>(sheet));
            EXPECT_EQ(std::get<Sheet>(sheet).glyphs, set.glyphs.size());
        }

        const std::u32string digits = U"12:34 Hagjy";
        const auto from_pcf = fonts::font_output(fixed, plan, digits);
        const Bitmap& pcf = *std::get<fonts::FontOutput>(from_pcf).preview;
        EXPECT_EQ(ascii(pcf),
                  ascii(draw_glyphs(fixed, digits, text_box(fixed, digits), cells ? 6 : 0)));
    }
}

// Each glyph of an outline font, cropped to its ink, as FreeType's monochrome rendering
// with its hinting gives it through Pillow.
TEST(FontFormats, OutlineGlyphsAreFreeTypesMonochromeRendering) {
    const auto font = file_bytes(kDejaVu);
    std::u32string ascii_chars;
    for (char32_t c = 33; c < 127; ++c)
        ascii_chars += c;
    for (const int size : {8, 11, 16, 24}) {
        SCOPED_TRACE(size);
        const GlyphSet set = read_set(font, ascii_chars, {.size = size});
        const auto pillow = run_shell(
            "/usr/bin/python3 -c \"from PIL import ImageFont\nf = ImageFont.truetype('" + kDejaVu +
            "', " + std::to_string(size) +
            ")\nfor c in range(33, 127):\n m = f.getmask(chr(c), mode='1')\n x0, y0, x1, y1 = "
            "m.getbbox()\n print(c, '/'.join(''.join('#' if m.getpixel((x, y)) else '.' for x "
            "in range(x0, x1)) for y in range(y0, y1)))\"");
        ASSERT_EQ(pillow.status, 0) << pillow.err;
        std::string ours;
        for (const Glyph& g : set.glyphs) {
            int x0 = g.bits.width, y0 = g.bits.height, x1 = 0, y1 = 0;
            for (int y = 0; y < g.bits.height; ++y)
                for (int x = 0; x < g.bits.width; ++x)
                    if (g.bits.at(x, y)) {
                        x0 = std::min(x0, x), y0 = std::min(y0, y);
                        x1 = std::max(x1, x + 1), y1 = std::max(y1, y + 1);
                    }
            ours += std::to_string(g.code) + " ";
            for (int y = y0; y < y1; ++y) {
                for (int x = x0; x < x1; ++x)
                    ours += g.bits.at(x, y) ? '#' : '.';
                ours += y + 1 < y1 ? "/" : "";
            }
            ours += "\n";
        }
        EXPECT_EQ(ours, pillow.out);
    }
}

// The MicroPython module run by Python with a framebuf made from its documentation
// (MONO_HLSB bit 7 the leftmost pixel, MONO_HMSB bit 0, MONO_VLSB bit 0 the top row), and
// the GFXfont compiled with gfxfont.h's structures and drawn as drawChar() and write() draw.
TEST(FontFormats, TheReadersDrawTheLine) {
    TempDir dir;
    const std::string bdf = dir.write("tiny.bdf", bytes_of(tiny_bdf()));
    const std::string framebuf =
        dir.write("framebuf.py", bytes_of(R"(MONO_VLSB, MONO_HLSB, MONO_HMSB = 0, 3, 4
class FrameBuffer:
    def __init__(s, b, w, h, f):
        s.b, s.w, s.h, s.f = b, w, h, f
    def pixel(s, x, y, c=None):
        if s.f == MONO_VLSB:
            i, bit = (y >> 3) * s.w + x, y & 7
        else:
            i, bit = y * ((s.w + 7) // 8) + x // 8, (7 - (x & 7)) if s.f == MONO_HLSB else x & 7
        if c is None:
            return (s.b[i] >> bit) & 1
        s.b[i] = (s.b[i] | (1 << bit)) if c else (s.b[i] & ~(1 << bit))
    def blit(s, src, x, y, key=-1):
        for yy in range(src.h):
            for xx in range(src.w):
                c = src.pixel(xx, yy)
                if c != key and 0 <= x + xx < s.w and 0 <= y + yy < s.h:
                    s.pixel(x + xx, y + yy, c)
)"));
    (void)framebuf;
    const std::u32string text = U"Hi: jig\u00B0";
    const Bitmap expected = tiny_line(text, 27, kTinyAscent + kTinyDescent);
    for (const char* layout : {"rows-msb", "rows-lsb", "pages-lsb"}) {
        const auto made =
            run_cli("font --target micropython --chars 32-126,0xB0 --missing skip --layout " +
                    std::string(layout) + " -o " + dir.path().string() + "/tiny.py " + bdf);
        ASSERT_EQ(made.status, 0) << made.err;
        const auto drawn = run_shell(
            "cd " + dir.path().string() +
            " && python3 -c \"import framebuf, tiny\nb = bytearray(27 * 9)\nfb = "
            "framebuf.FrameBuffer(b, 27, 9, framebuf.MONO_HLSB)\ntiny.text(fb, 'Hi: jig\\u00b0', "
            "0, 0)\nfor y in range(9):\n print(''.join('#' if fb.pixel(x, y) else '.' for x in "
            "range(27)))\"");
        EXPECT_EQ(drawn.out, ascii(expected)) << layout << drawn.err;
    }
    const std::string header = dir.write("Adafruit_GFX.h", bytes_of(R"(#include <stdint.h>
#define PROGMEM
typedef struct { uint16_t bitmapOffset; uint8_t width, height, xAdvance; int8_t xOffset, yOffset; } GFXglyph;
typedef struct { uint8_t *bitmap; GFXglyph *glyph; uint16_t first, last; uint8_t yAdvance; } GFXfont;
)"));
    dir.write("draw.cpp", bytes_of(R"c(#include "font.h"
#include <stdio.h>
static char canvas[9][28];
int main() {
    const GFXfont* f = &tiny;
    int cursor = 0;
    for (const unsigned char* p = (const unsigned char*)"Hi: jig\xB0"; *p; ++p) {
        if (*p < f->first || *p > f->last) continue;
        const GFXglyph* g = &f->glyph[*p - f->first];
        uint16_t bo = g->bitmapOffset;
        uint8_t bits = 0, bit = 0;
        if (g->width > 0 && g->height > 0)
            for (int yy = 0; yy < g->height; yy++)
                for (int xx = 0; xx < g->width; xx++) {
                    if (!(bit++ & 7)) bits = f->bitmap[bo++];
                    int x = cursor + g->xOffset + xx, y = 7 + g->yOffset + yy;
                    if ((bits & 0x80) && x >= 0 && x < 27 && y >= 0 && y < 9) canvas[y][x] = 1;
                    bits <<= 1;
                }
        cursor += g->xAdvance;
    }
    for (int y = 0; y < 9; ++y) {
        for (int x = 0; x < 27; ++x) putchar(canvas[y][x] ? '#' : '.');
        putchar('\n');
    }
}
)c"));
    const auto gfx =
        run_cli("font --target adafruit-gfx --chars 32-176 --missing skip --name tiny -o " +
                dir.path().string() + "/font.h " + bdf);
    ASSERT_EQ(gfx.status, 0) << gfx.err;
    const auto drawn =
        run_shell("cd " + dir.path().string() + " && g++ -I. -o draw draw.cpp && ./draw");
    EXPECT_EQ(drawn.out, ascii(expected)) << drawn.err;
    (void)header;

    // u8g2's decoder as its source reads a font: the glyphs up to 0xFF from the offsets of
    // 'A' and 'a', the others through the table of codes; each glyph's fields and runs.
    dir.write("U8g2lib.h", bytes_of("#include <stdint.h>\n#define U8G2_FONT_SECTION(name)\n"));
    dir.write("u8g2.c", bytes_of(R"c(#include "font.h"
#include <stdio.h>
#include <stdlib.h>
static const uint8_t* p;
static unsigned bit_pos;
static char canvas[64][512];
static unsigned bits(unsigned n) {
    unsigned v = *p >> bit_pos;
    if (bit_pos + n >= 8) { v |= (unsigned)p[1] << (8 - bit_pos); ++p; bit_pos += n - 8; } else bit_pos += n;
    return v & ((1u << n) - 1);
}
static int sbits(unsigned n) { return (int)bits(n) - (1 << (n - 1)); }
static unsigned word(const uint8_t* at) { return (unsigned)at[0] << 8 | at[1]; }
static const uint8_t* find(const uint8_t* f, unsigned e) {
    const uint8_t* g = f + 23;
    if (e <= 255) {
        g += e >= 'a' ? word(f + 19) : e >= 'A' ? word(f + 17) : 0;
        for (; g[1] != 0; g += g[1]) if (g[0] == e) return g + 2;
        return 0;
    }
    const uint8_t* table = g + word(f + 21);
    g = table;
    unsigned last;
    do { g += word(table); last = word(table + 2); table += 4; } while (last < e);
    for (; word(g) != 0; g += g[2]) if (word(g) == e) return g + 3;
    return 0;
}
int main(int argc, char** argv) { /* width height baseline code... */
    const uint8_t* f = tiny;
    int pen = 0, width = atoi(argv[1]), height = atoi(argv[2]), baseline = atoi(argv[3]);
    for (int i = 4; i < argc; ++i) {
        p = find(f, strtoul(argv[i], 0, 16));
        if (!p) continue;
        bit_pos = 0;
        int w = bits(f[4]), h = bits(f[5]), x = sbits(f[6]), y = sbits(f[7]), d = sbits(f[8]);
        if (w > 0) {
            int lx = 0, ly = 0, left = pen + x, top = baseline - (h + y);
            for (;;) {
                unsigned a = bits(f[2]), b = bits(f[3]);
                do {
                    for (unsigned k = 0; k < a + b; ++k) {
                        if (k >= a && top + ly >= 0 && left + lx >= 0) canvas[top + ly][left + lx] = 1;
                        if (++lx == w) { lx = 0; ++ly; }
                    }
                } while (bits(1));
                if (ly >= h) break;
            }
        }
        pen += d;
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) putchar(canvas[y][x] ? '#' : '.');
        putchar('\n');
    }
}
)c"));
    // The tiny font, and DejaVu Sans with hundreds of glyphs past 0xFF: several blocks.
    const auto dejavu = file_bytes(kDejaVu);
    std::vector<char32_t> dejavu_codes;
    for (char32_t c = 32; c < 0x500; ++c)
        dejavu_codes.push_back(c);
    const FontRead dejavu_set = read_font(dejavu, dejavu_codes, {.size = 12}, "DejaVu");
    const std::u32string tiny_text = U"Hi: jig\u00B0\u2026",
                         dejavu_text = U"Hello \u0416\u042F\u04E8";
    const struct {
        std::string options, font;
        std::u32string text;
        Bitmap expected;
    } u8g2_cases[] = {
        {"--chars 32-126,0xB0,0x2026", bdf, tiny_text, tiny_line(tiny_text, 33, 9)},
        {"--size 12 --chars 32-0x4FF", kDejaVu, dejavu_text,
         draw_glyphs(dejavu_set.set, dejavu_text, text_box(dejavu_set.set, dejavu_text))}};
    for (const auto& c : u8g2_cases) {
        const auto made = run_cli("font --target u8g2 --missing skip --name tiny " + c.options +
                                  " -o " + dir.path().string() + "/font.h " + c.font);
        ASSERT_EQ(made.status, 0) << made.err;
        char line[64];
        std::string args;
        for (const char32_t code : c.text) {
            std::snprintf(line, sizeof line, " %X", unsigned(code));
            args += line;
        }
        const int baseline = c.font == bdf ? kTinyAscent : dejavu_set.set.ascent;
        const auto drawn =
            run_shell("cd " + dir.path().string() + " && gcc -I. -o u8g2 u8g2.c && ./u8g2 " +
                      std::to_string(c.expected.width) + " " + std::to_string(c.expected.height) +
                      " " + std::to_string(baseline) + args);
        EXPECT_EQ(drawn.out, ascii(c.expected)) << c.options << drawn.err;
    }
}

// Bad fonts and options: a clear message and status, and the output file never made.
TEST(FontCommand, BadInputWritesNothing) {
    TempDir dir;
    const std::string d = dir.path().string() + "/";
    const auto dejavu = file_bytes(kDejaVu), fixed = file_bytes(kFixed);
    dir.write("cut.ttf", {dejavu.begin(), dejavu.begin() + 3000});
    std::vector<std::uint8_t> damaged = dejavu;
    for (std::size_t i = 12; i < 400; ++i)
        damaged[i] = std::uint8_t(i * 37);
    dir.write("damaged.ttf", damaged);
    dir.write("empty.ttf", {});
    dir.write("cut.pcf.gz", {fixed.begin(), fixed.begin() + std::ptrdiff_t(fixed.size() / 2)});
    dir.write("none.bdf", bytes_of(tiny_bdf(0)));
    dir.write("tiny.bdf", bytes_of(tiny_bdf()));
    const struct {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"--size 12 " + d + "cut.ttf", 1, "cannot be read as a font"},
        {"--size 12 " + d + "damaged.ttf", 1, "cannot be read as a font"},
        {"--size 12 " + d + "empty.ttf", 1, "the file is empty"},
        {d + "cut.pcf.gz", 1, "cut short or damaged"},
        {d + "none.bdf", 1, "it maps no character to a glyph"},
        {d + "missing.ttf", 1, "cannot open"},
        {kDejaVu, 1, "give the pixel size"},
        {"--size 3 " + kDejaVu, 2, "--size takes a pixel size from 4 to 255"},
        {"--size 256 " + kDejaVu, 2, "--size takes"},
        {"--size 12 " + d + "tiny.bdf", 1, "drawn at 9 px only"},
        {"--size 12 --chars 0-1000000 " + kDejaVu, 2, "asks for 1000001 characters"},
        {"--size 12 --chars 90-80 " + kDejaVu, 2, "ends before it starts"},
        {"--size 12 --chars 0x110000 " + kDejaVu, 2, "no code point"},
        {"--size 12 --text \"$(printf '\\303\\050')\" " + kDejaVu, 2, "not valid UTF-8"},
        {"--size 12 --text \"$(printf '\\355\\240\\200')\" " + kDejaVu, 2, "not valid UTF-8"},
        {"--size 12 --threshold 9 " + kDejaVu, 2, "--threshold goes with --antialias"},
        {"--size 12 --hinting light " + kDejaVu, 2, "--hinting takes mono or none"},
        {"--chars 65-70 " + d + "tiny.bdf", 1,
         "lacks 6 of the characters asked for: U+0041 'A', U+0042 'B', U+0043 'C', U+0044 'D', "
         "U+0045 'E', U+0046 'F'; nothing is written"},
        {"--text \"$(printf '\\344\\270\\200')\" --missing skip " + d + "tiny.bdf", 1,
         "no character asked for"},
        {"--size 100 --chars 0x2026 " + kDejaVu, 1, "adafruit-gfx takes codes up to 0xFF"},
        {"--compress rle " + d + "tiny.bdf", 2, "adafruit-gfx has a format of its own"},
        {"--compress rle --style python " + d + "tiny.bdf", 2, "it takes --style c, arduino"},
        {"--compress lz4 " + d + "tiny.bdf", 2, "--compress takes rle"},
    };
    for (const auto& c : cases) {
        const bool gfx = c.message.find("adafruit") != std::string::npos;
        const auto run = run_cli("font --target " + std::string(gfx ? "adafruit-gfx" : "rows-msb") +
                                 " -o " + d + "out.h " + c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << "\n" << run.err;
        EXPECT_FALSE(std::filesystem::exists(d + "out.h")) << c.args;
    }
}

// Fonts in C source as compilers read them: comments, casts, string literals, signs; and
// damaged declarations refused with what is wrong.
TEST(FontSource, DeclarationsReadAsTheCompilerReadsThem) {
    const std::string gfx_tail =
        "const GFXfont F PROGMEM = {(uint8_t *)B, (GFXglyph *)G, 0x41, 0x42, 9};\n";
    const struct {
        std::string source;
        std::string name_or_error; // the font's name, or a part of the message
        std::size_t glyphs = 0;
    } cases[] = {
        {"const uint8_t B[] = {0xF0, 0b1001 /* } */, 07};\n// 0x7B '{'\n"
         "const GFXglyph G[] = {{0, 2, 2, 3, 0, -2}, /* '}' */ {1, 4, 2, 5, -1, -2}};\n" +
             gfx_tail,
         "F", 2},
        {"const uint8_t f[36] U8G2_FONT_SECTION(\"f\") =\n"
         "  \"\\1\\0\\2\\2\\3\\3\\2\\2\\3\\1\\1\\0\\0\\1\\0\\1\\0\\0\\0\\0\\0\\0\\7\"\n"
         "  \"A\\5\\x89\\x9a\\0\\0\\0\\0\\4\\377\\377\\0\\0\";\n",
         "f", 1},
        {"const uint8_t B[] = {0xF0};\nconst GFXglyph G[] = {{0, 2, 2, 3, 0, -2}, {1, 4, 2, 5, -1, "
         "-2}};\n" +
             gfx_tail,
         "past the end of B"},
        {"const uint8_t B[] = {0xF0, 1};\nconst GFXglyph G[] = {{0, 2, 2, 3, 0, -2}};\n" + gfx_tail,
         "G holds 1 glyphs where F reads 2"},
        {"const uint8_t B[] = {0x1F0};\n" + gfx_tail, "are not both declared"},
        {"const uint8_t x[] = {1, 2};\n", "no GFXfont and no u8g2 font"},
        {"/* never closed", "a comment is not closed"},
        {"const uint8_t f[] U8G2_FONT_SECTION(\"f\") = \"\\x100\";", "string literal"},
    };
    for (const auto& c : cases) {
        const auto found = find_source_font(c.source, {});
        if (!c.glyphs) {
            ASSERT_TRUE(std::holds_alternative<std::string>(found)) << c.source;
            EXPECT_NE(std::get<std::string>(found).find(c.name_or_error), std::string::npos)
                << std::get<std::string>(found);
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<SourceFont>(found)) << std::get<std::string>(found);
        EXPECT_EQ(std::get<SourceFont>(found).name, c.name_or_error);
        const auto sheet = font_sheet(std::get<SourceFont>(found));
        ASSERT_TRUE(std::holds_alternative<Sheet>(sheet)) << std::get<std::string>(sheet);
        EXPECT_EQ(std::get<Sheet>(sheet).glyphs, c.glyphs);
    }
}

// render --font and preview --font: what they draw, and what they refuse with nothing written.
TEST(FontCommand, SheetsAndTerminalLines) {
    TempDir dir;
    const std::string d = dir.path().string() + "/",
                      bdf = dir.write("tiny.bdf", bytes_of(tiny_bdf()));
    dir.write("plain.h", bytes_of("const unsigned char x[] = {1, 2};\n"));
    ASSERT_EQ(run_cli("font --target u8g2 --missing skip -o " + d + "u8g2.h " + bdf).status, 0);
    const struct {
        std::string args;
        int status;
        std::string out_or_message; // standard output when 0, else a part of the message
    } cases[] = {
        {"preview --ascii --font " + bdf + " --target rows-msb --text Hi --preview-text iH", 0,
         "..........\n..........\n#....#..#.\n.....#..#.\n#....####.\n#....#..#.\n"
         "#....#..#.\n..........\n..........\n"},
        {"render --font " + d + "u8g2.h " + d + "out.png", 0, ""},
        {"render --font " + d + "plain.h " + d + "out.png", 1, "no GFXfont and no u8g2 font"},
        {"render --font " + d + "none.h " + d + "out.png", 1, "cannot open"},
        {"render --font " + d + "u8g2.h", 2, "takes one picture file to write"},
        {"render --font " + d + "u8g2.h --name other " + d + "out.png", 1, "no GFXfont or u8g2"},
        {"preview --font " + bdf + " --target rows-msb --text Hi --preview-text j", 1,
         "the preview text holds no character"},
        {"preview --font " + bdf + " --target rows-msb " + bdf, 2, "takes no picture"},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(d + "out.png");
        const auto run = run_cli(c.args);
        EXPECT_EQ(run.status, c.status) << c.args << "\n" << run.err;
        if (c.status == 0) {
            EXPECT_EQ(run.out, c.out_or_message) << c.args;
            continue;
        }
        EXPECT_NE(run.err.find(c.out_or_message), std::string::npos) << c.args << "\n" << run.err;
        EXPECT_FALSE(std::filesystem::exists(d + "out.png")) << c.args;
    }
    EXPECT_TRUE(std::filesystem::exists(d + "u8g2.h"));
}

// The engine's font call, as a front end without a command line gives it options: the very
// text the command writes, or its refusal with the command's message and kind.
TEST(FontCommand, TheEngineCallWritesWhatTheCommandDoes) {
    TempDir dir;
    const std::string bdf = dir.write("tiny.bdf", bytes_of(tiny_bdf()));
    const auto bytes = bytes_of(tiny_bdf());
    const std::pair<engine::Options, std::string> runs[] = {
        {{{"target", "u8g2"}, {"missing", "skip"}}, "--target u8g2 --missing skip"},
        {{{"target", "pages-lsb"}, {"text", "Hi:"}, {"compress", "rle"}, {"style", "arduino"}},
         "--target pages-lsb --text Hi: --compress rle --style arduino"},
        {{{"target", "u8g2"}, {"text", "Hi"}, {"compress", "rle"}},
         "--target u8g2 --text Hi --compress rle"},
        {{{"target", "rows-msb"}, {"chars", "65"}}, "--target rows-msb --chars 65"},
        {{{"target", "rows-msb"}, {"colour", "red"}}, "--target rows-msb --colour red"},
    };
    for (const auto& [options, args] : runs) {
        const engine::FontMade made = engine::font(options, bytes, bdf);
        const auto cli = run_cli("font " + args + " " + bdf);
        EXPECT_EQ(made.ok() ? 0 : made.fault == engine::Fault::usage ? 2 : 1, cli.status) << args;
        if (made.ok()) {
            EXPECT_EQ(made.data, cli.out) << args;
            continue;
        }
        EXPECT_NE(cli.err.find(*made.error), std::string::npos) << args << "\n" << cli.err;
    }
}

TEST(FontCommand, MissingCharactersCanBeLeftOut) {
    TempDir dir;
    const std::string bdf = dir.write("tiny.bdf", bytes_of(tiny_bdf()));
    // A glyph that gives its box but no BITMAP lines is drawn blank.
    std::string no_bitmap = tiny_bdf();
    no_bitmap.erase(no_bitmap.find("BITMAP\n90"), 22);
    const auto blank =
        run_cli("font --target rows-msb --text H " + dir.write("blank.bdf", bytes_of(no_bitmap)));
    EXPECT_EQ(blank.status, 0) << blank.err;
    EXPECT_NE(blank.out.find("0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,\n}"),
              std::string::npos)
        << blank.out;

    const auto run = run_cli(
        "font --target rows-msb --style python --chars 72,105,106,74 --missing skip " + bdf);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("lacks 1 of the characters asked for: U+004A 'J'; they are left out"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("tiny_codes = (\n    72, 105, 106,\n)"), std::string::npos) << run.out;
}

TEST(FontCharacters, RangesAndText) {
    const struct {
        std::string ranges;
        std::size_t count; // 0: refused
        char32_t last;
    } cases[] = {{"32-126", 95, 126},
                 {"32-126,0xB0,0x2026", 97, 0x2026},
                 {"65,65,0x41,U+0041", 1, 65},
                 {"0xD7FF-0xE000", 2, 0xE000}, // the surrogates are no characters
                 {"0-65535", 63488, 0xFFFF},
                 {"0-65536", 0, 0},
                 {"", 0, 0},
                 {"32-", 0, 0},
                 {"x", 0, 0},
                 {"0x1F600", 1, 0x1F600}};
    for (const auto& c : cases) {
        const Characters got = parse_ranges(c.ranges);
        const auto* codes = std::get_if<std::vector<char32_t>>(&got);
        EXPECT_EQ(codes ? codes->size() : 0, c.count) << c.ranges;
        if (codes && !codes->empty()) {
            EXPECT_EQ(codes->back(), c.last) << c.ranges;
        }
    }
    const Characters text = characters_of_text("12:34 \xC2\xB0\xF0\x9F\x98\x80 43");
    EXPECT_EQ(std::get<std::vector<char32_t>>(text),
              (std::vector<char32_t>{' ', '1', '2', '3', '4', ':', 0xB0, 0x1F600}));
    for (const char* bad : {"\xC0\x80", "\xE2\x82", "\xF4\x90\x80\x80", "\x80"})
        EXPECT_FALSE(decode_utf8(bad)) << bad;
}

} // namespace
