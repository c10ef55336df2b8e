#pragma once
// Byte layouts of more than one bit a pixel: grey levels packed into bytes, and colours of 8,
// 16 and 24 bits. Rows run from the top, each padded to whole bytes; the bits past the last
// pixel of a row are 0.
//
//   grey2-msb, grey4-msb  2 or 4 bits a pixel, the first pixel in the high bits
//   grey2-lsb, grey4-lsb  the same, the first pixel in the low bits
//   grey8                 a byte a pixel, 0 black
//   rgb565                16 bits, R in the top 5, G 6, B 5: the high byte first, as the
//                         controllers receive it
//   rgb565-le             the same 16 bits, the low byte first, as a uint16_t array holds
//                         them on a little-endian processor
//   rgb332                8 bits, R in the top 3, G 3, B 2
//   rgb888, bgr888        3 bytes: R, G, B, or B, G, R
//   bgra8888              4 bytes: B, G, R and the alpha, the colour not laid over anything
//   rgb565a8              every row of rgb565-le, then every row of the alpha, a byte a pixel
//   rgb565le-a8           3 bytes a pixel: rgb565-le, then the alpha
//   i1, i2, i4, i8        the picture's own colours, 2^n of them at most, as a table of 4
//                         bytes each (B, G, R, A; the unused ones 0), then each pixel's index
//                         in n bits, the first pixel in the high bits
//   a1, a2, a4, a8        the alpha alone, its top 1, 2, 4 or 8 bits, packed as the grey
//                         levels are with the first pixel in the high bits (a1: set where
//                         the alpha is 128 or more): a mask beside the colours
//   planes-bwr, planes-bwy  three-colour e-paper: each pixel black, white, or red (yellow),
//                         in two planes of rows-msb bits, the black plane then the colour
//                         one, a clear bit the ink (black, or the colour), as the panels'
//                         black-and-white RAM and inverted colour RAM take them
//   planes-4grey          four-grey e-paper: levels 0 (black) to 3 (white) in two planes of
//                         rows-msb bits, the levels' high bits then their low bits, as the
//                         0x10/0x13 controllers take them in their four-grey waveform
//   planes-4grey-inv      the same planes with every bit inverted, as the 0x24/0x26
//                         controllers take them
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dotlane {

struct ColourLayout {
    std::string_view name;
    bool grey;               // one level a pixel, else R, G, B
    std::array<int, 4> bits; // a level's bits, grey in the first
    int pixel_bits;          // 2, 4, 8, 16 or 24
    bool low_first; // grey: the first pixel in the low bits; rgb565: the low byte first; 24
                    // bits: blue first
    std::string_view description;
    // A palette's colours (R, G, B), the level a pixel's index into it; `planes` of one bit
    // a pixel each. None for the levels of channels.
    int colours = 0;
    std::array<std::array<int, 3>, 3> palette{};
    int planes = 1;
    bool alpha = false; // the level is the pixel's alpha, not its grey
    // R, G and B not laid over anything, and a fourth level, the alpha (in bits[3]).
    bool with_alpha = false;
    // The alpha in a plane of its own, a byte a pixel, after the colours' rows.
    bool alpha_plane = false;
    // Each pixel an index into the picture's own colours, a table of 2^bits of them (B, G, R,
    // A) before the rows; the indices packed as grey levels are, the first in the high bits.
    bool indexed = false;
    // The planes' bits stand for the opposite: a set bit is ink, not paper.
    bool inverted = false;
};

// The bytes before the rows: an indexed layout's colour table.
inline std::size_t colour_table_bytes(const ColourLayout& l) {
    return l.indexed ? std::size_t(4) << l.pixel_bits : 0;
}

// The levels a pixel: one for grey and palettes, three for R, G, B, four with the alpha.
inline int level_count(const ColourLayout& l) {
    return l.grey || l.colours ? 1 : l.with_alpha ? 4 : 3;
}

const ColourLayout* colour_layout_named(std::string_view name);
// Every name, ", " between them.
std::string colour_layout_names();

// The bytes of a row in one plane, and of the whole picture.
std::size_t colour_row_bytes(const ColourLayout& layout, int width);
std::size_t colour_byte_count(const ColourLayout& layout, int width, int height);
// How far row y's bytes in the second plane lie after its bytes in the first (pack_row's and
// unpack_row's plane_size).
std::size_t plane_distance(const ColourLayout& layout, int width, int height, int y);

// One row of levels (one a pixel for grey and palettes, else R, G, B) into its bytes, and
// back; `bytes` is the row in the first plane, the next plane `plane_size` bytes on.
void pack_row(const ColourLayout& layout, const std::uint8_t* levels, int width,
              std::uint8_t* bytes, std::size_t plane_size = 0);
void unpack_row(const ColourLayout& layout, const std::uint8_t* bytes, int width,
                std::uint8_t* levels, std::size_t plane_size = 0);

} // namespace dotlane
