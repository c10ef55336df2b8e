// The preview shows the bits read back from the bytes convert made: in every layout, for a
// file stored either way up, the dots are the picture's ink (the light pixels for light ink),
// in the PNG picture, in the look of the glass chosen, and in the preview command's text.
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
        {"--target micropython-framebuf-hlsb", false, 0x1F2B1A},
        {"--target ssd1306 --preview-look oled-white", false, 0xF4F7FA},
        {"--target adafruit-gfx --preview-look oled-yellow", false, 0xFFD23C},
        {"--target u8g2 --preview-look oled-blue", false, 0x9BE7FF},
        {"--layout pages-lsb --preview-look epaper --ink light", true, 0x1C1C1C},
        {"--target sh1106 --preview-look lcd", false, 0x1F2B1A}};
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
    // E-paper: ink on paper, the gaps a shade darker than the paper.
    run_cli("convert --target st7565 --preview-look epaper --preview " + png + " '" + up + "'");
    const QImage paper(QString::fromStdString(png));
    EXPECT_EQ(paper.pixel(0, 0), 0xFFCBCBC7);
    EXPECT_EQ(paper.pixel(1, 1), ink(0, 0) ? 0xFF1C1C1C : 0xFFD8D8D4);
    EXPECT_EQ(run_cli("preview --preview-look oled " + std::string("'") + up + "'").status, 2);
    // check --diff at scale 2: ink only in the picture at x 0, only in the array at 1, in both
    // at 7; render at scale 3 paints the array's two bits, 3 x 3 pixels each.
    const std::string picture =
        dir.write("c.bmp", make_bmp({.height = 1, .ink = [](int x, int) { return x % 7 == 0; }}));
    const std::string array = dir.write("c.txt", {'0', 'x', '4', '1'});
    EXPECT_EQ(run_cli("check --layout rows-msb --diff-scale 2 --diff " + png + " " + picture + " " +
                      array)
                  .status,
              1);
    const QImage diff(QString::fromStdString(png));
    EXPECT_EQ(diff.height(), 2);
    for (const auto& [x, colour] :
         {std::pair{0, 0x0050FF}, {1, 0xE00000}, {2, 0xFFFFFF}, {7, 0xC0C0C0}})
        EXPECT_EQ(diff.pixel(2 * x + 1, 1), 0xFF000000 | colour) << x;
    ASSERT_EQ(run_cli("render --layout rows-msb --width 8 --height 1 --render-scale 3 -o " + png +
                      " " + array)
                  .status,
              0);
    const QImage rendered(QString::fromStdString(png));
    EXPECT_EQ(rendered.size(), QSize(24, 3));
    for (int x = 0; x < 24; ++x)
        EXPECT_EQ(rendered.pixel(x, 2), x / 3 == 1 || x / 3 == 7 ? 0xFF000000 : 0xFFFFFFFF) << x;
    EXPECT_EQ(
        run_cli("render --width 8 --pages 1 --render-scale 17 -o " + png + " " + array).status, 2);
}

} // namespace
