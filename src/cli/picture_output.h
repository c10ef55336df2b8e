#pragma once
// The picture files render, guess and check write: a palette PNG file (libpng) when the name ends
// ".png", else a 1-bit BMP file.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "pictures/png_writing.h"
#include "shared/picture.h"

namespace dotlane::cli {

// The set bits black on white, or with `light` white on black.
std::optional<std::vector<std::uint8_t>> bitmap_file(Bitmap bits, bool light,
                                                     const std::string& path, std::ostream& err);

// A PNG file of the picture; prints why and returns nullopt when it cannot be made.
std::optional<std::vector<std::uint8_t>> png_file(const IndexedPicture& picture, std::ostream& err);

bool names_png(const std::string& path);

// Writes `bytes` to `path` ("-": `out`) as every output is written.
int emit_file(const std::vector<std::uint8_t>& bytes, const std::string& path, std::ostream& out,
              std::ostream& err);

} // namespace dotlane::cli
