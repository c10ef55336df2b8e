// The text of --help: a short overview of the commands, and each command's own options, with
// the layouts they take and the bit each pixel goes into. Shared passages are written once
// and joined into every command that takes them, so two commands never describe an option
// two ways. docs/dotlane-cli.1 says the same for man.
#include <string>

#include "cli/support.h"

namespace dotlane::cli {

namespace {

constexpr const char* kOverview = R"(Usage: dotlane-cli COMMAND [OPTIONS] FILE...

Commands:
  convert   list a picture (1-bit BMP, PNG, BMP, GIF, ...) in a display's layout: bare,
            or as C, Arduino, u8g2, MicroPython or assembly source
  preview   draw in the terminal the bits convert lists
  check     compare an array with what convert makes of its picture (for CI)
  render    paint an array of bytes back into a picture
  guess     find the layout and size of an array of bytes, and draw it
  t6963c    the window's T6963C listing of a 1-bit BMP file
  sed1565   the window's SED1565 listing of a 1-bit BMP file
  info      the header dump and the geometry of a 1-bit BMP file
  font      make a font file (TrueType, OpenType, BDF, PCF) into font data for a display

"dotlane-cli COMMAND --help" shows a command's options; "dotlane-cli --version" the
version; "man dotlane-cli" the manual.
)";

constexpr const char* kWindowListing = R"(Usage: dotlane-cli %s [--invert-colors] [-o OUT] FILE

The window's %s listing of a 1-bit BMP file, byte for byte. Other pictures (PNG,
BMP of 4 to 32 bits, GIF, ...) are listed by convert: --layout %s gives the same bits.

Options:
  --invert-colors  list light pixels as set bits instead of dark ones
)";

constexpr const char* kInfo = R"(Usage: dotlane-cli info [-o OUT] FILE

The header dump of a 1-bit BMP file and its geometry, one fact a line.

Options:
)";

constexpr const char* kRender =
    R"(Usage: dotlane-cli render --layout L --width W --height H [--ink dark|light]
                          [--input c|bin] [--name NAME] [--allow-extra]
                          [--render-scale N] -o OUT [INPUT]
       dotlane-cli render --width W --pages P -o OUT.bmp [LISTING]
       dotlane-cli render --font FILE.h [--name NAME] [--render-scale N] OUT

Paints bytes of layout L (below) from INPUT (standard input when absent or "-") into OUT:
a PNG file when OUT ends in .png, else a 1-bit BMP file. t6963c may take W and H from
its listing's first line. The second form paints a page-major listing as the window does.
The third draws every glyph of the GFXfont or u8g2 font that C source FILE.h declares
(--name picks one of several) in a sheet, each under its code point in hexadecimal.

Options:
  --layout L       the layout of the bytes: rows-msb, rows-lsb, pages-lsb, pages-msb,
                   sed1565 or t6963c; or of more than one bit (docs/colour.md), painted
                   into a PNG file
  --width W, --height H   the picture's size in pixels, 1 to 4096 each
  --pages P        (second form) pages of 8 rows: --layout pages-lsb --height 8P
  --ink dark|light set bits drawn dark on light (default) or light on dark
  --allow-extra    paint the first W x H worth of bytes and ignore the rest (too few
                   bytes are always painted, the rest left clear, with a note)
)";

constexpr const char* kGuess =
    R"(Usage: dotlane-cli guess [--input c|bin] [--name NAME] [--render OUT [--render-scale N]]
                         [--ink dark|light] [--ascii] [INPUT]

Tries every layout and size the byte count of an array allows (from INPUT, or standard
input when absent or "-"); prints the five likeliest and draws the best as preview does.
It reads arrays: a picture is listed by convert first.

Options:
  --render OUT     also write the best reading as render would (PNG when OUT ends in .png)
  --ink dark|light how --render draws set bits (default dark)
  --ascii          one row a line, "#" a set pixel and "." a clear one
)";

constexpr const char* kRenderScale =
    R"(  --render-scale N the picture written each pixel N x N (1 to 16, default 1)
)";

constexpr const char* kCheck =
    R"(Usage: dotlane-cli check (--layout L | --target T) [PREPARATION] [--input c|bin]
                         [--name NAME] [--diff OUT.png [--diff-scale N]] PICTURE ARRAY

