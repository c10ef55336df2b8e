#include "pictures/bmp_writer.h"

#include "layout/layouts.h"

namespace dotlane {

static void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = std::uint8_t(v >> (8 * i));
}

std::vector<std::uint8_t> encode_mono_bmp(const Bitmap& black) {
    const int width = black.width, height = black.height;
    const std::uint32_t row_bytes = (std::uint32_t(width) + 31) / 32 * 4;
    const std::uint32_t offset = 14 + 40 + 8;
    const std::uint32_t size = offset + row_bytes * std::uint32_t(height);
    std::vector<std::uint8_t> out(size, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, size);
    put32(out, 10, offset);
    put32(out, 14, 40);
    put32(out, 18, std::uint32_t(width));
    put32(out, 22, std::uint32_t(height));
    out[26] = 1; // planes
    out[28] = 1; // bits per pixel
    put32(out, 34, row_bytes * std::uint32_t(height));
    put32(out, 38, 3780); // 96 dots per inch
    put32(out, 42, 3780);
    put32(out, 46, 2);
    put32(out, 58, 0x00FFFFFF); // entry 0 black (all zero), entry 1 white
    // The rows of the rows-msb layout, bottom row first, set bits cleared to entry 0 and
    // the bits past the width left 0.
    const std::vector<std::uint8_t> rows = layout_bytes(black, BitLayout::rows_msb);
    const std::size_t per_row = std::size_t(width + 7) / 8;
    const std::uint8_t last_mask = std::uint8_t(0xFF << (per_row * 8 - std::size_t(width)));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = out.data() + offset + std::size_t(height - 1 - y) * row_bytes;
        for (std::size_t c = 0; c < per_row; ++c)
            row[c] = std::uint8_t(~rows[std::size_t(y) * per_row + c]);
        if (per_row) row[per_row - 1] &= last_mask;
    }
    return out;
}

} // namespace dotlane
