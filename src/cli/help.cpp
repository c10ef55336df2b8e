// The text of --help: every command, option and layout, with the bit each pixel goes into.
#include "support.h"

namespace dotlane::cli {

const char* usage_text() {
    return R"(Usage: dotlane-cli COMMAND [OPTIONS] FILE

Commands:
  t6963c [--invert-colors] [-o OUT] FILE   the window's T6963C listing of a 1-bit BMP file
  sed1565 [--invert-colors] [-o OUT] FILE  the window's SED1565 listing of a 1-bit BMP file
  info [-o OUT] FILE                       the header dump and the picture's geometry
  render --width W --pages P -o OUT.bmp [LISTING]
      paint a page-major listing (from LISTING, or standard input when absent or "-")
      and save it as a 1-bit BMP file
  render --layout L --width W --height H [--ink dark|light] [--input c|bin] [--name NAME]
         [--allow-extra] [--render-scale N] -o OUT [INPUT]
      paint bytes of layout L (sed1565 too; t6963c may take W and H from its first line)
      into OUT: a PNG file when OUT ends in .png, else a 1-bit BMP file
  guess [--input c|bin] [--name NAME] [--render OUT [--render-scale N]] [--ink dark|light]
        [--ascii] [INPUT]
      try every layout and size the byte count allows; print the five likeliest and draw
      the best as preview does (--ascii: "#" a set pixel); --render writes it as render
      would
  check (--layout L | --target T) [convert's options] [--input c|bin] [--name NAME]
        [--diff OUT.png [--diff-scale N]] PICTURE ARRAY
      convert PICTURE as convert does and compare ARRAY's bytes with it: exit 0 when
      every bit agrees, 1 when not (the pixels that differ are counted and the first
      shown; --diff paints them: red only in ARRAY, blue only in PICTURE, grey in both)
  convert (--layout L | --target T) [--style S] [--name NAME] [--invert-colors]
          [PREPARATION] [--c-array NAME] [--preview OUT.png] [--preview-scale N]
          [--preview-look LOOK] [--frames] [--table T] [--compress rle] [--depfile D]
          [--name-prefix P] [-o OUT | --header H --source C] FILE...
      list a picture in layout L (below), or as display or draw call T reads it; FILE
      is a 1-bit BMP file, read as the window reads it, or any other picture (PNG, BMP
      of 4 to 32 bits, GIF, ...) up to 4096 x 4096 pixels. Several FILEs (or --table,
      --header, --compress) give one array a picture in one output: C by default, or
      the style asked for (c, arduino, u8g2, python, asm; hex and bin list one)
  preview (--layout L | --target T) [convert's options] [--ascii] [-o OUT] FILE
      draw the bits convert lists in the terminal, two rows a line in half blocks
      (a set bit drawn), or with --ascii one row a line in "#" (set) and "."

Options:
  --invert-colors  list light pixels as set bits instead of dark ones
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
  --name NAME      convert: the declaration's name, a C identifier, once for each picture
                   (default: the file name without its extension, made one: "logo
                   2.png" gives logo_2, and made unique with _2, _3, ...);
                   render, guess, check: read the initialiser of the C array NAME
                   (implies --input c)
  --c-array NAME   the same as --style c --name NAME
  --name-prefix P  convert: P_ before each name made from a file name (not with --name)
  --preview OUT.png  also write a picture of the bits read back from the bytes, as an
                   LCD shows them (dark dots on olive glass) or, for ssd1306 and sh1106,
                   an OLED (pale cyan light on black)
  --preview-scale N  each pixel N x N (1 to 16, default 4); from 4 on, a one-pixel gap
                   between dots (one picture only)
  --preview-look LOOK  the glass drawn instead of the target's: lcd, oled-white,
                   oled-blue (ssd1306's and sh1106's), oled-yellow or epaper
  --render-scale N, --diff-scale N   render's (and guess --render's) picture, check's
                   --diff: each pixel N x N (1 to 16, default 1)
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
  --input c|bin    how render, guess and check read their bytes: by default the 0x..
                   entries wherever they stand; c: every integer literal (0x3C, 60,
                   074, 0b00111100, B00111100) of the first C array initialiser; bin:
                   the raw bytes
  --allow-extra    render: paint the first W x H worth of bytes and ignore the rest
                   (too few bytes are always painted, the rest left clear, with a note)
  -o OUT           write OUT, not standard output ("-": standard output); a file is
                   replaced whole or left as it was, a device or a FIFO written through;
                   convert leaves a file that would come out the same untouched
  --help           show this text;  --version  show the version

Preparation (convert, in this order; the README states the arithmetic of each step):
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
                   is --ink light); render, guess: set bits drawn dark on light or light
                   on dark

A pixel of a 1-bit BMP file given no preparation option is dark unless its colour is pure
white; with --invert-colors a set bit is any pixel that is not pure black. With any of them
its colours become grey as every other picture's do.

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

Exit status: 0 success, 1 bad input (message on standard error) or, for check, an array
that differs, 2 wrong usage (a bad option, layout, target, style, threshold, size or NAME,
or options that contradict each other).
)";
}

} // namespace dotlane::cli