Converts PICTURE as convert does with the same options and compares ARRAY's bytes with it:
exit 0 when every bit agrees, 1 when not (the pixels that differ are counted and the first
shown). --diff OUT.png paints them: red only in ARRAY, blue only in PICTURE, grey in both.

Options:
  --layout L, --target T, --invert-colors   as for convert (dotlane-cli convert --help)
  --diff-scale N   --diff's picture each pixel N x N (1 to 16, default 1)
)";

constexpr const char* kConvert =
    R"(Usage: dotlane-cli convert (--layout L | --target T) [--style S] [--name NAME]
                           [--invert-colors] [PREPARATION] [--c-array NAME]
                           [--preview OUT.png] [--preview-scale N] [--preview-look LOOK]
                           [--frames] [--table T] [--compress rle] [--depfile D]
                           [--name-prefix P] [-o OUT | --header H --source C] FILE...

Lists a picture in layout L (below), or as display or draw call T reads it. FILE is a
1-bit BMP file, read as the window reads it, or any other picture (PNG, BMP of 4 to 32
bits, GIF, ...) up to 4096 x 4096 pixels. Several FILEs (or --table, --header, --compress)
give one array a picture in one output: C by default, or the style asked for (c, arduino,
u8g2, python, asm; hex and bin list one).

Options:
  --layout L       the layout (below)
  --target T       the layout and style that display or call T takes; --layout and
                   --style given as well win. Targets (layout, style):
                     ssd1306, sh1106, st7565, sed1565,
                     pcd8544, ks0108                   pages-lsb  c
                     t6963c                            rows-msb   c
                     adafruit-gfx                      rows-msb   arduino
                     adafruit-xbitmap                  rows-lsb   arduino
                     u8g2                              rows-lsb   u8g2
                     micropython-framebuf-vlsb         pages-lsb  python
                     micropython-framebuf-hlsb         rows-msb   python
                     micropython-framebuf-hmsb         rows-lsb   python
                   and of more than one bit a pixel (docs/colour.md):
                     ssd1322, ssd1327                  grey4-msb  c
                     st7735, st7789, ili9341           rgb565     c
                     adafruit-gfx-rgb565, tft-espi     rgb565-le  arduino (uint16_t)
                     adafruit-gfx-grey                 grey8      arduino
                     adafruit-gfx-mask (alpha mask)    a1         arduino
                     gxepd2-bwr, gxepd2-bwy            planes-bwr, planes-bwy  arduino
                     gxepd2-4g (four greys)            grey2-msb  arduino
                     uc81xx-4grey, ssd16xx-4grey       planes-4grey, planes-4grey-inv  c
                     lvgl9-rgb565, lvgl8-rgb565        rgb565-le  c (an LVGL image)
                     lvgl9-l8                          grey8      c (an LVGL image)
                     lvgl9-a8, lvgl8-a8                a8         c (an LVGL image)
                     lvgl9-rgb888                      bgr888     c (an LVGL image)
                     lvgl9-argb8888, lvgl8-argb8888    bgra8888   c (an LVGL image)
                     lvgl9-rgb565a8                    rgb565a8   c (an LVGL image)
                     lvgl8-rgb565a8                    rgb565le-a8  c (an LVGL image)
                     lvgl8-i1, -i2, -i4, -i8           i1 .. i8   c (an LVGL image)
                     lvgl9-i1, -i2, -i4, -i8           i1 .. i8   c (an LVGL image)
                     lvgl9-a1, lvgl9-a2, lvgl9-a4      a1, a2, a4 c (an LVGL image)
                     lvgl8-a1, lvgl8-a2, lvgl8-a4      a1, a2, a4 c (an LVGL image)
  --reduce R       (layouts of more than one bit: grey2-msb, grey2-lsb, grey4-msb,
                   grey4-lsb, grey8, rgb565, rgb565-le, rgb332, rgb888, bgr888,
                   bgra8888, rgb565a8, rgb565le-a8, a1, a2, a4, a8) truncate
                   keeps a channel's top bits (default), round the nearest level
  --style S        how the bytes are written (default hex, or the target's, or c for
                   several pictures):
                     hex      the bare listing
                     c        const unsigned char NAME[] with NAME_width, NAME_height
                              (in rows; whole pages for page layouts), 16 bytes a line
                     arduino  the same as const uint8_t NAME[] PROGMEM, after
                              #include <Arduino.h>
                     u8g2     const unsigned char NAME[] U8X8_PROGMEM, after
                              #include <U8g2lib.h>
                     python   NAME = bytearray(b'...'); for the micropython targets also
                              NAME_fb = framebuf.FrameBuffer(NAME, W, H, framebuf.MONO_...)
                     asm      GNU as: NAME in .rodata, .byte lines, NAME_width,
                              NAME_height and NAME_size as global absolute symbols
                     bin      the raw bytes (refused to a terminal)
                   hex and bin take one picture
  --name NAME      the declaration's name, a C identifier, once for each picture
                   (default: the file name without its extension, made one: "logo
                   2.png" gives logo_2, and made unique with _2, _3, ...)
  --c-array NAME   the same as --style c --name NAME
  --name-prefix P  P_ before each name made from a file name (not with --name), so that
                   two outputs linked into one program do not declare the same names
  --invert-colors  list light pixels as set bits instead of dark ones (--ink light)
  --preview OUT.png  also write a picture of the bits read back from the bytes, as an
                   LCD shows them (dark dots on olive glass) or, for ssd1306 and sh1106,
                   an OLED (pale cyan light on black)
  --preview-scale N  each pixel N x N (1 to 16, default 4); from 4 on, a one-pixel gap
                   between dots (one picture only)
  --preview-look LOOK  the glass drawn instead of the target's: lcd, oled-white,
                   oled-blue (ssd1306's and sh1106's), oled-yellow or epaper
  --frames         every frame of an animation (GIF...) as a viewer shows it, each
                   prepared, one after another; in C, NAME_frame_count and
                   NAME_frame_delays[] (ms)
  --table T        (C styles) add T[T_count], an entry a picture: data, width,
                   height, size
  --compress rle   (C styles) run-length compress the arrays; the C decoder comes
                   first
  --header H --source C   (C styles) the macros and extern declarations into H, the
                   data into C
  --depfile D      a Make rule: the outputs, then every picture read
)";

