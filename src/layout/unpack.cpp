#include "layout/unpack.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace dotlane {

std::size_t layout_byte_count(BitLayout layout, int width, int height) {
    if (is_paged(layout)) return std::size_t(layout_rows(layout, height) / 8) * std::size_t(width);
    return std::size_t(width + 7) / 8 * std::size_t(height);
}

namespace {

using Spread = std::array<std::array<std::uint8_t, 8>, 256>;

// Every byte value as its eight pixels, the first pixel of its run first.
constexpr Spread spread_table(bool lsb_first) {
    Spread table{};
    for (int v = 0; v < 256; ++v)
        for (int k = 0; k < 8; ++k)
            table[v][k] = std::uint8_t(v >> (lsb_first ? k : 7 - k) & 1);
    return table;
}

constexpr Spread kMsbFirst = spread_table(false), kLsbFirst = spread_table(true);

void unpack_rows(std::span<const std::uint8_t> bytes, const Spread& spread, bool bottom_first,
                 Bitmap& bits) {
    const int w = bits.width, h = bits.height;
    const std::size_t per_row = std::size_t(w + 7) / 8;
    for (int r = 0; r < h && std::size_t(r) * per_row < bytes.size(); ++r) {
        const std::uint8_t* row = bytes.data() + std::size_t(r) * per_row;
        const std::size_t have = std::min(per_row, bytes.size() - std::size_t(r) * per_row);
        std::uint8_t* out = bits.bits.data() + std::size_t(bottom_first ? h - 1 - r : r) * w;
        for (std::size_t c = 0; c < have; ++c)
            std::memcpy(out + 8 * c, spread[row[c]].data(),
                        std::size_t(std::min(8, w - 8 * int(c))));
    }
}

void unpack_pages(std::span<const std::uint8_t> bytes, bool lsb, Bitmap& bits) {
    const std::size_t w = std::size_t(bits.width), h = std::size_t(bits.height);
    for (std::size_t top = 0, at = 0; top < h && at < bytes.size(); top += 8) {
        const std::size_t rows = std::min<std::size_t>(8, h - top);
        const std::size_t count = std::min(w, bytes.size() - at);
        std::uint8_t* out = bits.bits.data() + top * w;
        for (std::size_t k = 0; k < rows; ++k, out += w) {
            const int shift = int(lsb ? k : 7 - k);
            for (std::size_t x = 0; x < count; ++x)
                out[x] = std::uint8_t(bytes[at + x] >> shift & 1);
        }
        at += w;
    }
}

} // namespace

Bitmap unpack_bits(std::span<const std::uint8_t> bytes, BitLayout layout, int width, int height,
                   bool bottom_first) {
    Bitmap bits(width, height);
    if (width <= 0 || height <= 0) return bits;
    if (is_paged(layout))
        unpack_pages(bytes, layout == BitLayout::pages_lsb, bits);
    else
        unpack_rows(bytes, layout == BitLayout::rows_lsb ? kLsbFirst : kMsbFirst, bottom_first,
                    bits);
    return bits;
}

} // namespace dotlane
