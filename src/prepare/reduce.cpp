#include "prepare/reduce.h"

#include <algorithm>
#include <span>

namespace dotlane {

namespace {

constexpr int kMargin = 2;

struct Share {
    int dx, dy, part;
};
constexpr Share kFloydSteinberg[] = {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}};
constexpr Share kAtkinson[] = {{1, 0, 1}, {2, 0, 1}, {-1, 1, 1}, {0, 1, 1}, {1, 1, 1}, {0, 2, 1}};

constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// The matrix entry at (x, y) of the n x n matrix, the 8 x 8 one built from the 4 x 4 as the
// one-bit dither builds it.
int bayer(int x, int y, int n) {
    constexpr int kQuadrant[2][2] = {{0, 2}, {3, 1}};
    if (n == 4) return kBayer4[y % 4][x % 4];
    return 4 * kBayer4[y % 4][x % 4] + kQuadrant[y % 8 / 4][x % 8 / 4];
}

} // namespace

Reducer::Reducer(const Reduction& reduction, int width) : reduction_(reduction), width_(width) {
    const bool diffused =
        reduction.dither == Dither::floyd_steinberg || reduction.dither == Dither::atkinson;
    if (diffused) error_.assign(3 * std::size_t(width + 2 * kMargin) * channels(), 0);
}

void Reducer::row(const std::uint8_t* rgba, std::uint8_t* levels) {
    const Reduction& r = reduction_;
    const int ch = channels(), bg = r.background;
    const std::size_t stride = std::size_t(width_ + 2 * kMargin) * ch;
    int* rows[3] = {};
    if (!error_.empty())
        for (int k = 0; k < 3; ++k)
            rows[k] = error_.data() + std::size_t((y_ + k) % 3) * stride + kMargin * ch;
    const bool diffused = rows[0] != nullptr;
    const int n = r.dither == Dither::bayer4 ? 4 : 8;
    const bool ordered = r.dither == Dither::bayer4 || r.dither == Dither::bayer8;
    const auto spread = r.dither == Dither::atkinson ? std::span<const Share>(kAtkinson)
                                                     : std::span<const Share>(kFloydSteinberg);
    const int shift = r.dither == Dither::atkinson ? 3 : 4, half = 1 << (shift - 1);
    for (int x = 0; x < width_; ++x, rgba += 4) {
        const int a = rgba[3];
        int value[3];
        if (r.grey) {
            const int luminance = (299 * rgba[0] + 587 * rgba[1] + 114 * rgba[2] + 500) / 1000;
            value[0] = (luminance * a + bg * (255 - a) + 127) / 255;
        } else {
            for (int c = 0; c < 3; ++c)
                value[c] = (rgba[c] * a + bg * (255 - a) + 127) / 255;
        }
        for (int c = 0; c < ch; ++c) {
            const int bits = r.bits[std::size_t(c)], top = (1 << bits) - 1;
            int v = value[c], level;
            if (diffused) {
                v += rows[0][x * ch + c];
                level = (std::clamp(v, 0, 255) * top + 127) / 255;
                const int e = v - level_value(level, bits);
                for (const Share& s : spread)
                    rows[s.dy][(x + s.dx) * ch + c] += (s.part * e + half) >> shift;
            } else if (ordered) {
                const int t = (2 * bayer(x, y_, n) + 1) * 255 / (2 * n * n);
                level = std::min(top, (v * top + t) / 255);
            } else {
                level = r.round ? (v * top + 127) / 255 : v >> (8 - bits);
            }
            levels[x * ch + c] = std::uint8_t(level);
        }
    }
    if (diffused) std::fill(rows[0] - kMargin * ch, rows[0] - kMargin * ch + stride, 0);
    ++y_;
}

} // namespace dotlane
