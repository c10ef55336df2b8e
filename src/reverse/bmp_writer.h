#pragma once
// Writing a picture as a 1-bit BMP (palette black, then white) and saving files so that an
// existing file is replaced whole or not at all.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "import/picture.h"

namespace dotlane {

// Black pixels take palette entry 0; every other colour entry 1 (white).
std::vector<std::uint8_t> encode_mono_bmp(const Picture& picture);
// The same for a picture known only pixel by pixel, which need not be held whole.
std::vector<std::uint8_t> encode_mono_bmp(int width, int height,
                                          const std::function<bool(int, int)>& black);

// Writes a temporary file beside `path`, flushes it and renames it over `path`. An existing
// read-only file at `path` is not replaced.
// Returns empty text on success, otherwise the reason.
std::string save_file_atomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace dotlane
