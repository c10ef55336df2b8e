#pragma once
// The picture files render, guess and check write: a palette PNG file (libpng) when the name ends
// ".png", else a 1-bit BMP file.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "engine/options.h"
#include "pictures/png_writing.h"
#include "shared/picture.h"

namespace dotlane::cli {

// The set bits black on white, or with `light` white on black.
std::optional<std::vector<std::uint8_t>> bitmap_file(Bitmap bits, bool light,
                                                     const std::string& path, std::ostream& err);

// A PNG file of the picture; prints why and returns nullopt when it cannot be made.
std::optional<std::vector<std::uint8_t>> png_file(const IndexedPicture& picture, std::ostream& err);

bool names_png(const std::string& path);

// A PNG file of the colours (0x00BBGGRR), each pixel a scale x scale square; with `gaps` a
// dot of scale - 1 inside a one-pixel line of `gap` (0xRRGGBB) all round. Prints why and
// returns nullopt when it would pass kMaxPicturePixels (`option` named there).
std::optional<std::vector<std::uint8_t>> colour_png(const Picture& colours, int scale, bool gaps,
                                                    std::uint32_t gap, const std::string& option,
                                                    std::ostream& err);

// The most pixels a picture dotlane-cli draws may have, enlarged: 4097 x 4097, about 16 MiB
// of palette indices.
inline constexpr std::uint64_t kMaxPicturePixels = 4097 * 4097;
using engine::kMaxScale;
using engine::picture_scale;

// Each cell of a width x height picture, row-major, made a scale x scale square; false,
// with the message on `err`, when that would pass kMaxPicturePixels (`option` named there).
bool enlarge(std::vector<std::uint8_t>& cells, int& width, int& height, int scale,
             const std::string& option, std::ostream& err);

// Writes `bytes` to `path` ("-": `out`) as every output is written.
int emit_file(const std::vector<std::uint8_t>& bytes, const std::string& path, std::ostream& out,
              std::ostream& err);

} // namespace dotlane::cli
