// dotlane-cli convert on pictures other than 1-bit BMP files, made 1-bit by the threshold.
// Its usage errors and refusals are rows of the samples' MANIFEST.
#include <QColorSpace>
#include <QImage>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <png.h>

#include "cli_runner.h"
#include "import/import.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

std::string save(const TempDir& dir, const std::string& name, const QImage& image,
                 const char* format) {
    const std::string path = (dir.path() / name).string();
    EXPECT_TRUE(image.save(QString::fromStdString(path), format)) << name;
    return path;
}

// A PNG file of a kind Qt never writes: `dark` and `light` are the samples of an inked pixel
// and of another, each `depth` bits; `grey_trns`, when not -1, the grey value tRNS makes
// transparent.
std::string write_png(const TempDir& dir, const std::string& name,
                      const std::function<bool(int, int)>& ink, int w, int h, int colour, int depth,
                      const std::vector<unsigned>& dark, const std::vector<unsigned>& light,
                      bool interlaced = false, int grey_trns = -1) {
    const std::size_t channels = dark.size();
    std::vector<std::vector<png_byte>> rows(static_cast<std::size_t>(h));
    std::vector<png_bytep> pointers;
    for (int y = 0; y < h; ++y) {
        auto& row = rows[std::size_t(y)];
        row.assign((std::size_t(w) * channels * std::size_t(depth) + 7) / 8, 0);
        for (std::size_t i = 0; i < std::size_t(w) * channels; ++i) {
            const unsigned v = (ink(int(i / channels), y) ? dark : light)[i % channels];
            const std::size_t bit = i * std::size_t(depth);
            if (depth == 16) {
                row[bit / 8] = png_byte(v >> 8);
                row[bit / 8 + 1] = png_byte(v);
            } else {
                row[bit / 8] |= png_byte(v << (8 - depth - int(bit % 8)));
            }
        }
        pointers.push_back(row.data());
    }
    const std::string path = (dir.path() / name).string();
    FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), depth, colour,
                 interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color_16 transparent{};
    transparent.gray = png_uint_16(grey_trns);
    if (grey_trns >= 0) png_set_tRNS(png, info, nullptr, 0, &transparent);
    png_set_gAMA(png, info, 0.2); // which Qt's reader does not apply
    png_write_info(png, info);
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return path;
}

// One row of pixels whose luminance, laid over white, is known.
QImage threshold_row() {
    const QRgb pixels[] = {
        qRgba(0, 0, 0, 255),       // 0
        qRgba(127, 127, 127, 255), // 127
        qRgba(128, 128, 128, 255), // 128
        qRgba(255, 0, 0, 255),     // 76: 299 x 255 / 1000
        qRgba(0, 255, 0, 255),     // 150: 587 x 255 / 1000
        qRgba(0, 0, 0, 0),         // transparent: white, 255
        qRgba(0, 0, 0, 128),       // half over white: 127
        qRgba(255, 255, 255, 255), // 255
    };
    QImage image(8, 1, QImage::Format_ARGB32);
    for (int x = 0; x < 8; ++x)
        image.setPixel(x, 0, pixels[x]);
    return image;
}

TEST(Convert, ThresholdOnLuminanceOverWhite) {
    TempDir dir;
    const std::string png = save(dir, "row.png", threshold_row(), "PNG");
    const struct {
        const char* options;
        const char* listing;
    } cases[] = {
        {"", "0xD2,\n"},                                // 0, 127 and the half-covered pixel
        {"--threshold 128", "0xD2,\n"},                 // the default
        {"--threshold 129", "0xF2,\n"},                 // 128 joins
        {"--threshold 77", "0x90,\n"},                  // 0 and 76
        {"--threshold 76", "0x80,\n"},                  // 76 is not below 76
        {"--threshold 0", "0x00,\n"},                   // nothing is below 0
        {"--threshold 255", "0xFA,\n"},                 // all but the white ones
        {"--invert-colors", "0x2D,\n"},                 // the light ones
        {"--threshold 255 --invert-colors", "0x05,\n"}, // the two white ones
    };
    for (const auto& c : cases) {
        const CliRun r = run_cli("convert --layout rows-msb " + std::string(c.options) + " " + png);
        EXPECT_EQ(r.status, 0) << c.options << r.err;
        EXPECT_EQ(r.out, c.listing) << c.options;
    }
}

