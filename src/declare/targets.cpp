#include "declare/targets.h"

#include <array>

namespace dotlane {

namespace {

// Where a module's 128 columns start among the controller's 132 is the module's wiring (and
// the segment direction, A0h or A1h, chosen for it); the bytes are the same either way.
constexpr std::string_view kColumnPages =
    "for each page p: B0h+p, column address c as 10h+c/16 then 00h+c%16 (c: where the module's "
    "columns start, 0 on most, 4 on several 128x64 and 128x32 modules, 1 on others), then the "
    "page's W bytes";

// Every target takes the dark pixels as set bits, the ink of artwork drawn black on white:
// an OLED lights them and an LCD darkens them, so the drawing shows and the rest of the glass
// stays as it is; --ink light serves artwork drawn light on dark. Command bytes are written as
// datasheets write them, "B0h", as these lines go into the declarations' comments, where "0x" would
// read as a listed byte.
constexpr std::array<Target, 13> kTargets{{
    {"ssd1306", BitLayout::pages_lsb, "c", Glass::oled,
     "horizontal addressing (20h 00h), columns 21h 0 W-1, pages 22h 0 P-1, then every byte "
     "in order",
     "lights the pixel", ""},
    {"sh1106", BitLayout::pages_lsb, "c", Glass::oled,
     "for each page p: B0h+p, column 02h 10h (the 128 columns sit at 2 of the 132), then the "
     "page's W bytes",
     "lights the pixel", ""},
    {"st7565", BitLayout::pages_lsb, "c", Glass::lcd, kColumnPages, "darkens the dot", ""},
    {"sed1565", BitLayout::pages_lsb, "c", Glass::lcd, kColumnPages, "darkens the dot", ""},
    {"pcd8544", BitLayout::pages_lsb, "c", Glass::lcd,
     "horizontal addressing (20h), X 80h, bank 40h, then every byte in order (84 a bank on "
     "the Nokia 5110)",
     "darkens the dot", ""},
    {"ks0108", BitLayout::pages_lsb, "c", Glass::lcd,
     "for each page p: of its W bytes, the first 64 to the left controller (CS1) and the next 64 "
     "to the right one (CS2), each after B8h+p and Y 40h",
     "darkens the dot", ""},
    {"t6963c", BitLayout::rows_msb, "c", Glass::lcd,
     "graphic home 42h, graphic area 43h of (W+7)/8 bytes a row, address pointer 24h at the "
     "graphic home, then auto write B0h, every byte, and auto reset B2h",
     "darkens the dot", ""},
    {"adafruit-gfx", BitLayout::rows_msb, "arduino", Glass::lcd,
     "display.drawBitmap(x, y, NAME, NAME_width, NAME_height, colour)",
     "is drawn in the colour given, a clear bit left as it was", ""},
    {"adafruit-xbitmap", BitLayout::rows_lsb, "arduino", Glass::lcd,
     "display.drawXBitmap(x, y, NAME, NAME_width, NAME_height, colour)",
     "is drawn in the colour given, a clear bit left as it was", ""},
    {"u8g2", BitLayout::rows_lsb, "u8g2", Glass::lcd,
     "u8g2.drawXBMP(x, y, NAME_width, NAME_height, NAME)",
     "is drawn in the draw colour (1: the pixel on)", ""},
    {"micropython-framebuf-vlsb", BitLayout::pages_lsb, "python", Glass::lcd,
     "framebuf.FrameBuffer(NAME, W, H, framebuf.MONO_VLSB)", "is colour 1 of the frame buffer",
     "MONO_VLSB"},
    {"micropython-framebuf-hlsb", BitLayout::rows_msb, "python", Glass::lcd,
     "framebuf.FrameBuffer(NAME, W, H, framebuf.MONO_HLSB)", "is colour 1 of the frame buffer",
     "MONO_HLSB"},
    {"micropython-framebuf-hmsb", BitLayout::rows_lsb, "python", Glass::lcd,
     "framebuf.FrameBuffer(NAME, W, H, framebuf.MONO_HMSB)", "is colour 1 of the frame buffer",
     "MONO_HMSB"},
}};

} // namespace

const Target* target_named(std::string_view name) {
    for (const Target& t : kTargets)
        if (t.name == name) return &t;
    for (const Target& t : colour_targets())
        if (t.name == name) return &t;
    return nullptr;
}

std::string target_names() {
    std::string names;
    for (const Target& t : kTargets)
        names += (names.empty() ? "" : ", ") + std::string(t.name);
    for (const Target& t : colour_targets())
        names += ", " + std::string(t.name);
    return names;
}

} // namespace dotlane
