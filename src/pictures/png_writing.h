#pragma once
// The PNG files dotlane-cli writes: palette pictures (painted listings, previews,
// differences), encoded by libpng into memory.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace dotlane::cli {

// A picture of palette indices, one byte a pixel, row-major from the top left.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> indices;
    std::vector<std::uint32_t> palette; // 0xRRGGBB
};

struct EncodedPng {
    std::vector<std::uint8_t> bytes;
    std::optional<std::string> error;
};

EncodedPng encode_png(const IndexedPicture& picture);
// A picture of colours, R, G, B a pixel, row-major from the top left.
EncodedPng encode_rgb_png(int width, int height, const std::vector<std::uint8_t>& rgb);

} // namespace dotlane::cli
