#pragma once
// The two forms a picture takes between the stages. A Picture holds colours, as a BMP
// file's palette gives them and the window's picture boxes show them; a Bitmap holds only
// which pixels list as set bits, one byte a pixel, which is all the byte layouts need.
#include <cstdint>
#include <vector>

namespace dotlane {

// Colours as the picture boxes report them: 0x00BBGGRR, -1 for no colour.
using Colour = std::int32_t;
inline constexpr Colour kBlack = 0;
inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kNoColour = -1;

// Row-major from the top-left pixel.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;

    Picture() = default;
    Picture(int w, int h, Colour fill) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
    Colour at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    void set(int x, int y, Colour c) { pixels[std::size_t(y) * width + x] = c; }
    bool operator==(const Picture&) const = default;
};

// Row-major from the top-left pixel; 1 where the pixel lists as a set bit, else 0.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bits;

    Bitmap() = default;
    Bitmap(int w, int h) : width(w), height(h), bits(std::size_t(w) * h, 0) {}
    bool at(int x, int y) const { return bits[std::size_t(y) * width + x] != 0; }
    bool operator==(const Bitmap&) const = default;
};

// Black where a bit is set, white elsewhere and in the rows below the bits down to `height`.
inline Picture black_on_white(const Bitmap& bits, int height) {
    Picture picture(bits.width, height, kWhite);
    for (std::size_t i = 0; i < bits.bits.size(); ++i)
        if (bits.bits[i]) picture.pixels[i] = kBlack;
    return picture;
}

// 1 where the picture is black.
inline Bitmap black_pixels(const Picture& picture) {
    Bitmap bits(picture.width, picture.height);
    for (std::size_t i = 0; i < bits.bits.size(); ++i)
        bits.bits[i] = picture.pixels[i] == kBlack;
    return bits;
}

// Whether a pixel of this colour lists as a set bit: every colour but pure white, or with
// "Invert Colors" ticked every colour but pure black. Every listing and layout of a BMP
// file asks this one test.
inline bool is_ink(Colour colour, bool invert) {
    return invert ? colour != kBlack : colour != kWhite;
}

} // namespace dotlane