constexpr const char* kPreview =
    R"(Usage: dotlane-cli preview (--layout L | --target T) [--invert-colors] [PREPARATION]
                           [--frames] [--ascii] [--preview OUT.png] [--preview-scale N]
                           [--preview-look LOOK] [-o OUT] FILE
       dotlane-cli preview --font FONT --target T [FONT OPTIONS] [--preview-text TEXT]
                           [--ascii] [-o OUT]

Draws in the terminal the bits convert lists, as the display reads them back from the
bytes: two rows a line in half blocks (a set bit drawn), or with --ascii one row a line
in "#" (set) and ".".

Options:
  --layout L, --target T, --invert-colors, --preview, --preview-scale, --preview-look
                   as for convert (dotlane-cli convert --help)
  --frames         every frame of an animation, one after another, each under a line
                   giving its number and delay (not with --preview)
  --ascii          "#" and "." instead of half blocks
  --font FONT      (second form) a line of TEXT as target T's draw call shows it from
                   the data the font command makes of FONT with the same options
                   (dotlane-cli font --help); the data itself is not written
)";

constexpr const char* kPreparation =
    R"(
Preparation (in this order; docs/preparation.md states the arithmetic of each step):
  --background white|black   the colour alpha is laid over and the canvas is filled
                   with (default white)
  --rotate 0|90|180|270      turn the picture clockwise
  --flip h|v       then mirror it left to right (h) or upside down (v)
  --size WxH       a canvas of W x H pixels (1 to 4096 each), the picture centred on it
  --fit contain|cover|stretch|none   (needs --size; default contain) scaled to fit
                   inside, scaled to fill and cropped, scaled to exactly W x H, or
                   unscaled; reduction averages boxes, enlargement takes the nearest
  --threshold N    a pixel is dark when its grey (the luminance (299 R + 587 G +
                   114 B) / 1000 laid over the background) is below N (0 to 255,
                   default 128)
  --dither floyd-steinberg|atkinson|bayer4|bayer8   dither the grey instead (not
                   with --threshold)
  --ink dark|light the pixels that become set bits (default dark; --invert-colors
                   is --ink light)

