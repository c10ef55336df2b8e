#pragma once
// The picture convert lists: a 1-bit BMP file exactly as the window reads it (its checks,
// its messages, its palette colours), any other picture through Qt's image reader in the
// module dotlane-qimage.so, made black and white by a luminance threshold. QImage needs no
// display, and neither the engine nor dotlane-cli itself links the toolkit.
#include <cstdint>
#include <optional>
#include <string>

#include "import/import.h"
#include "reverse/render.h"

namespace dotlane::cli {

// Room for the largest displays and what render can paint back; 1-bit BMP files keep the
// window's own limits.
inline constexpr int kMaxConvertSide = kMaxRenderSide;

struct InputPicture {
    std::optional<LoadedFile> bmp; // set when the file is a 1-bit BMP the window accepts
    Bitmap dark;                   // for other pictures: 1 where the pixel is dark
    int width = 0;
    int height = 0;
    std::uint64_t file_size = 0;
    std::optional<std::string> error; // why the file cannot be listed
};

// Dark, for pictures that are not 1-bit BMP files: the luminance (299 R + 587 G + 114 B)
// / 1000, rounded, of the pixel laid over white by its alpha, is below `threshold`.
InputPicture read_picture(const std::string& path, int threshold);

} // namespace dotlane::cli
