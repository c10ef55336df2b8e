/* icon_17x13.bmp, 114 bytes: 17 x 13 pixels
 * layout pages-lsb: pages of 8 rows from the top, one byte per column, bit 0 the top row
 * a set bit is a dark pixel */
#define icon_17x13_width 17
#define icon_17x13_height 16
const unsigned char icon_17x13[] = {
    0x00, 0x00, 0x40, 0xE0, 0x70, 0x58, 0x4C, 0x46, 0x43, 0x46, 0x4C, 0x58, 0x70, 0xE0, 0x40, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x1F, 0x10, 0x1F, 0x11, 0x1F, 0x10, 0x10, 0x13, 0x13, 0x10, 0x1F, 0x00,
    0x00, 0x00,
};

/* example_3x9.bmp, 98 bytes: 3 x 9 pixels
 * layout pages-lsb: pages of 8 rows from the top, one byte per column, bit 0 the top row
 * a set bit is a dark pixel */
#define example_3x9_width 3
#define example_3x9_height 16
const unsigned char example_3x9[] = {
    0x51, 0x12, 0x94, 0x00, 0x01, 0x00,
};

struct icons_entry {
    const unsigned char *data;
    unsigned short width, height; /* height: the rows the bytes cover */
    unsigned long size;           /* bytes of data */
};
#define icons_count 2
const struct icons_entry icons[icons_count] = {
    {icon_17x13, icon_17x13_width, icon_17x13_height, sizeof icon_17x13},
    {example_3x9, example_3x9_width, example_3x9_height, sizeof example_3x9},
};
