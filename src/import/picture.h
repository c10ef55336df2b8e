#pragma once
// A picture as colours, row-major from the top-left pixel: the form in which a loaded BMP,
// the working copy and a rendered listing travel between the stages and the window.
#include <vector>

#include "shared/module1.h"

namespace dotlane {

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

} // namespace dotlane
