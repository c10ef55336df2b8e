/* Stands in for a firmware: prints the size of every bitmap, then one picture with # and .
 * as a display of pages of 8 rows (bit 0 the top row) would show it, then a time in the
 * clock's font, whose cells are a byte a row, bit 7 the left pixel. The colour picture's
 * first pixel is an RGB565 word sent high byte first. */
#include <stdio.h>

#include "digits.h"
#include "icons.h"
#include "panel.h"
#include "splash.h"

static void show(const unsigned char *pages, int width, int height)
{
    int x, y;
    for (y = 0; y < height; ++y) {
        for (x = 0; x < width; ++x)
            putchar(pages[y / 8 * width + x] >> (y % 8) & 1 ? '#' : '.');
        putchar('\n');
    }
}

int main(void)
{
    unsigned char screen[example_3x9_decoded_size];
    const char *time = "12:45";
    int i, x, y;
    for (i = 0; i < icons_count; ++i)
        printf("icon %d: %u x %u, %lu bytes compressed\n", i, icons[i].width, icons[i].height,
               icons[i].size);
    printf("splash: %d x %d, %lu bytes\n", splash_logo_128x64_width, splash_logo_128x64_height,
           (unsigned long)sizeof splash_logo_128x64);
    printf("panel: %d x %d, %lu bytes, first pixel %02X%02X\n", colours_24x16_width,
           colours_24x16_height, (unsigned long)sizeof colours_24x16, colours_24x16[0],
           colours_24x16[1]);
    dotlane_rle_decode(example_3x9, sizeof example_3x9, screen, sizeof screen);
    show(screen, example_3x9_width, 9);
    for (y = 0; y < digits_cell_height; ++y) {
        for (i = 0; time[i]; ++i)
            for (x = 0; x < digits_cell_width; ++x)
                putchar(digits[(time[i] - digits_first) * digits_cell_bytes + y] << x & 0x80 ? '#'
                                                                                               : '.');
        putchar('\n');
    }
    return 0;
}
