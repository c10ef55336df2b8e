// The layouts of more than one bit: each target's declaration read by a reader of the format
// its controller or library documents gives the picture reduced as docs/colour.md states it;
// render and check read the bytes back; options that do not apply are refused with nothing
// written; the library takes pixels as dotlane-cli takes files.
#include <QImage>
#include <array>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "cli_runner.h"
#include "engine/dotlane.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

constexpr int kW = 13, kH = 6;

// Saturated primaries, a gradient, greys and partly transparent pixels: every channel and
// the alpha vary. Odd width, so the rows of packed levels end part way through a byte.
QColor colour_at(int x, int y) {
    static const QColor kPrimaries[] = {Qt::red,     Qt::green,  Qt::blue,  Qt::cyan,
                                        Qt::magenta, Qt::yellow, Qt::black, Qt::white};
    if (y < 2) return kPrimaries[(x + y) % 8];
    if (y < 4) return QColor(x * 19, 255 - x * 17, (x * 41 + y * 7) % 256);
    return QColor(200 - x * 9, 40 + x * 11, 90, (x * 21 + y * 40) % 256);
}

std::string colour_png(const TempDir& dir) {
    QImage image(kW, kH, QImage::Format_RGBA8888);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            image.setPixelColor(x, y, colour_at(x, y));
    const std::string path = (dir.path() / "colours.png").string();
    EXPECT_TRUE(image.save(QString::fromStdString(path), "PNG"));
    return path;
}

// The pixel laid over white, each channel, then its luminance: docs/colour.md.
std::array<int, 3> over_white(int x, int y) {
    const QColor c = colour_at(x, y);
    const int a = c.alpha();
    const auto lay = [&](int v) { return (v * a + 255 * (255 - a) + 127) / 255; };
    return {lay(c.red()), lay(c.green()), lay(c.blue())};
}
int grey_over_white(int x, int y) {
    const QColor c = colour_at(x, y);
    const int l = (299 * c.red() + 587 * c.green() + 114 * c.blue() + 500) / 1000;
    return (l * c.alpha() + 255 * (255 - c.alpha()) + 127) / 255;
}

// The entries of the first brace list: bytes, or 16-bit words.
std::vector<unsigned> entries(const std::string& text) {
    std::vector<unsigned> found;
    const std::string list = text.substr(text.find('{'));
    for (auto at = list.find("0x"); at != std::string::npos; at = list.find("0x", at + 2))
        found.push_back(unsigned(std::stoul(list.substr(at + 2, 8), nullptr, 16)));
    return found;
}

