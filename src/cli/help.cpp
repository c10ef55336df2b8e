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
  convert --layout L [--invert-colors] [--threshold N] [--c-array NAME] [-o OUT] FILE
      list a picture in layout L (below); FILE is a 1-bit BMP file, read as the window
      reads it, or any other picture (PNG, BMP of 4 to 32 bits, GIF, ...) up to
      4096 x 4096 pixels
  convert --layout L [--frames] [--name NAME]... [--table T] [--compress rle]
          [-o OUT | --header H --source C] [--depfile D] FILE...
      several pictures (or any of these options): C arrays, one a picture, in one output

Options:
  --invert-colors  list light pixels as set bits instead of dark ones
  --threshold N    for pictures other than 1-bit BMP files: a pixel is dark when its
                   luminance (299 R + 587 G + 114 B) / 1000 is below N (0 to 255,
                   default 128); a pixel is first laid over white by its alpha, so a
                   transparent one is white
  --c-array NAME   write a C declaration instead of the bare listing: a comment, then
                   NAME_width, NAME_height (in rows; whole pages for page layouts) and
                   const unsigned char NAME[], 16 bytes a line; NAME is a C identifier
  --name NAME      once for each picture: its array's name (else made from the file
                   name: lower-case letters, digits and "_", unique)
  --table T        add T[T_count], an entry a picture: data, width, height, size
  --compress rle   run-length compress the arrays; the C decoder comes first
  --frames         every frame of an animation (GIF...) as a viewer shows it, one after
                   another; in C, NAME_frame_count and NAME_frame_delays[] (ms)
  --header H --source C   the macros and extern declarations into H, the data into C
  --depfile D      a Make rule: the outputs, then every picture read
  -o OUT           write OUT, not standard output ("-": standard output); a file is
                   replaced whole or left as it was, a device or a FIFO written through
  --help           show this text;  --version  show the version

A pixel of a 1-bit BMP file is dark unless its colour is pure white; with --invert-colors
a set bit is any pixel that is not pure black.

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

In rows-* and pages-* a set bit is a dark pixel, bits past the picture are 0, and the
entries ("0x3C,") stand 16 a line, every line ending in a line feed.

Exit status: 0 success, 1 bad input (message on standard error), 2 wrong usage (a bad
option, layout, threshold or NAME).
)";
}

} // namespace dotlane::cli
