#include <Arduino.h>
/* icon_17x13.bmp, 114 bytes: 17 x 13 pixels
 * layout rows-msb: rows from the top, each padded to whole bytes, bit 7 the leftmost pixel
 * a set bit is a dark pixel
 * for adafruit-gfx: display.drawBitmap(x, y, icon_17x13, icon_17x13_width, icon_17x13_height, colour)
 * on the glass a set bit is drawn in the colour given, a clear bit left as it was */
#define icon_17x13_width 17
#define icon_17x13_height 13
const uint8_t icon_17x13[] PROGMEM = {
    0x00, 0x80, 0x00, 0x01, 0xC0, 0x00, 0x03, 0x60, 0x00, 0x06, 0x30, 0x00, 0x0C, 0x18, 0x00, 0x18,
    0x0C, 0x00, 0x3F, 0xFE, 0x00, 0x10, 0x04, 0x00, 0x17, 0x34, 0x00, 0x15, 0x34, 0x00, 0x15, 0x04,
    0x00, 0x15, 0x04, 0x00, 0x1F, 0xFC, 0x00,
};

/* example_3x9.bmp, 98 bytes: 3 x 9 pixels
 * layout rows-msb: rows from the top, each padded to whole bytes, bit 7 the leftmost pixel
 * a set bit is a dark pixel
 * for adafruit-gfx: display.drawBitmap(x, y, example_3x9, example_3x9_width, example_3x9_height, colour)
 * on the glass a set bit is drawn in the colour given, a clear bit left as it was */
#define example_3x9_width 3
#define example_3x9_height 9
const uint8_t example_3x9[] PROGMEM = {
    0x80, 0x40, 0x20, 0x00, 0xE0, 0x00, 0x80, 0x20, 0x40,
};

struct icons_entry {
    const uint8_t *data;
    unsigned short width, height; /* height: the rows the bytes cover */
    unsigned long size;           /* bytes of data */
};
#define icons_count 2
const struct icons_entry icons[icons_count] = {
    {icon_17x13, icon_17x13_width, icon_17x13_height, sizeof icon_17x13},
    {example_3x9, example_3x9_width, example_3x9_height, sizeof example_3x9},
};
