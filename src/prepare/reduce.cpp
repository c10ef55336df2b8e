#include "prepare/reduce.h"

#include <algorithm>

namespace dotlane {

namespace {

constexpr int kMargin = 2;

constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// The matrix entry at (x, y) of the n x n matrix, the 8 x 8 one built from the 4 x 4 as the
// one-bit dither builds it.
int bayer(int x, int y, int n) {
    constexpr int kQuadrant[2][2] = {{0, 2}, {3, 1}};
    if (n == 4) return kBayer4[y % 4][x % 4];
    return 4 * kBayer4[y % 4][x % 4] + kQuadrant[y % 8 / 4][x % 8 / 4];
}

// Error diffusion over one row of values: each value plus its error, to the nearest level,
// the difference from that level's value shared out, each share rounded (shares off the
// edges land in the margins and are lost). The shares to the next pixels of this row wait in
// registers rather than in memory, which keeps a store and a load off the chain from one pixel
// to the next; `ch` is a constant, so a channel's carries stay in registers.
struct Tables {
    const std::array<std::array<std::uint8_t, 256>, 4>& nearest;
    const std::array<std::array<int, 256>, 4>& off; // u less its nearest level's value
    // One load on the chain: the error of v is what clamping took off plus the table's.
    int error(int c, int v, std::uint8_t& level) const {
        const int u = std::clamp(v, 0, 255);
        level = nearest[std::size_t(c)][std::size_t(u)];
        return v - u + off[std::size_t(c)][std::size_t(u)];
    }
};

// Sixteenths: 7 to the right; 3, 5 and 1 below left, below and below right.
template <int ch>
void floyd_steinberg(const int* values, int width, int* const rows[3], const Tables& t,
                     std::uint8_t* levels) {
    int ahead[ch] = {};
    for (int i = 0, x = 0; x < width; ++x)
        for (int c = 0; c < ch; ++c, ++i) {
            const int e = t.error(c, values[i] + rows[0][i] + ahead[c], levels[i]);
            ahead[c] = (7 * e + 8) >> 4;
            rows[1][i - ch] += (3 * e + 8) >> 4;
            rows[1][i] += (5 * e + 8) >> 4;
            rows[1][i + ch] += (e + 8) >> 4;
        }
}

// Eighths, six of them: two to the right, three below, one two rows below.
template <int ch>
void atkinson(const int* values, int width, int* const rows[3], const Tables& t,
              std::uint8_t* levels) {
    int next[ch] = {}, after[ch] = {};
    for (int i = 0, x = 0; x < width; ++x)
        for (int c = 0; c < ch; ++c, ++i) {
            const int e = t.error(c, values[i] + rows[0][i] + next[c], levels[i]);
            const int part = (e + 4) >> 3;
            next[c] = after[c] + part;
            after[c] = part;
            rows[1][i - ch] += part;
            rows[1][i] += part;
            rows[1][i + ch] += part;
            rows[2][i] += part;
        }
}

} // namespace

Reducer::Reducer(const Reduction& reduction, int width)
    : reduction_(reduction), width_(width),
      // A palette's pixels keep R, G and B until their colour is chosen.
      values_(std::size_t(width) * (reduction.grey         ? 1u
                                    : reduction.with_alpha ? 4u
                                                           : 3u)) {
    const bool diffused =
        reduction.dither == Dither::floyd_steinberg || reduction.dither == Dither::atkinson;
    if (diffused) error_.assign(3 * std::size_t(width + 2 * kMargin) * 4, 0);
    for (int c = 0; c < channels(); ++c) {
        const int bits = reduction.bits[std::size_t(c)], top = (1 << bits) - 1;
        for (int v = 0; v < 256; ++v) {
            nearest_[std::size_t(c)][std::size_t(v)] = std::uint8_t((v * top + 127) / 255);
            top_bits_[std::size_t(c)][std::size_t(v)] = std::uint8_t(v >> (8 - bits));
            off_[std::size_t(c)][std::size_t(v)] = v - level_value((v * top + 127) / 255, bits);
        }
    }
}

void Reducer::grey_row(const std::uint8_t* grey, std::uint8_t* levels) {
    std::copy(grey, grey + width_, values_.begin());
    reduce(levels);
}

void Reducer::row(const std::uint8_t* rgba, std::uint8_t* levels) {
    const Reduction& r = reduction_;
    const int bg = r.background;
    int* values = values_.data();
    for (int x = 0; x < width_; ++x, rgba += 4) {
        const int a = rgba[3];
        if (r.alpha) {
            values[x] = a;
        } else if (r.with_alpha) {
            for (int c = 0; c < 4; ++c)
                values[4 * x + c] = rgba[c];
        } else if (r.grey) {
            const int luminance = (299 * rgba[0] + 587 * rgba[1] + 114 * rgba[2] + 500) / 1000;
            values[x] = a == 255 ? luminance : (luminance * a + bg * (255 - a) + 127) / 255;
        } else {
            for (int c = 0; c < 3; ++c) // an opaque pixel keeps its channels exactly
                values[3 * x + c] = a == 255 ? rgba[c] : (rgba[c] * a + bg * (255 - a) + 127) / 255;
        }
    }
    reduce(levels);
}

// The palette's colour nearest a pixel's R, G, B: the least sum of squared differences, a tie
// going to the earlier colour.
static std::uint8_t nearest_colour(const Reduction& r, const int* v) {
    int best = 0, least = 1 << 30;
    for (int k = 0; k < r.colours; ++k) {
        int d = 0;
        for (int c = 0; c < 3; ++c) {
            const int e = std::clamp(v[c], 0, 255) - r.palette[std::size_t(k)][std::size_t(c)];
            d += e * e;
        }
        if (d < least) best = k, least = d;
    }
    return std::uint8_t(best);
}

// A palette's dithers: the diffusions share each channel's difference from the chosen
// colour as they share a level's; Bayer moves each channel by t - 127 first.
void Reducer::to_palette(std::uint8_t* levels) {
    const Reduction& r = reduction_;
    const int* values = values_.data();
    const bool ordered = r.dither == Dither::bayer4 || r.dither == Dither::bayer8;
    const int n = r.dither == Dither::bayer4 ? 4 : 8;
    const std::size_t stride = std::size_t(width_ + 2 * kMargin) * 3;
    int* rows[3] = {};
    if (!error_.empty())
        for (int k = 0; k < 3; ++k)
            rows[k] = error_.data() + std::size_t((y_ + k) % 3) * stride + kMargin * 3;
    for (int x = 0; x < width_; ++x) {
        int v[3];
        for (int c = 0; c < 3; ++c) {
            v[c] = values[3 * x + c];
            if (ordered) v[c] += (2 * bayer(x, y_, n) + 1) * 255 / (2 * n * n) - 127;
            if (rows[0]) v[c] += rows[0][3 * x + c];
        }
        const std::uint8_t k = levels[x] = nearest_colour(r, v);
        if (!rows[0]) continue;
        for (int c = 0; c < 3; ++c) {
            const int e = v[c] - r.palette[k][std::size_t(c)], i = 3 * x + c;
            if (r.dither == Dither::atkinson) {
                const int part = (e + 4) >> 3;
                for (int at : {i + 3, i + 6})
                    rows[0][at] += part;
                for (int at : {i - 3, i, i + 3})
                    rows[1][at] += part;
                rows[2][i] += part;
            } else {
                rows[0][i + 3] += (7 * e + 8) >> 4;
                rows[1][i - 3] += (3 * e + 8) >> 4;
                rows[1][i] += (5 * e + 8) >> 4;
                rows[1][i + 3] += (e + 8) >> 4;
            }
        }
    }
    if (rows[0]) std::fill(rows[0] - kMargin * 3, rows[0] - kMargin * 3 + stride, 0);
}

void Reducer::reduce(std::uint8_t* levels) {
    const Reduction& r = reduction_;
    if (r.colours) {
        to_palette(levels);
        ++y_;
        return;
    }
    const int ch = channels();
    const int* values = values_.data();
    const int count = width_ * ch;
    switch (r.dither) {
    case Dither::none: {
        const auto& table = r.round ? nearest_ : top_bits_;
        for (int c = 0; c < ch; ++c) {
            const auto& of = table[std::size_t(c)];
            for (int i = c; i < count; i += ch)
                levels[i] = of[std::size_t(values[i])];
        }
        break;
    }
    case Dither::bayer4:
    case Dither::bayer8: {
        const int n = r.dither == Dither::bayer4 ? 4 : 8;
        for (int i = 0, x = 0; x < width_; ++x) {
            const int t = (2 * bayer(x, y_, n) + 1) * 255 / (2 * n * n);
            for (int c = 0; c < ch; ++c, ++i) {
                const int top = (1 << r.bits[std::size_t(c)]) - 1;
                levels[i] = std::uint8_t(std::min(top, (values[i] * top + t) / 255));
            }
        }
        break;
    }
    case Dither::floyd_steinberg:
    case Dither::atkinson: {
        const std::size_t stride = std::size_t(width_ + 2 * kMargin) * std::size_t(ch);
        int* rows[3];
        for (int k = 0; k < 3; ++k)
            rows[k] = error_.data() + std::size_t((y_ + k) % 3) * stride + kMargin * ch;
        const Tables tables{nearest_, off_};
        const bool shared_by_six = r.dither == Dither::atkinson;
        if (ch == 1 && shared_by_six)
            atkinson<1>(values, width_, rows, tables, levels);
        else if (ch == 1)
            floyd_steinberg<1>(values, width_, rows, tables, levels);
        else if (ch == 4 && shared_by_six)
            atkinson<4>(values, width_, rows, tables, levels);
        else if (ch == 4)
            floyd_steinberg<4>(values, width_, rows, tables, levels);
        else if (shared_by_six)
            atkinson<3>(values, width_, rows, tables, levels);
        else
            floyd_steinberg<3>(values, width_, rows, tables, levels);
        std::fill(rows[0] - kMargin * ch, rows[0] - kMargin * ch + stride, 0);
        break;
    }
    }
    ++y_;
}

} // namespace dotlane