// Each target's format as its documentation gives it, read back to one value a pixel: the
// 4-bit level (high nibble the left pixel), the 8-bit grey, or the RGB565 word (the high
// byte first on the wire; the uint16_t value in an array).
// The e-paper planes: the black one, then the red one, rows-msb, a clear bit the ink; read
// back as 0 black, 1 white, 2 red.
// Adafruit GFX's mask: rows-msb bits, a set bit drawn.
// GxEPD2_4G's buffer: 2 bits a pixel, the first in bits 7-6, 0 black; its writeImage_4G sends
// the controller a first plane set for white and light grey, a second set for white and dark
// grey (both inverted for the SSD16xx): read back as the 2-bit level.
// LVGL's images (NAME_map, as its decoders read them): RGB565 as lv_color16_t, the low byte
// first; 8-bit alpha; lv_color_t of LVGL 9's RGB888 (blue, green, red) and lv_color32_t
// (blue, green, red, alpha); RGB565A8's plane of RGB565 then its plane of alpha; LVGL 8's
// lv_color16_t followed by its alpha; the indices into a palette of 256 lv_color32_t. The
// ones with alpha hold the colour as it is, not laid over anything: read back with it.
enum class Format {
    nibbles,
    grey8,
    wire565,
    words565,
    planes,
    mask,
    crumbs,
    grey_planes,
    inverse,
    le565,
    alpha8,
    bgr888,
    bgra8888,
    planar565a8,
    packed565a8,
    indexed8
};
unsigned rgba_word(unsigned r, unsigned g, unsigned b, unsigned a) {
    return r << 24 | g << 16 | b << 8 | a;
}
unsigned rgb565(int r, int g, int b) {
    return unsigned((r & 0xF8) << 8 | (g & 0xFC) << 3 | b >> 3);
}
unsigned le16(const std::vector<unsigned>& e, std::size_t at) {
    return e[at] | e[at + 1] << 8;
}
unsigned read_pixel(const std::vector<unsigned>& e, Format f, int x, int y) {
    switch (f) {
    case Format::nibbles:
        return e[std::size_t(y * ((kW + 1) / 2) + x / 2)] >> (x % 2 ? 0 : 4) & 15;
    case Format::grey8:
    case Format::words565:
        return e[std::size_t(y * kW + x)];
    case Format::wire565:
        return e[std::size_t(2 * (y * kW + x))] << 8 | e[std::size_t(2 * (y * kW + x) + 1)];
    case Format::mask:
        return e[std::size_t(y * ((kW + 7) / 8) + x / 8)] >> (7 - x % 8) & 1;
    case Format::planes: {
        const std::size_t at = std::size_t(y * ((kW + 7) / 8) + x / 8), plane = (kW + 7) / 8 * kH;
        const unsigned bit = 0x80u >> (x % 8);
        return !(e[at] & bit) ? 0 : !(e[plane + at] & bit) ? 2 : 1;
    }
    case Format::crumbs:
        return e[std::size_t(y * ((kW + 3) / 4) + x / 4)] >> (6 - 2 * (x % 4)) & 3;
    case Format::le565:
        return le16(e, std::size_t(2 * (y * kW + x)));
    case Format::alpha8:
        return e[std::size_t(y * kW + x)];
    case Format::bgr888: {
        const std::size_t at = std::size_t(3 * (y * kW + x));
        return e[at + 2] << 16 | e[at + 1] << 8 | e[at];
    }
    case Format::bgra8888: {
        const std::size_t at = std::size_t(4 * (y * kW + x));
        return rgba_word(e[at + 2], e[at + 1], e[at], e[at + 3]);
    }
    case Format::planar565a8:
        return le16(e, std::size_t(2 * (y * kW + x))) << 8 |
               e[std::size_t(2 * kW * kH + y * kW + x)];
    case Format::packed565a8: {
        const std::size_t at = std::size_t(3 * (y * kW + x));
        return le16(e, at) << 8 | e[at + 2];
    }
    case Format::indexed8: {
        const std::size_t at = 4 * std::size_t(e[std::size_t(1024 + y * kW + x)]);
        return rgba_word(e[at + 2], e[at + 1], e[at], e[at + 3]);
    }
    case Format::grey_planes:
    case Format::inverse: {
        const std::size_t at = std::size_t(y * ((kW + 7) / 8) + x / 8), plane = (kW + 7) / 8 * kH;
        const unsigned bit = 0x80u >> (x % 8), flip = f == Format::inverse ? bit : 0;
        const bool light = (e[at] ^ flip) & bit, white_or_dark = (e[plane + at] ^ flip) & bit;
        return (light ? 2u : 0u) + (white_or_dark ? 1u : 0u);
    }
    }
    return 0;
}
unsigned reduced(Format f, int x, int y) {
    const auto [r, g, b] = over_white(x, y);
    switch (f) {
    case Format::nibbles:
        return unsigned(grey_over_white(x, y)) >> 4;
    case Format::grey8:
        return unsigned(grey_over_white(x, y));
    case Format::crumbs:
    case Format::grey_planes:
    case Format::inverse:
        return unsigned(grey_over_white(x, y)) >> 6;
    case Format::mask:
        return colour_at(x, y).alpha() >= 128;
    case Format::alpha8:
        return unsigned(colour_at(x, y).alpha());
    case Format::bgr888:
        return unsigned(r << 16 | g << 8 | b);
    case Format::bgra8888:
    case Format::indexed8: {
        const QColor c = colour_at(x, y);
        return rgba_word(unsigned(c.red()), unsigned(c.green()), unsigned(c.blue()),
                         unsigned(c.alpha()));
    }
    case Format::planar565a8:
    case Format::packed565a8: {
        const QColor c = colour_at(x, y);
        return rgb565(c.red(), c.green(), c.blue()) << 8 | unsigned(c.alpha());
    }
    case Format::planes: { // the nearest of black, white and red, the earlier on a tie
        const int palette[3][3] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}};
        unsigned best = 0;
        int least = 1 << 30;
        for (unsigned k = 0; k < 3; ++k) {
            const int d = (r - palette[k][0]) * (r - palette[k][0]) +
                          (g - palette[k][1]) * (g - palette[k][1]) +
                          (b - palette[k][2]) * (b - palette[k][2]);
            if (d < least) best = k, least = d;
        }
        return best;
    }
    default:
        return rgb565(r, g, b);
    }
}

