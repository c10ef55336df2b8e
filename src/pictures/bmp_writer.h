#pragma once
// Writing a picture as a 1-bit BMP (palette black, then white).
#include <cstdint>
#include <vector>

#include "shared/picture.h"

namespace dotlane {

// A 1-bit BMP file of the bits: set bits black (palette entry 0), the others white.
std::vector<std::uint8_t> encode_mono_bmp(const Bitmap& black);

} // namespace dotlane
