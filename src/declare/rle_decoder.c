/* Decoder of the bitmaps dotlane-cli writes with --compress rle: C99, no allocation, no
 * library beyond <stddef.h>. dotlane-cli copies this text into every file it compresses, so a
 * firmware needs nothing else; the guard lets one unit include several such files.
 *
 * The data: a first byte 0 says the bytes follow as they are (compression did not pay), 1
 * that control bytes follow, each starting a piece:
 *   0x00-0x3F  n + 1 bytes (1 to 64) follow, copied as they are
 *   0x40-0x7F  n + 1 bytes 0x00       (n is the low 6 bits of the control byte)
 *   0x80-0xBF  n + 1 bytes 0xFF
 *   0xC0-0xFF  n + 3 copies (3 to 66) of the byte that follows
 *
 * Byte by byte, to stream into a display:     Into a buffer:
 *   dotlane_rle_reader r;                         unsigned char frame[logo_decoded_size];
 *   int b;                                        dotlane_rle_decode(logo, sizeof logo,
 *   dotlane_rle_begin(&r, logo, sizeof logo);                        frame, sizeof frame);
 *   while ((b = dotlane_rle_next(&r)) >= 0) send(b);
 *
 * Damaged or foreign data ends early; nothing is read past `size` or written past `out_size`.
 * Every byte of the data is read through DOTLANE_RLE_BYTE(p), so data kept apart from RAM
 * (AVR's flash) is read as its platform reads it: the Arduino and u8g2 outputs define it as
 * those libraries read their own PROGMEM bytes before this text. */
#ifndef DOTLANE_RLE_DECODER
#define DOTLANE_RLE_DECODER
#include <stddef.h>

#ifndef DOTLANE_RLE_BYTE
#define DOTLANE_RLE_BYTE(p) (*(p))
#endif

typedef struct {
    const unsigned char *next, *end;
    size_t left; /* bytes of the current piece still to hand out */
    int value;   /* the byte a run repeats; -1 while copying */
} dotlane_rle_reader;

static inline void dotlane_rle_begin(dotlane_rle_reader *r, const unsigned char *data,
                                     size_t size)
{
    /* No arithmetic on `data` when it holds nothing: it may be a null pointer. */
    const unsigned flag = size > 0 ? DOTLANE_RLE_BYTE(data) : 2u;
    r->next = r->end = data;
    r->value = -1;
    r->left = 0;
    if (flag > 1)
        return;
    r->next = data + 1;
    r->end = data + size;
    if (flag == 0)
        r->left = size - 1;
}

/* The next byte, or -1 once there is none. */
static inline int dotlane_rle_next(dotlane_rle_reader *r)
{
    if (r->left == 0) {
        unsigned c;
        if (r->next == r->end)
            return -1;
        c = DOTLANE_RLE_BYTE(r->next);
        ++r->next;
        r->left = (c & 0x3Fu) + 1;
        r->value = c < 0x40 ? -1 : c < 0x80 ? 0x00 : c < 0xC0 ? 0xFF : -2;
        if (r->value == -2) {
            if (r->next == r->end) {
                r->left = 0;
                return -1;
            }
            r->value = DOTLANE_RLE_BYTE(r->next);
            ++r->next;
            r->left += 2;
        }
    }
    if (r->value < 0 && r->next == r->end) {
        r->left = 0;
        return -1;
    }
    --r->left;
    if (r->value >= 0)
        return r->value;
    ++r->next; /* apart from the read: DOTLANE_RLE_BYTE may use its argument twice */
    return DOTLANE_RLE_BYTE(r->next - 1);
}

/* Writes at most `out_size` bytes into `out`; returns how many it wrote. */
static inline size_t dotlane_rle_decode(const unsigned char *data, size_t size,
                                        unsigned char *out, size_t out_size)
{
    dotlane_rle_reader r;
    size_t n = 0;
    int b;
    dotlane_rle_begin(&r, data, size);
    while (n < out_size && (b = dotlane_rle_next(&r)) >= 0)
        out[n++] = (unsigned char)b;
    return n;
}
#endif
