/* The floor for whole-process timings: a minimal C program that reads a 1-bit BMP picture
 * (black first in its palette, bottom-up, 40-byte header) and prints its T6963C or SED1565
 * listing exactly as dotlane-cli does, with no checks beyond what it needs not to crash.
 *
 *   floor t6963c|sed1565 FILE */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const char digits[] = "0123456789ABCDEF";

static char *put(char *at, unsigned v) {
    at[0] = '0', at[1] = 'x', at[2] = digits[v >> 4], at[3] = digits[v & 15], at[4] = ',';
    return at + 5;
}

int main(int argc, char **argv) {
    static unsigned char file[1 << 20];
    static char out[4 << 20];
    FILE *f = argc == 3 ? fopen(argv[2], "rb") : NULL;
    if (!f) return 1;
    size_t size = fread(file, 1, sizeof file, f);
    fclose(f);
    if (size < 62) return 1;
    unsigned offset = file[10] | file[11] << 8, w = file[18] | file[19] << 8;
    unsigned h = file[22] | file[23] << 8, per_row = (w + 7) / 8, stride = (per_row + 3) & ~3u;
    char *at = out;
    if (!strcmp(argv[1], "t6963c")) {
        at += sprintf(at, "%u,%u,\r\n", h, per_row);
        unsigned char mask = (unsigned char)(0xFF << (per_row * 8 - w));
        for (unsigned r = 0; r < h; ++r) {
            const unsigned char *row = file + offset + r * stride;
            for (unsigned c = 0; c < per_row; ++c)
                at = put(at, (unsigned char)~row[c] & (c + 1 == per_row ? mask : 0xFF));
            *at++ = '\r', *at++ = '\n';
        }
    } else {
        size_t n = 0;
        for (unsigned page = 0; page < (h + 7) / 8; ++page)
            for (unsigned x = 0; x < w; ++x, ++n) {
                unsigned v = 0;
                for (unsigned bit = 0; bit < 8 && page * 8 + bit < h; ++bit) {
                    const unsigned char *row = file + offset + (h - 1 - page * 8 - bit) * stride;
                    v |= (unsigned)!((row[x / 8] >> (7 - x % 8)) & 1) << bit;
                }
                if (n && n % 16 == 0) *at++ = '\r', *at++ = '\n';
                at = put(at, v);
            }
    }
    return fwrite(out, 1, (size_t)(at - out), stdout) == (size_t)(at - out) ? 0 : 1;
}
