#pragma once
// From a grey picture to the set bits of a display: turned, flipped, scaled onto a canvas,
// made black and white, and given the ink. Every step is integer arithmetic with the
// rounding docs/preparation.md states, so another program reproduces the bits exactly.
#include <cstdint>

#include "shared/picture.h"

namespace dotlane {

// One byte a pixel, row-major from the top left; 0 black, 255 white. Not owned.
struct GreyView {
    int width = 0;
    int height = 0;
    const std::uint8_t* pixels = nullptr;
};

enum class Fit { contain, cover, stretch, none };
enum class Dither { none, floyd_steinberg, atkinson, bayer4, bayer8 };

struct Preparation {
    int background = 255; // the grey of the canvas around a picture that does not fill it
    int rotate = 0;       // clockwise: 0, 90, 180 or 270
    bool flip_h = false;  // after the rotation
    bool flip_v = false;
    int width = 0; // the canvas; 0 for the picture's own size after the rotation
    int height = 0;
    Fit fit = Fit::contain;
    int threshold = 128; // dark below it; also the midpoint of the error diffusions
    Dither dither = Dither::none;
    bool light_ink = false; // the light pixels are the set bits
};

// The set bits of `source` prepared so; the full-size picture is read, never copied whole
// more than once.
Bitmap prepare(GreyView source, const Preparation& options);

// The size a picture of w x h takes on the canvas before it is centred (and cropped).
struct Extent {
    int width = 0;
    int height = 0;
};
Extent fitted_extent(int w, int h, const Preparation& options);

// The canvas a picture of w x h is placed on: the size asked for, else the turned picture's.
Extent canvas_extent(int w, int h, const Preparation& options);

// The picture turned, flipped, scaled and centred onto `canvas` (canvas_extent's size, the
// background already in it); each of four channels on its own when `rgba`, `source` then
// holding four bytes a pixel.
void place(GreyView source, const Preparation& options, std::uint8_t* canvas, bool rgba);

} // namespace dotlane
