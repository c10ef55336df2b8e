// How each layout of more than one bit packs a row of levels into bytes and reads them back:
// the bit and byte orders docs/colour.md gives, one function each way.
#include <algorithm>

#include "layout/colour_layouts.h"

namespace dotlane {

std::size_t colour_row_bytes(const ColourLayout& layout, int width) {
    return (std::size_t(width) * std::size_t(layout.pixel_bits) + 7) / 8;
}

std::size_t colour_byte_count(const ColourLayout& layout, int width, int height) {
    const std::size_t alpha = layout.alpha_plane ? std::size_t(width) * std::size_t(height) : 0;
    return colour_table_bytes(layout) +
           colour_row_bytes(layout, width) * std::size_t(height) * std::size_t(layout.planes) +
           alpha;
}

std::size_t plane_distance(const ColourLayout& layout, int width, int height, int y) {
    const std::size_t colours = colour_row_bytes(layout, width) * std::size_t(height);
    if (!layout.alpha_plane) return colours;
    // The alpha rows are narrower than the colour rows: row y's lies y (2w - w) bytes nearer.
    return colours - (colour_row_bytes(layout, width) - std::size_t(width)) * std::size_t(y);
}

void pack_row(const ColourLayout& l, const std::uint8_t* levels, int width, std::uint8_t* out,
              std::size_t plane_size) {
    if (l.planes == 2 && l.grey) { // a level's high bit in the first plane, its low in the second
        const unsigned flip = l.inverted ? 0xFF : 0;
        for (int x = 0; x < width; x += 8) {
            unsigned high = 0, low = 0;
            for (int k = 0; k < 8 && x + k < width; ++k) {
                high |= unsigned(levels[x + k] >> 1 & 1) << (7 - k);
                low |= unsigned(levels[x + k] & 1) << (7 - k);
            }
            const int last = width - x < 8 ? 8 - (width - x) : 0; // the bits past the row: 0
            out[x / 8] = std::uint8_t((high ^ flip) >> last << last);
            out[plane_size + std::size_t(x / 8)] = std::uint8_t((low ^ flip) >> last << last);
        }
        return;
    }
    if (l.planes == 2) { // index 0 black, 1 white, 2 the colour; a set bit is paper
        std::uint8_t* ink = out + plane_size;
        for (int x = 0; x < width; x += 8) {
            std::uint8_t black = 0xFF, colour = 0xFF;
            for (int k = 0; k < 8 && x + k < width; ++k) {
                black ^= std::uint8_t((levels[x + k] == 0) << (7 - k));
                colour ^= std::uint8_t((levels[x + k] == 2) << (7 - k));
            }
            const int last = width - x < 8 ? 8 - (width - x) : 0; // the bits past the row: 0
            out[x / 8] = std::uint8_t(black >> last << last);
            ink[x / 8] = std::uint8_t(colour >> last << last);
        }
        return;
    }
    if (l.grey && l.pixel_bits == 4 && width % 2 == 0) { // the common case, two at a time
        const int high = l.low_first ? 1 : 0;
        for (int x = 0; x < width; x += 2)
            out[x / 2] = std::uint8_t(levels[x + high] << 4 | levels[x + 1 - high]);
        return;
    }
    if (l.grey && l.pixel_bits < 8) {
        const int n = l.pixel_bits, per = 8 / n;
        for (std::size_t i = 0; i < colour_row_bytes(l, width); ++i)
            out[i] = 0;
        for (int x = 0; x < width; ++x) {
            const int slot = x % per, shift = l.low_first ? slot * n : 8 - n - slot * n;
            out[x / per] = std::uint8_t(out[x / per] | levels[x] << shift);
        }
        return;
    }
    if (l.alpha_plane) { // rgb565-le, the alpha in its own plane
        for (int x = 0; x < width; ++x, levels += 4, out += 2) {
            const unsigned word = unsigned(levels[0]) << 11 | unsigned(levels[1]) << 5 | levels[2];
            out[0] = std::uint8_t(word), out[1] = std::uint8_t(word >> 8);
            out[plane_size - std::size_t(x)] = levels[3];
        }
    } else if (l.with_alpha && l.pixel_bits == 24) { // rgb565-le, then the alpha
        for (int x = 0; x < width; ++x, levels += 4, out += 3) {
            const unsigned word = unsigned(levels[0]) << 11 | unsigned(levels[1]) << 5 | levels[2];
            out[0] = std::uint8_t(word), out[1] = std::uint8_t(word >> 8), out[2] = levels[3];
        }
    } else if (l.pixel_bits == 32) { // blue, green, red, alpha
        for (int x = 0; x < width; ++x, levels += 4, out += 4)
            out[0] = levels[2], out[1] = levels[1], out[2] = levels[0], out[3] = levels[3];
    } else if (l.pixel_bits == 24 && l.low_first) { // blue first
        for (int x = 0; x < width; ++x, levels += 3, out += 3)
            out[0] = levels[2], out[1] = levels[1], out[2] = levels[0];
    } else if (l.grey || l.pixel_bits == 24) { // the levels are the bytes
        std::copy(levels, levels + colour_row_bytes(l, width), out);
    } else if (l.pixel_bits == 8) {
        for (int x = 0; x < width; ++x, levels += 3)
            out[x] = std::uint8_t(levels[0] << 5 | levels[1] << 2 | levels[2]);
    } else {
        const int high = l.low_first ? 1 : 0;
        for (int x = 0; x < width; ++x, levels += 3, out += 2) {
            const unsigned word = unsigned(levels[0]) << 11 | unsigned(levels[1]) << 5 | levels[2];
            out[high] = std::uint8_t(word >> 8);
            out[1 - high] = std::uint8_t(word);
        }
    }
}

void unpack_row(const ColourLayout& l, const std::uint8_t* bytes, int width, std::uint8_t* levels,
                std::size_t plane_size) {
    if (l.planes == 2 && l.grey) {
        const unsigned flip = l.inverted ? 1 : 0;
        for (int x = 0; x < width; ++x) {
            const int bit = 7 - x % 8;
            const unsigned high = (bytes[x / 8] >> bit & 1) ^ flip;
            const unsigned low = (bytes[plane_size + std::size_t(x / 8)] >> bit & 1) ^ flip;
            levels[x] = std::uint8_t(high << 1 | low);
        }
        return;
    }
    if (l.planes == 2) { // black ink wins where both planes have it
        for (int x = 0; x < width; ++x) {
            const int bit = 7 - x % 8;
            const bool black = !(bytes[x / 8] >> bit & 1);
            const bool colour = !(bytes[plane_size + std::size_t(x / 8)] >> bit & 1);
            levels[x] = black ? 0 : colour ? 2 : 1;
        }
        return;
    }
    if (l.grey && l.pixel_bits < 8) {
        const int n = l.pixel_bits, per = 8 / n;
        for (int x = 0; x < width; ++x) {
            const int slot = x % per, shift = l.low_first ? slot * n : 8 - n - slot * n;
            levels[x] = std::uint8_t(bytes[x / per] >> shift & ((1 << n) - 1));
        }
        return;
    }
    if (l.with_alpha && l.pixel_bits == 24) {
        for (int x = 0; x < width; ++x, levels += 4, bytes += 3) {
            const unsigned word = unsigned(bytes[1]) << 8 | bytes[0];
            levels[0] = std::uint8_t(word >> 11), levels[1] = word >> 5 & 63, levels[2] = word & 31;
            levels[3] = bytes[2];
        }
        return;
    }
    if (l.alpha_plane) {
        for (int x = 0; x < width; ++x, levels += 4, bytes += 2) {
            const unsigned word = unsigned(bytes[1]) << 8 | bytes[0];
            levels[0] = std::uint8_t(word >> 11), levels[1] = word >> 5 & 63, levels[2] = word & 31;
            levels[3] = bytes[plane_size - std::size_t(x)];
        }
        return;
    }
    if (l.pixel_bits == 32) {
        for (int x = 0; x < width; ++x, levels += 4, bytes += 4)
            levels[0] = bytes[2], levels[1] = bytes[1], levels[2] = bytes[0], levels[3] = bytes[3];
        return;
    }
    for (int x = 0; x < width; ++x) {
        std::uint8_t* v = levels + (l.grey ? x : 3 * x);
        switch (l.pixel_bits) {
        case 8:
            if (l.grey)
                v[0] = bytes[x];
            else
                v[0] = bytes[x] >> 5, v[1] = bytes[x] >> 2 & 7, v[2] = bytes[x] & 3;
            break;
        case 16: {
            const unsigned high = bytes[2 * x + (l.low_first ? 1 : 0)];
            const unsigned word = high << 8 | bytes[2 * x + (l.low_first ? 0 : 1)];
            v[0] = std::uint8_t(word >> 11), v[1] = word >> 5 & 63, v[2] = word & 31;
            break;
        }
        default: {
            const int red = l.low_first ? 2 : 0;
            v[0] = bytes[3 * x + red], v[1] = bytes[3 * x + 1], v[2] = bytes[3 * x + 2 - red];
        }
        }
    }
}

} // namespace dotlane