TEST(Colour, EachTargetReadsAsThePictureReduced) {
    TempDir dir;
    const std::string png = colour_png(dir);
    const std::pair<const char*, Format> targets[] = {
        {"ssd1322", Format::nibbles},
        {"ssd1327", Format::nibbles},
        {"st7735", Format::wire565},
        {"st7789", Format::wire565},
        {"ili9341", Format::wire565},
        {"adafruit-gfx-rgb565", Format::words565},
        {"tft-espi", Format::words565},
        {"adafruit-gfx-grey", Format::grey8},
        {"gxepd2-bwr", Format::planes},
        {"adafruit-gfx-mask", Format::mask},
        {"lvgl8-a1", Format::mask},
        {"gxepd2-4g", Format::crumbs},
        {"uc81xx-4grey", Format::grey_planes},
        {"ssd16xx-4grey", Format::inverse},
        {"lvgl9-rgb565", Format::le565},
        {"lvgl8-rgb565", Format::le565},
        {"lvgl9-l8", Format::grey8},
        {"lvgl9-a8", Format::alpha8},
        {"lvgl8-a8", Format::alpha8},
        {"lvgl9-rgb888", Format::bgr888},
        {"lvgl9-argb8888", Format::bgra8888},
        {"lvgl8-argb8888", Format::bgra8888},
        {"lvgl9-rgb565a8", Format::planar565a8},
        {"lvgl8-rgb565a8", Format::packed565a8},
        {"lvgl9-i8", Format::indexed8},
        {"lvgl8-i8", Format::indexed8},
    };
    for (const auto& [target, format] : targets) {
        SCOPED_TRACE(target);
        const CliRun run = run_cli(std::string("convert --target ") + target + " " + png);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<unsigned> e = entries(run.out);
        EXPECT_EQ(run.out.find("uint16_t") != std::string::npos, format == Format::words565);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                ASSERT_EQ(read_pixel(e, format, x, y), reduced(format, x, y)) << x << "," << y;
        // check reads the declaration back, 16-bit entries included.
        const std::string h = dir.write(std::string(target) + ".h", as_bytes(run.out));
        const CliRun checked =
            run_cli(std::string("check --target ") + target + " --input c " + png + " " + h);
        EXPECT_EQ(checked.status, 0) << checked.out << checked.err;
    }
}

