// The font command and its views: bad fonts and options refused with nothing written, font
// sheets and terminal lines, the engine's call against the command, the characters asked for.
#include "engine/font.h"
#include "font_fixture.h"
#include "fonts/characters.h"
#include "fonts/font_sheet.h"
#include "fonts/u8g2_font.h"

namespace {

using namespace dotlane;
using namespace dotlane::fonts;
using namespace dotlane::test;

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
    // A u8g2 header whose field widths no font of the format has (1 to 8 bits) draws nothing,
    // where reading 40-bit fields would shift past an int; the sound one draws its pixel.
    std::vector<std::uint8_t> one =
        std::get<SourceFont>(find_source_font(cases[1].source, {})).u8g2;
    const TextBox box{4, 4, 3, 1};
    EXPECT_EQ(ascii(draw_u8g2(one, U"A", box)), "....\n....\n.#..\n....\n");
    one[4] = 40;
    EXPECT_EQ(ascii(draw_u8g2(one, U"A", box)), "....\n....\n....\n....\n");
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
        {"render -o --font=" + d + "u8g2.h " + d + "out.png", 2, "needs the font's file"},
        {"render --font " + d + "u8g2.h --name other " + d + "out.png", 1, "no GFXfont or u8g2"},
        {"preview --font " + bdf + " --target rows-msb --text Hi --preview-text j", 1,
         "the preview text holds no character"},
        {"preview --font " + bdf + " --target rows-msb " + bdf, 2, "takes no picture"},
        {"preview --target rows-msb --preview-text --font=" + bdf, 2, "needs the font's file"},
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
