#pragma once
// PNG files of stored deflate blocks: the pictures the page serves are small, and a
// compressor would outweigh the rest of the engine.
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "shared/picture.h"

namespace dotlane::web {

// A byte a pixel, each an index into `palette` (0xRRGGBB).
std::vector<std::uint8_t> indexed_png(const std::vector<std::uint8_t>& indices, int width,
                                      int height, std::initializer_list<std::uint32_t> palette);

// The colours as they are (0x00BBGGRR), 8 bits a channel.
std::vector<std::uint8_t> colour_png(const Picture& colours);

} // namespace dotlane::web