// Rounding takes the nearest level, (v (2^n - 1) + 127) / 255; read back, each level spreads
// over 0..255 as k 255 / (2^n - 1), rounded, so render paints what the glass shows.
TEST(Colour, RenderPaintsTheLevelsAndCheckComparesTheColoursShown) {
    TempDir dir;
    const std::string png = colour_png(dir), bin = (dir.path() / "c.bin").string();
    const std::string out = (dir.path() / "back.png").string();
    ASSERT_EQ(
        run_cli("convert --layout rgb332 --reduce round --style bin -o " + bin + " " + png).status,
        0);
    const CliRun rendered =
        run_cli("render --layout rgb332 --width 13 --height 6 --input bin -o " + out + " " + bin);
    ASSERT_EQ(rendered.status, 0) << rendered.err;
    const QImage back(QString::fromStdString(out));
    ASSERT_EQ(back.size(), QSize(kW, kH));
    const int tops[] = {7, 7, 3};
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const auto v = over_white(x, y);
            const QColor c = back.pixelColor(x, y);
            const int shown[] = {c.red(), c.green(), c.blue()};
            for (int k = 0; k < 3; ++k) {
                const int level = (v[std::size_t(k)] * tops[k] + 127) / 255;
                ASSERT_EQ(shown[k], (level * 255 + tops[k] / 2) / tops[k]) << x << "," << y;
            }
        }
    // An array edited after convert, checked against its picture. i8: a table of 256 entries
    // (B, G, R, A) in the order the colours are first met, so red is 0 and green 1, green on
    // the pixels 1,0 9,0 0,1 8,1; the picture's colours leave 255 unused. An array whose pixels
    // show the same colours agrees and renders the same picture, whatever its table's order.
    using Bytes = std::vector<std::uint8_t>;
    const auto swap_red_and_green = [](Bytes& b) {
        std::swap_ranges(b.begin(), b.begin() + 4, b.begin() + 4);
        for (std::size_t i = 1024; i < b.size(); ++i)
            b[i] = b[i] < 2 ? std::uint8_t(1 - b[i]) : b[i];
    };
    const struct {
        const char* options;
        std::function<void(Bytes&)> edit;
        int status;
        std::vector<std::string> says;
    } edits[] = {
        {"--layout rgb332 --reduce round",
         [](Bytes& b) { b[5] ^= 0x20; },
         1,
         {"differs from", "in 1 of 78 pixels"}},
        {"--layout i8",
         swap_red_and_green,
         0,
         {"agrees with", "The colour table of", "makes in entries 0, 1, yet every pixel shows"}},
        {"--target lvgl9-i8",
         [](Bytes& b) { b[4 + 2] = 0x80; },
         1,
         {"in 4 of 78 pixels (13 x 6 pixels in i8); x,y of the first: 1,0 9,0 0,1 8,1\n",
          "makes in entry 1.\n"}},
        {"--layout i8",
         [](Bytes& b) { b[4 * 255 + 3] = 0xFF; },
         0,
         {"agrees with", "makes in entry 255, which no pixel uses.\n"}},
    };
    for (const auto& row : edits) {
        SCOPED_TRACE(row.options);
        ASSERT_EQ(
            run_cli(std::string("convert --style bin -o ") + bin + " " + row.options + " " + png)
                .status,
            0);
        const std::string edited = (dir.path() / "edited.bin").string();
        Bytes bytes = read_file(bin);
        row.edit(bytes);
        write_file(edited, bytes);
        const CliRun checked =
            run_cli(std::string("check --input bin ") + row.options + " " + png + " " + edited);
        EXPECT_EQ(checked.status, row.status) << checked.out;
        for (const std::string& says : row.says)
            EXPECT_NE(checked.out.find(says), std::string::npos) << checked.out;
        if (row.status) continue;
        const std::string size = " --width 13 --height 6 --input bin -o ", before = out + ".png";
        ASSERT_EQ(run_cli("render " + std::string(row.options) + size + before + " " + bin).status,
                  0);
        ASSERT_EQ(run_cli("render " + std::string(row.options) + size + out + " " + edited).status,
                  0);
        EXPECT_EQ(QImage(QString::fromStdString(out)), QImage(QString::fromStdString(before)));
    }
}

