#include "bmp_writer.h"

#include <functional>

namespace dotlane {

static void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = std::uint8_t(v >> (8 * i));
}

std::vector<std::uint8_t> encode_mono_bmp(const Picture& picture) {
    return encode_mono_bmp(picture.width, picture.height,
                           [&](int x, int y) { return picture.at(x, y) == kBlack; });
}

std::vector<std::uint8_t> encode_mono_bmp(int width, int height,
                                          const std::function<bool(int, int)>& black) {
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
    for (int y = 0; y < height; ++y) {
        const std::size_t row = offset + std::size_t(height - 1 - y) * row_bytes;
        for (int x = 0; x < width; ++x)
            if (!black(x, y)) out[row + std::size_t(x / 8)] |= 0x80 >> (x % 8);
    }
    return out;
}

} // namespace dotlane