// A picture reads the same whatever format holds it, and a 1-bit BMP ignores the threshold.
TEST(Convert, EveryFormatListsTheSameBits) {
    TempDir dir;
    const int w = 27, h = 13;
    const auto ink = random_ink(41);
    const std::string bmp = dir.write("pic.bmp", make_bmp({.width = w, .height = h, .ink = ink}));
    QImage rgb(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rgb.setPixel(x, y, ink(x, y) ? qRgb(40, 40, 40) : qRgb(230, 230, 230));
    QImage grey = rgb.convertToFormat(QImage::Format_Grayscale8);
    QImage indexed = rgb.convertToFormat(QImage::Format_Indexed8);
    QImage mono = rgb.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    // Colours of partial alpha, dark or light once laid over white.
    QImage alpha(w, h, QImage::Format_ARGB32);
    QImage palette(w, h, QImage::Format_Indexed8);
    palette.setColorTable({qRgba(30, 60, 20, 220), qRgba(240, 220, 230, 90), qRgba(50, 20, 20, 255),
                           qRgba(200, 250, 240, 255)});
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            alpha.setPixel(x, y,
                           ink(x, y) ? qRgba(20, 30, 40, 180 + (7 * x + 3 * y) % 60)
                                     : qRgba(230, 235, 225, (5 * x + y) % 256));
            palette.setPixel(x, y, uint((x + y) % 2 * 2 + !ink(x, y)));
        }
    QImage profiled = rgb;
    profiled.setColorSpace(QColorSpace::AdobeRgb);
    const std::string others[] = {
        save(dir, "rgb.png", rgb, "PNG"),
        save(dir, "rgb.bmp", rgb, "BMP"),
        save(dir, "grey.png", grey, "PNG"),
        save(dir, "indexed.bmp", indexed, "BMP"),
        save(dir, "mono.png", mono, "PNG"),
        save(dir, "rgb.ppm", rgb, "PPM"),
        save(dir, "alpha.png", alpha, "PNG"),
        save(dir, "palette-alpha.png", palette, "PNG"),
        save(dir, "profiled.png", profiled, "PNG"),
        write_png(dir, "grey-alpha.png", ink, w, h, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {30, 200},
                  {230, 100}),
        write_png(dir, "grey1.png", ink, w, h, PNG_COLOR_TYPE_GRAY, 1, {0}, {1}),
        write_png(dir, "grey2.png", ink, w, h, PNG_COLOR_TYPE_GRAY, 2, {0}, {3}),
        write_png(dir, "grey4.png", ink, w, h, PNG_COLOR_TYPE_GRAY, 4, {2}, {14}, false, 14),
        write_png(dir, "grey8.png", ink, w, h, PNG_COLOR_TYPE_GRAY, 8, {40}, {230}, false, 230),
        // What Qt's reader still reads.
        write_png(dir, "interlaced.png", ink, w, h, PNG_COLOR_TYPE_RGB, 8, {40, 40, 40},
                  {230, 230, 230}, true),
        save(dir, "rgb16.png", alpha.convertToFormat(QImage::Format_RGBA64), "PNG"),
    };
    for (const char* layout : {"rows-msb", "rows-lsb", "pages-lsb", "pages-msb"}) {
        for (const char* invert : {"", " --invert-colors"}) {
            const std::string options = std::string(layout) + invert;
            const CliRun reference =
                run_cli("convert --layout " + options + " --threshold 3 " + bmp);
            ASSERT_EQ(reference.status, 0) << reference.err;
            for (const std::string& other : others) {
                const CliRun r = run_cli("convert --layout " + options + " " + other);
                EXPECT_EQ(r.status, 0) << other << ": " << r.err;
                EXPECT_EQ(r.out, reference.out) << other << " " << options;
            }
        }
    }
    // A palette BMP of more bits starts like a 1-bit one; its picture is read all the same.
    EXPECT_GT(read_file(others[3])[28], 1);
    // Pictures up to 4096 pixels a side, what render paints back.
    const std::pair<QSize, int> sizes[] = {{{4097, 1}, 1}, {{1, 4097}, 1}, {{4096, 8}, 0}};
    for (const auto& [size, status] : sizes) {
        const std::string png = save(dir, "big.png", QImage(size, QImage::Format_Mono), "PNG");
        const CliRun r = run_cli("convert --layout pages-msb " + png);
        EXPECT_EQ(r.status, status) << size.width() << "x" << size.height() << ": " << r.err;
        if (status) {
            EXPECT_NE(r.err.find("up to 4096 x 4096 pixels"), std::string::npos) << r.err;
        }
    }
}

// A dotlane-cli without its picture reader still reads 1-bit BMP files, and says why it
// reads nothing else.
TEST(Convert, WithoutThePictureReader) {
    TempDir dir;
    const std::string alone = (dir.path() / "dotlane-cli").string();
    std::filesystem::copy_file(DOTLANE_CLI, alone);
    const std::string bmp = dir.write("pic.bmp", make_bmp({.width = 9, .height = 3}));
    const std::string png = save(dir, "pic.png", QImage(9, 3, QImage::Format_RGB32), "PNG");
    const std::string run = alone + " convert --layout rows-msb ";
    const int bmp_status = std::system((run + bmp + " >/dev/null").c_str());
    EXPECT_TRUE(WIFEXITED(bmp_status) && WEXITSTATUS(bmp_status) == 0);
    const std::string err = (dir.path() / "err").string();
    const int png_status = std::system((run + png + " 2>" + err).c_str());
    EXPECT_TRUE(WIFEXITED(png_status) && WEXITSTATUS(png_status) == 1);
    EXPECT_EQ(as_text(read_file(err)).rfind("dotlane-cli reads only 1-bit BMP files here", 0), 0u)
        << as_text(read_file(err));
}

} // namespace