TEST(Colour, RefusesWhatDoesNotApplyAndWritesNothing) {
    TempDir dir;
    const std::string png = colour_png(dir), out = (dir.path() / "out.h").string();
    const std::string two = dir.write("two.bin", {0xF8, 0x00});
    const std::string words = dir.write("w.h", as_bytes("const uint16_t w[] = {0x10000};"));
    struct Row {
        std::string args;
        int status;
        const char* says;
    };
    const Row rows[] = {
        {"convert --layout rgb565 --threshold 100 " + png, 2,
         "--threshold applies to the layouts of one bit"},
        {"convert --target ssd1322 --ink light " + png, 2, "--ink applies"},
        {"convert --layout grey4-msb --invert-colors " + png, 2, "--invert-colors applies"},
        {"convert --layout rgb565 --size 0x5 " + png, 2, "--size takes WxH"},
        {"convert --layout rgb565 --frames " + png, 2, "--frames lists in the layouts of one bit"},
        {"convert --layout rows-msb --reduce round " + png, 2,
         "--reduce applies to the layouts of more than one bit"},
        {"convert --layout rgb565 --reduce nearest " + png, 2, "--reduce takes truncate or round"},
        {"convert --layout rgb565 --reduce round --dither bayer4 " + png, 2, "exclude each other"},
        {"convert --target gxepd2-bwy --reduce round " + png, 2, "nearest colour of its palette"},
        {"convert --layout a8 --background black " + png, 2, "keeps the alpha itself"},
        {"convert --layout i4 " + png, 1, "holds more than 16 colours, which i4 cannot index"},
        {"convert --layout i8 --dither bayer4 " + png, 2, "keeps the picture's own colours"},
        {"convert --layout rgb555 " + png, 2, "of more than one bit grey2-msb"},
        {"render --layout rgb565 --width 13 " + png, 2, "needs --width and --height"},
        {"render --layout rgb565 --width 2 --height 1 --ink light --input bin " + png, 2,
         "--ink applies"},
        {"render --layout rgb565 --width 1 --height 1 --input bin " + png, 1, "more than the 2"},
        {"render --layout rgb565 --width 1 --height 1 --input bin " + two, 2, "as a PNG file"},
        {"render --layout rgb565-le --width 1 --height 1 --input c " + words, 1, "over 0xFFFF"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args);
        const CliRun run = run_cli(row.args + " -o " + out);
        EXPECT_EQ(run.status, row.status);
        EXPECT_NE(run.err.find(row.says), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(out));
    }
}

TEST(Colour, TheLibraryTakesPixelsAsTheCommandLineTakesFiles) {
    TempDir dir;
    const std::string png = colour_png(dir);
    std::vector<std::uint8_t> rgba;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const QColor c = colour_at(x, y);
            rgba.insert(rgba.end(), {std::uint8_t(c.red()), std::uint8_t(c.green()),
                                     std::uint8_t(c.blue()), std::uint8_t(c.alpha())});
        }
    engine::MemoryPictures pictures;
    pictures.add_rgba(png, kW, kH, rgba, read_file(png).size());
    for (const char* layout : {"rgb565", "grey2-lsb", "rgb888"})
        for (const char* dither : {"", "floyd-steinberg", "atkinson", "bayer8"}) {
            SCOPED_TRACE(std::string(layout) + " " + dither);
            engine::Options options{{"layout", layout}, {"style", "c"}};
            if (*dither) options.push_back({"dither", dither});
            const engine::ConvertedText made = engine::convert_to_text(options, {png}, pictures);
            ASSERT_TRUE(made.ok()) << *made.error;
            const CliRun run =
                run_cli(std::string("convert --style c --layout ") + layout +
                        (*dither ? std::string(" --dither ") + dither : "") + " " + png);
            EXPECT_EQ(made.text, run.out);
            EXPECT_EQ(made.colours.width, kW);
        }
}

// At scale 4 and more a dot is a square inside one-pixel black lines; a TFT shows the colour
// the bytes hold.
TEST(Colour, APreviewShowsTheGlassColours) {
    TempDir dir;
    const std::string png = colour_png(dir), preview = (dir.path() / "p.png").string();
    ASSERT_EQ(run_cli("convert --target st7789 --preview " + preview + " --preview-scale 4 " + png)
                  .status,
              0);
    const QImage shown(QString::fromStdString(preview));
    ASSERT_EQ(shown.size(), QSize(kW * 4 + 1, kH * 4 + 1));
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(2, 2), QColor(Qt::red));   // pixel 0,0: pure red
    EXPECT_EQ(shown.pixelColor(6, 2), QColor(Qt::green)); // pixel 1,0
    EXPECT_EQ(shown.pixelColor(2, 6), QColor(Qt::green)); // pixel 0,1
}

} // namespace

