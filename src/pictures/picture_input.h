#pragma once
// The picture convert lists: a 1-bit BMP file exactly as the window reads it (its checks,
// its messages, its palette colours), any other picture by the decoder of its format
// (picture_reading.h) as one grey byte a pixel.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "back/render.h"
#include "pictures/import.h"
#include "pictures/picture_reading.h"
#include "prepare/prepare.h"

namespace dotlane {

// Room for the largest displays and what render can paint back; 1-bit BMP files keep the
// window's own limits.
inline constexpr int kMaxConvertSide = kMaxRenderSide;

// The reader's pixels, released as it allocated them.
struct GreyRelease {
    void operator()(DotlaneGrey* grey) const;
};

struct InputPicture {
    std::optional<LoadedFile> bmp; // set when the file is a 1-bit BMP the window accepts
    std::unique_ptr<DotlaneGrey, GreyRelease> grey; // for other pictures
    int width = 0;
    int height = 0;
    std::uint64_t file_size = 0;
    std::optional<std::string> error; // why the file cannot be listed
};

// For pictures that are not 1-bit BMP files, the grey: the luminance (299 R + 587 G + 114 B)
// / 1000, rounded, of the pixel laid over `background` (255 white, 0 black) by its alpha.
InputPicture read_picture(const std::string& path, int background);

// The colours instead, each row from the top handed to `each` (R, G, B, A a pixel) as the
// decoder makes it, or after the reading for the formats decoded whole; a 1-bit BMP file is
// read into `bmp` and `each` is not called.
using RowSink = std::function<void(int width, int height, int y, const std::uint8_t* rgba)>;
InputPicture read_colour_rows(const std::string& path, const RowSink& each);

// The frames of an animation (a still picture is one), composed as a viewer shows them: each
// frame's grey, as read_picture makes it, is handed to `each` with its delay in ms and is
// gone once `each` returns, so one frame's pixels are held at a time. A 1-bit BMP file is
// read as read_picture reads it, into `bmp`, and `each` is not called. `each` returns an
// error to stop the reading with it.
using FrameSink = std::function<std::optional<std::string>(GreyView grey, int delay)>;
InputPicture read_frames(const std::string& path, int background, const FrameSink& each);

} // namespace dotlane
