// dotlane-cli convert on pictures other than 1-bit BMP files, made 1-bit by the threshold.
// Its usage errors and refusals are rows of the samples' MANIFEST.
#include <QImage>
#include <gtest/gtest.h>

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
    const std::string others[] = {
        save(dir, "rgb.png", rgb, "PNG"),   save(dir, "rgb.bmp", rgb, "BMP"),
        save(dir, "grey.png", grey, "PNG"), save(dir, "indexed.bmp", indexed, "BMP"),
        save(dir, "mono.png", mono, "PNG"), save(dir, "rgb.ppm", rgb, "PPM"),
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
}

} // namespace
