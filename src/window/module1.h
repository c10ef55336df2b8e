#pragma once
// The window's module-level state: the two 501 x 501 colour grids the import fills and the
// colour inversion flag. One instance lives as long as the window.
#include <stdexcept>
#include <vector>

#include "shared/picture.h"

namespace dotlane::ui {

// Column index first, both 0..500. A cell never written holds 0.
class Grid {
public:
    static constexpr int kSize = 501;
    Grid() : cells_(std::size_t(kSize) * kSize, 0) {}
    Colour& at(int x, int y) { return cells_[index(x, y)]; }
    Colour at(int x, int y) const { return cells_[index(x, y)]; }

private:
    static std::size_t index(int x, int y) {
        if (x < 0 || y < 0 || x >= kSize || y >= kSize) throw std::out_of_range("grid index");
        return std::size_t(x) * kSize + std::size_t(y);
    }
    std::vector<Colour> cells_;
};

struct SharedState {
    Grid source_grid;
    Grid pixel_grid;
    int invert_colours = 0;
};

} // namespace dotlane::ui
