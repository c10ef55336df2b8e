// The targets whose bytes hold more than one bit a pixel: grey-level OLED controllers, the
// colour TFT controllers in their 16-bit mode, and the library calls that draw grey and
// colour arrays. Each names the commands or the call that reads the bytes, as the controller's
// datasheet or the library's source states it.
#include <array>

#include "declare/targets.h"

namespace dotlane {

namespace {

// The TFT controllers take RGB565 in 16-bit colour mode (3Ah 55h; 05h on the ST7735) the
// high byte first: R4-R0 G5-G3, then G2-G0 B4-B0.
constexpr std::string_view kTftWindow =
    "column address 2Ah 0 W-1, row address 2Bh 0 H-1, memory write 2Ch, then every byte in "
    "order";

constexpr std::string_view kLevel = "is the pixel's level, 0 black";
constexpr std::string_view kColour = "is the pixel's colour";

// GxEPD2's drawImage(black, colour, ...) sends the black plane as it is to the panel's
// black-and-white RAM (a set bit white) and the colour plane inverted to its colour RAM (a set
// bit the colour): in both planes a clear bit is the ink.
constexpr std::string_view kThreeColour =
    "display.drawImage(NAME, NAME + (NAME_width + 7) / 8 * NAME_height, x, y, NAME_width, "
    "NAME_height, false, false, true): the black plane, then the colour plane";

// LVGL 9 holds RGB565 as native uint16_t values, low byte first; LVGL 8's TRUE_COLOR is the
// same with LV_COLOR_DEPTH 16 and LV_COLOR_16_SWAP 0.
constexpr std::string_view kLvgl = "lv_image_set_src(image, &NAME) (LVGL 9)";
constexpr std::string_view kLvgl8 = "lv_img_set_src(image, &NAME) (LVGL 8)";

// LVGL 8's built-in decoder reads ALPHA_1/2/4BIT rows padded to whole bytes, the first pixel
// in the high bits, each value spread over 0..255 (2 bits: 0, 85, 170, 255).
constexpr std::string_view kAlpha = "is the pixel's alpha";

// LVGL 8's INDEXED_1/2/4/8BIT: a palette of 2^n lv_color32_t (blue, green, red, alpha), then
// the indices, rows padded to whole bytes, the first pixel in the high bits.
constexpr std::string_view kIndex = "is the pixel's index into the colours before the rows";

// LVGL 9 reads A1/A2/A4 and I1/I2/I4/I8 alike (its binary decoder's decode_alpha_only and
// decode_indexed_line): rows of `stride` bytes, the first pixel in the high bits; the indexed
// ones after a palette of 2^n lv_color32_t.
// GxEPD2_4G's four-grey buffer, which drawGreyPixmap(pixmap, 2, ...) and drawImage_4G(bitmap, 2,
// ...) read: 4 pixels a byte, the first in bits 7-6, 0 black to 3 white. Its drivers' writeImage_4G
// split each level over the controller's two RAMs: the high bit to the first (10h; 26h
// inverted on the SSD16xx ones), the low bit to the second (13h; 24h inverted).
constexpr std::string_view kFourGrey = "is the pixel's level, 0 black, 3 white";
constexpr std::string_view kFourGreyCall =
    "display.drawGreyPixmap(NAME, 2, x, y, NAME_width, NAME_height) (GxEPD2_4G)";

constexpr std::array<Target, 38> kColourTargets{{
    {"ssd1322", BitLayout::rows_msb, "c", Glass::oled,
     "column address 15h (4 pixels a column; the 256 columns of most 256 x 64 modules start "
     "at 1Ch), row address 75h 0 H-1, write RAM 5Ch, then every byte in order, the high "
     "nibble the left pixel",
     kLevel, "", "grey4-msb"},
    {"ssd1327", BitLayout::rows_msb, "c", Glass::oled,
     "column address 15h 0 W/2-1 (2 pixels a column), row address 75h 0 H-1, then every byte "
     "in order, the high nibble the left pixel (remap A0h 51h)",
     kLevel, "", "grey4-msb"},
    {"st7735", BitLayout::rows_msb, "c", Glass::tft,
     "colour mode 3Ah 05h, column address 2Ah 0 W-1, row address 2Bh 0 H-1, memory write 2Ch, "
     "then every byte in order",
     kColour, "", "rgb565"},
    {"st7789", BitLayout::rows_msb, "c", Glass::tft, kTftWindow, kColour, "", "rgb565"},
    {"ili9341", BitLayout::rows_msb, "c", Glass::tft, kTftWindow, kColour, "", "rgb565"},
    {"adafruit-gfx-rgb565", BitLayout::rows_msb, "arduino", Glass::tft,
     "display.drawRGBBitmap(x, y, NAME, NAME_width, NAME_height), a uint16_t array in PROGMEM",
     kColour, "", "rgb565-le", true},
    {"adafruit-gfx-mask", BitLayout::rows_msb, "arduino", Glass::tft,
     "display.drawRGBBitmap(x, y, IMAGE, NAME, NAME_width, NAME_height): the mask of IMAGE, "
     "whose colours --target adafruit-gfx-rgb565 lists",
     "is drawn, a clear bit left as it was", "", "a1"},
    {"adafruit-gfx-grey", BitLayout::rows_msb, "arduino", Glass::oled,
     "display.drawGrayscaleBitmap(x, y, NAME, NAME_width, NAME_height), a byte a pixel", kLevel, "",
     "grey8"},
    {"tft-espi", BitLayout::rows_msb, "arduino", Glass::tft,
     "tft.setSwapBytes(true); tft.pushImage(x, y, NAME_width, NAME_height, NAME): the "
     "uint16_t values swapped to the high byte first as they are sent",
     kColour, "", "rgb565-le", true},
    {"lvgl9-rgb565", BitLayout::rows_msb, "c", Glass::tft, kLvgl, kColour, "", "rgb565-le", false,
     9, "LV_COLOR_FORMAT_RGB565"},
    {"lvgl9-l8", BitLayout::rows_msb, "c", Glass::oled, kLvgl, kLevel, "", "grey8", false, 9,
     "LV_COLOR_FORMAT_L8"},
    {"lvgl9-a8", BitLayout::rows_msb, "c", Glass::tft, kLvgl, "is the pixel's alpha", "", "a8",
     false, 9, "LV_COLOR_FORMAT_A8"},
    {"lvgl8-rgb565", BitLayout::rows_msb, "c", Glass::tft, kLvgl8, kColour, "", "rgb565-le", false,
     8, "LV_IMG_CF_TRUE_COLOR"},
    {"lvgl8-a8", BitLayout::rows_msb, "c", Glass::tft, kLvgl8, "is the pixel's alpha", "", "a8",
     false, 8, "LV_IMG_CF_ALPHA_8BIT"},
    {"lvgl8-a1", BitLayout::rows_msb, "c", Glass::tft, kLvgl8, kAlpha, "", "a1", false, 8,
     "LV_IMG_CF_ALPHA_1BIT"},
    {"lvgl8-a2", BitLayout::rows_msb, "c", Glass::tft, kLvgl8, kAlpha, "", "a2", false, 8,
     "LV_IMG_CF_ALPHA_2BIT"},
    {"lvgl8-a4", BitLayout::rows_msb, "c", Glass::tft, kLvgl8, kAlpha, "", "a4", false, 8,
     "LV_IMG_CF_ALPHA_4BIT"},
    // LVGL 9's lv_color_t holds blue, green, red in that order, and RGB888 is an array of them.
    {"lvgl9-rgb888", BitLayout::rows_msb, "c", Glass::tft, kLvgl, kColour, "", "bgr888", false, 9,
     "LV_COLOR_FORMAT_RGB888"},
    // ARGB8888 in LVGL 9, and TRUE_COLOR_ALPHA in LVGL 8 with LV_COLOR_DEPTH 32: lv_color32_t,
    // blue, green, red, alpha, the colour not laid over anything.
    {"lvgl9-argb8888", BitLayout::rows_msb, "c", Glass::tft, kLvgl, kColour, "", "bgra8888", false,
     9, "LV_COLOR_FORMAT_ARGB8888"},
    // RGB565A8: the RGB565 array, then the alpha array; the stride is the RGB565 rows'.
    {"lvgl9-rgb565a8", BitLayout::rows_msb, "c", Glass::tft, kLvgl, kColour, "", "rgb565a8", false,
     9, "LV_COLOR_FORMAT_RGB565A8"},
    {"lvgl9-a1", BitLayout::rows_msb, "c", Glass::tft, kLvgl, kAlpha, "", "a1", false, 9,
     "LV_COLOR_FORMAT_A1"},
    {"lvgl9-a2", BitLayout::rows_msb, "c", Glass::tft, kLvgl, kAlpha, "", "a2", false, 9,
     "LV_COLOR_FORMAT_A2"},
    {"lvgl9-a4", BitLayout::rows_msb, "c", Glass::tft, kLvgl, kAlpha, "", "a4", false, 9,
     "LV_COLOR_FORMAT_A4"},
    {"lvgl9-i1", BitLayout::rows_msb, "c", Glass::tft, kLvgl, kIndex, "", "i1", false, 9,
     "LV_COLOR_FORMAT_I1"},
    {"lvgl9-i2", BitLayout::rows_msb, "c", Glass::tft, kLvgl, kIndex, "", "i2", false, 9,
     "LV_COLOR_FORMAT_I2"},
    {"lvgl9-i4", BitLayout::rows_msb, "c", Glass::tft, kLvgl, kIndex, "", "i4", false, 9,
     "LV_COLOR_FORMAT_I4"},
    {"lvgl9-i8", BitLayout::rows_msb, "c", Glass::tft, kLvgl, kIndex, "", "i8", false, 9,
     "LV_COLOR_FORMAT_I8"},
    {"lvgl8-i1", BitLayout::rows_msb, "c", Glass::tft, kLvgl8, kIndex, "", "i1", false, 8,
     "LV_IMG_CF_INDEXED_1BIT"},
    {"lvgl8-i2", BitLayout::rows_msb, "c", Glass::tft, kLvgl8, kIndex, "", "i2", false, 8,
     "LV_IMG_CF_INDEXED_2BIT"},
    {"lvgl8-i4", BitLayout::rows_msb, "c", Glass::tft, kLvgl8, kIndex, "", "i4", false, 8,
     "LV_IMG_CF_INDEXED_4BIT"},
    {"lvgl8-i8", BitLayout::rows_msb, "c", Glass::tft, kLvgl8, kIndex, "", "i8", false, 8,
     "LV_IMG_CF_INDEXED_8BIT"},
    // TRUE_COLOR_ALPHA with LV_COLOR_DEPTH 16 (LV_COLOR_16_SWAP 0): LV_IMG_PX_SIZE_ALPHA_BYTE is
    // 3, the lv_color16_t as the processor holds it, then the alpha.
    {"lvgl8-rgb565a8", BitLayout::rows_msb, "c", Glass::tft, kLvgl8, kColour, "", "rgb565le-a8",
     false, 8, "LV_IMG_CF_TRUE_COLOR_ALPHA"},
    {"lvgl8-argb8888", BitLayout::rows_msb, "c", Glass::tft, kLvgl8, kColour, "", "bgra8888", false,
     8, "LV_IMG_CF_TRUE_COLOR_ALPHA"},
    {"gxepd2-bwr", BitLayout::rows_msb, "arduino", Glass::epaper, kThreeColour,
     "is paper, a clear bit the plane's ink (black, red)", "", "planes-bwr"},
    {"gxepd2-bwy", BitLayout::rows_msb, "arduino", Glass::epaper, kThreeColour,
     "is paper, a clear bit the plane's ink (black, yellow)", "", "planes-bwy"},
    {"gxepd2-4g", BitLayout::rows_msb, "arduino", Glass::epaper, kFourGreyCall, kFourGrey, "",
     "grey2-msb"},
    {"uc81xx-4grey", BitLayout::rows_msb, "c", Glass::epaper,
     "in the four-grey waveform (UC8151, IL0398, UC8179): data start transmission 1 10h, then "
     "the first plane; data start transmission 2 13h, then the second plane",
     "in the first plane is a level of 2 or 3, in the second a level of 1 or 3", "",
     "planes-4grey"},
    {"ssd16xx-4grey", BitLayout::rows_msb, "c", Glass::epaper,
     "in the four-grey waveform (SSD1680, SSD1681): write RAM (red) 26h, then the first plane; "
     "write RAM (black and white) 24h, then the second plane",
     "in the first plane is a level of 0 or 1, in the second a level of 0 or 2", "",
     "planes-4grey-inv"},
}};

} // namespace

std::span<const Target> colour_targets() {
    return kColourTargets;
}

} // namespace dotlane