namespace {

// LVGL's image types as its headers declare them (little-endian layout of the bit fields), so
// the descriptors compile as they would against LVGL itself.
constexpr const char* kLvglStub = R"(#include <stdint.h>
#define LV_IMAGE_HEADER_MAGIC 0x19
enum { LV_COLOR_FORMAT_L8 = 0x06, LV_COLOR_FORMAT_A8 = 0x0E, LV_COLOR_FORMAT_RGB565 = 0x12,
       LV_COLOR_FORMAT_RGB888 = 0x0F, LV_COLOR_FORMAT_ARGB8888 = 0x10,
       LV_COLOR_FORMAT_RGB565A8 = 0x14,
       LV_COLOR_FORMAT_A2 = 0x0C, LV_COLOR_FORMAT_I8 = 0x0A };
enum { LV_IMG_CF_TRUE_COLOR = 4, LV_IMG_CF_TRUE_COLOR_ALPHA = 5, LV_IMG_CF_INDEXED_8BIT = 10, LV_IMG_CF_ALPHA_1BIT = 11, LV_IMG_CF_ALPHA_2BIT = 12,
       LV_IMG_CF_ALPHA_4BIT = 13, LV_IMG_CF_ALPHA_8BIT = 14 };
typedef struct {
    uint32_t magic : 8; uint32_t cf : 8; uint32_t flags : 16;
    uint32_t w : 16; uint32_t h : 16; uint32_t stride : 16; uint32_t reserved_2 : 16;
} lv_image_header_t;
typedef struct {
    lv_image_header_t header; uint32_t data_size; const uint8_t* data; const void* reserved;
} lv_image_dsc_t;
typedef struct {
    uint32_t cf : 5; uint32_t always_zero : 3; uint32_t reserved : 2; uint32_t w : 11; uint32_t h : 11;
} lv_img_header_t;
typedef struct { lv_img_header_t header; uint32_t data_size; const uint8_t* data; } lv_img_dsc_t;
)";

TEST(Colour, LvglDescriptorsCompileAndDescribeTheirBytes) {
    TempDir dir;
    const std::string png = colour_png(dir);
    dir.write("lvgl.h", as_bytes(kLvglStub));
    // target, the format's value, the bytes a row
    const std::tuple<const char*, int, int> rows[] = {
        {"lvgl9-rgb565", 0x12, 2 * kW}, {"lvgl9-l8", 0x06, kW},
        {"lvgl9-a8", 0x0E, kW},         {"lvgl8-rgb565", 4, 2 * kW},
        {"lvgl8-a8", 14, kW},           {"lvgl9-rgb888", 0x0F, 3 * kW},
        {"lvgl8-a1", 11, (kW + 7) / 8}, {"lvgl8-a2", 12, (kW + 3) / 4},
        {"lvgl8-a4", 13, (kW + 1) / 2}, {"lvgl9-argb8888", 0x10, 4 * kW},
        {"lvgl8-argb8888", 5, 4 * kW},  {"lvgl9-rgb565a8", 0x14, 2 * kW},
        {"lvgl8-i8", 10, kW},           {"lvgl9-a2", 0x0C, (kW + 3) / 4},
        {"lvgl9-i8", 0x0A, kW},         {"lvgl8-rgb565a8", 5, 3 * kW}};
    for (const auto& [target, format, stride] : rows) {
        SCOPED_TRACE(target);
        const CliRun made = run_cli(std::string("convert --target ") + target + " " + png);
        ASSERT_EQ(made.status, 0) << made.err;
        const bool nine = std::string(target).starts_with("lvgl9");
        const std::string main = made.out + "#include <stdio.h>\nint main(void) {\n printf(\"%u " +
                                 "%u %u %u %u\", (unsigned)colours.header.cf, " +
                                 "(unsigned)colours.header.w, (unsigned)colours.header.h, " +
                                 "(unsigned)colours.data_size, (unsigned)" +
                                 (nine ? "colours.header.stride" : "0") +
                                 ");\n return colours.data != colours_map;\n}\n";
        dir.write("image.c", as_bytes(main));
        const CliRun run = run_shell("cd " + dir.path().string() +
                                     " && cc -std=c99 -Wall -Wextra -Werror -I. -o image image.c "
                                     "&& ./image");
        ASSERT_EQ(run.status, 0) << run.err;
        // RGB565A8's alpha plane, a byte a pixel, lies beyond its stride; the 256 colours of
        // INDEXED_8BIT and I8 before their rows.
        const int size = stride * kH + (format == 0x14 ? kW * kH : format == 10 ? 1024 : 0);
        EXPECT_EQ(run.out, std::to_string(format) + " 13 6 " + std::to_string(size) + " " +
                               std::to_string(nine ? stride : 0));
    }
}

} // namespace
