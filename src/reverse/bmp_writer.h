#pragma once
// Writing a picture as a 1-bit BMP (palette black, then white).
#include <cstdint>
#include <functional>
#include <vector>

#include "shared/picture.h"

namespace dotlane {

// Black pixels take palette entry 0; every other colour entry 1 (white).
std::vector<std::uint8_t> encode_mono_bmp(const Picture& picture);
// The same for a picture known only pixel by pixel, which need not be held whole.
std::vector<std::uint8_t> encode_mono_bmp(int width, int height,
                                          const std::function<bool(int, int)>& black);

} // namespace dotlane
