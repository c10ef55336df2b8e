// The preview shows the bits read back from the bytes convert made: in every layout, for a
// file stored either way up, the dots are the picture's ink (the light pixels for light ink),
// in the PNG picture and in the preview command's text.
#include <QImage>
#include <gtest/gtest.h>

#include "cli_runner.h"

using namespace dotlane::test;

namespace {

TEST(Preview, ShowsTheInkOfEveryLayout) {
    TempDir dir;
    const auto ink = random_ink(23);
    const std::string up = dir.write("up.bmp", make_bmp({.width = 13, .height = 11, .ink = ink}));
    const std::string down =
        dir.write("down.bmp", make_bmp({.width = 13, .height = 11, .ink = ink, .top_down = true}));
    const std::string png = (dir.path() / "p.png").string();
    // The options, whether light pixels are the set bits, and the colour of a set dot.
    const std::tuple<const char*, bool, QRgb> runs[] = {
        {"--layout t6963c", false, 0x1F2B1A},
        {"--layout sed1565", false, 0x1F2B1A},
        {"--layout rows-lsb", false, 0x1F2B1A},
        {"--layout pages-msb", false, 0x1F2B1A},
        {"--target ssd1306", false, 0x9BE7FF},
        {"--target sh1106 --ink light", true, 0x9BE7FF},
        {"--target t6963c --invert-colors", true, 0x1F2B1A},
        {"--target micropython-framebuf-hlsb", false, 0x1F2B1A}};
    for (const std::string& file : {up, down})
        for (const auto& [options, light, set] : runs) {
            const std::string args = std::string(options) + " '" + file + "'";
            ASSERT_EQ(run_cli("convert --preview-scale 1 --preview " + png + " " + args).status, 0)
                << args;
            const QImage image(QString::fromStdString(png));
            ASSERT_EQ(image.size(), QSize(13, 11)) << args;
            std::string expected;
            for (int y = 0; y < 11; ++y, expected += '\n')
                for (int x = 0; x < 13; ++x) {
                    const bool dot = ink(x, y) != light;
                    expected += dot ? '#' : '.';
                    EXPECT_EQ(image.pixel(x, y) == (0xFF000000 | set), dot) << args << x << y;
                }
            EXPECT_EQ(run_cli("preview --ascii " + args).out, expected) << args;
        }
    // At scale 4 every dot is 3 x 3 inside a one-pixel gap; half blocks carry two rows a line.
    run_cli("convert --target st7565 --preview " + png + " '" + up + "'");
    const QImage image(QString::fromStdString(png));
    EXPECT_EQ(image.size(), QSize(53, 45));
    EXPECT_EQ(image.pixel(4, 10), image.pixel(0, 0));
    EXPECT_EQ(image.pixel(1, 1) == 0xFF1F2B1A, ink(0, 0));
    const char* blocks[] = {" ", "\u2580", "\u2584", "\u2588"};
    std::string halves;
    for (int y = 0; y < 11; y += 2, halves += '\n')
        for (int x = 0; x < 13; ++x)
            halves += blocks[ink(x, y) + 2 * (y < 10 && ink(x, y + 1))];
    EXPECT_EQ(run_cli("preview --target st7565 '" + up + "'").out, halves);
    // check --diff: ink only in the picture at x 0, only in the array at 1, in both at 7.
    const std::string picture =
        dir.write("c.bmp", make_bmp({.height = 1, .ink = [](int x, int) { return x % 7 == 0; }}));
    const std::string array = dir.write("c.txt", {'0', 'x', '4', '1'});
    EXPECT_EQ(run_cli("check --layout rows-msb --diff " + png + " " + picture + " " + array).status,
              1);
    const QImage diff(QString::fromStdString(png));
    for (const auto& [x, colour] :
         {std::pair{0, 0x0050FF}, {1, 0xE00000}, {2, 0xFFFFFF}, {7, 0xC0C0C0}})
        EXPECT_EQ(diff.pixel(x, 0), 0xFF000000 | colour) << x;
}

} // namespace