A pixel of a 1-bit BMP file given no preparation option is dark unless its colour is pure
white; with --invert-colors a set bit is any pixel that is not pure black. With any of them
its colours become grey as every other picture's do.
)";

constexpr const char* kArrayInput =
    R"(  --input c|bin    how the bytes are read: by default the 0x.. entries wherever they
                   stand; c: every integer literal (0x3C, 60, 074, 0b00111100,
                   B00111100) of the first C array initialiser; bin: the raw bytes.
                   Arrays that convert --compress rle wrote are decompressed first
  --name NAME      read the initialiser of the C array NAME (implies --input c)
)";

constexpr const char* kOutput =
    R"(  -o OUT           write OUT, not standard output ("-": standard output); a file is
                   replaced whole or left as it was, a device or a FIFO written through
)";

constexpr const char* kLeftUntouched =
    R"(                   -o, --header, --source and --depfile leave a file that would come
                   out the same untouched, its time stamp too
)";

constexpr const char* kLayouts =
    R"(
Layouts (bN is bit N of a byte, b7 the most significant; x, y count from the top left):
  t6963c     the t6963c command's listing, byte for byte (1-bit BMP files only)
  sed1565    the sed1565 command's listing, byte for byte (1-bit BMP files only)
  rows-msb   rows from the top, each padded to whole bytes, leftmost pixel in b7:
                 x:   0  1  2  3  4  5  6  7    8  9 ...
               bit:  b7 b6 b5 b4 b3 b2 b1 b0   b7 b6 ...   (byte 0, then byte 1 of row 0)
  rows-lsb   the same with the leftmost pixel in b0 (the XBM order):
               bit:  b0 b1 b2 b3 b4 b5 b6 b7   b0 b1 ...
  pages-lsb  pages of 8 rows from the top, one byte per column, top row in b0 (SED1565,
             ST7565, SSD1306, SH1106, KS0108, PCD8544):
                      x=0  x=1  x=2 ...
               y=0     b0   b0   b0            byte 0 is column 0 of page 0, byte 1
               y=1     b1   b1   b1            column 1, ...; page 1 (rows 8 to 15)
               ...                             follows the last column of page 0
               y=7     b7   b7   b7
  pages-msb  the same with the top row in b7

In rows-* and pages-* a set bit is a dark pixel (a light one with light ink), bits past
the picture are 0, and the entries ("0x3C,") stand 16 a line, every line ending in a
line feed.
)";

constexpr const char* kExit = R"(
Exit status: 0 success, 1 bad input (message on standard error) or, for check, an array
that differs, 2 wrong usage (a bad option, layout, target, style, threshold, size or NAME,
or options that contradict each other).
)";

std::string window_listing_help(const char* command, const char* chip, const char* layout) {
    std::string text = kWindowListing;
    for (const char* value : {command, chip, layout})
        text.replace(text.find("%s"), 2, value);
    return text + kOutput;
}

} // namespace

const char* usage_text() {
    return kOverview;
}

std::optional<std::string> command_help(const std::string& command) {
    const std::string output = kOutput, exit = kExit;
    if (command == "t6963c") return window_listing_help("t6963c", "T6963C", "rows-msb") + exit;
    if (command == "sed1565") return window_listing_help("sed1565", "SED1565", "pages-lsb") + exit;
    if (command == "info") return kInfo + output + exit;
    if (command == "render")
        return kRender + std::string(kRenderScale) + kArrayInput + output + kLayouts + exit;
    if (command == "guess") return kGuess + std::string(kRenderScale) + kArrayInput + exit;
    if (command == "check")
        return kCheck + std::string(kArrayInput) + kPreparation + kLayouts + exit;
    if (command == "convert")
        return kConvert + output + kLeftUntouched + kPreparation + kLayouts + exit;
    if (command == "preview") return kPreview + output + kPreparation + kLayouts + exit;
    if (command == "font") return font_help() + output + kLayouts + exit;
    return std::nullopt;
}

} // namespace dotlane::cli
