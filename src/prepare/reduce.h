#pragma once
// From colours (RGBA, 8 bits a channel) to the levels a layout of more than one bit keeps:
// one grey level a pixel, or a red, green and blue level. Integer arithmetic throughout, as
// docs/colour.md writes it, so another program reproduces every level exactly. A row at a
// time: error diffusion keeps only the rows its shares reach.
#include <array>
#include <cstdint>
#include <vector>

#include "prepare/prepare.h"

namespace dotlane {

struct Reduction {
    std::array<int, 4> bits{8, 8, 8, 8}; // a channel's bits; grey uses bits[0]
    bool grey = false;
    bool alpha = false;      // the pixel's alpha is its one value, not laid over anything
    bool with_alpha = false; // R, G, B as they are and the alpha a fourth level
    bool round = false;      // the nearest level, else the top bits (ignored when dithered)
    Dither dither = Dither::none;
    int background = 255; // what transparent pixels lie over, each channel alike
    // A palette instead of levels: each pixel the index of its nearest colour (R, G, B).
    int colours = 0;
    std::array<std::array<int, 3>, 3> palette{};
};

class Reducer {
public:
    Reducer(const Reduction& reduction, int width);
    // The next row's levels: `width` of them for grey, else 3 a pixel (R, G, B), or 4 with
    // the alpha.
    void row(const std::uint8_t* rgba, std::uint8_t* levels);
    // The same from greys already laid over the background (grey layouts only): the reading
    // of one-bit layouts gives exactly these.
    void grey_row(const std::uint8_t* grey, std::uint8_t* levels);
    // The levels a pixel: one for grey and palettes, else three.
    int channels() const {
        return reduction_.grey || reduction_.colours ? 1 : reduction_.with_alpha ? 4 : 3;
    }

private:
    void reduce(std::uint8_t* levels); // values_ to levels
    void to_palette(std::uint8_t* levels);
    Reduction reduction_;
    int width_;
    int y_ = 0;
    std::vector<int> values_; // the row's values over the background
    std::vector<int> error_;  // three rows of errors, each with a margin of 2 either side
    // For each channel and value 0..255: the nearest level, the top bits, and how far the
    // value lies from its nearest level's value, so no pixel divides.
    std::array<std::array<std::uint8_t, 256>, 4> nearest_{}, top_bits_{};
    std::array<std::array<int, 256>, 4> off_{};
};

// The 8-bit value a level of `bits` bits stands for: k 255 / (2^bits - 1), rounded.
inline int level_value(int level, int bits) {
    const int top = (1 << bits) - 1;
    return (level * 255 + top / 2) / top;
}

} // namespace dotlane
