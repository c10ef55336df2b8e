// The font formats: every format's data drawn back by its reader's rules equals the font's
// own glyphs; outline glyphs equal FreeType's monochrome rendering as Pillow gives it; the
// declarations read back from C source as render --font reads them.
#include "font_fixture.h"
#include "fonts/font_outputs.h"
#include "fonts/font_sheet.h"
#include "fonts/u8g2_font.h"

namespace {

using namespace dotlane;
using namespace dotlane::fonts;
using namespace dotlane::test;

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

} // namespace
