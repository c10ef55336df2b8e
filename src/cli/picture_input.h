#pragma once
// The picture convert lists: a 1-bit BMP file exactly as the window reads it (its checks,
// its messages, its palette colours), any other picture through Qt's image reader in the
// module dotlane-qimage.so, made black and white by a luminance threshold. QImage needs no
// display, and neither the engine nor dotlane-cli itself links the toolkit.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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

// Every frame of an animation, composed as a viewer shows it, dark by the same rule; a still
// picture (a 1-bit BMP file too, read as the window reads it) is one frame.
struct InputFrames {
    std::vector<Bitmap> frames; // the set bits, with --invert-colors already applied
    std::vector<int> delays;    // ms, one a frame
    int width = 0;
    int height = 0;
    std::uint64_t file_size = 0;
    std::optional<std::string> error;
};
InputFrames read_frames(const std::string& path, int threshold, bool invert);

} // namespace dotlane::cli
