#include "prepare/prepare.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace dotlane {

namespace {

// One source pixel's share of a canvas pixel along one axis.
struct Tap {
    int source;
    int weight;
};

// For every canvas index along one axis, the source pixels it averages: taps[first[i]] up
// to taps[first[i + 1]], none where the canvas shows the background. Every covered index
// has weights summing to `total`.
struct AxisMap {
    std::vector<int> first;
    std::vector<Tap> taps;
    int total = 1;
    bool covered(int i) const { return first[i] != first[i + 1]; }
};

// `n` pixels of the turned picture scaled to `m` and placed at `offset` on a canvas of
// `canvas` pixels; `reversed` when the turned axis runs against the stored one. A canvas
// pixel beyond the scaled picture gets no taps, so the work follows what is seen, however
// far a cover reaches past the canvas.
AxisMap axis_map(int n, int m, int canvas, int offset, bool reversed) {
    AxisMap map;
    map.first.reserve(std::size_t(canvas) + 1);
    map.total = m < n ? n : 1;
    const auto stored = [&](std::int64_t j) { return int(reversed ? n - 1 - j : j); };
    for (int i = 0; i < canvas; ++i) {
        map.first.push_back(int(map.taps.size()));
        const std::int64_t k = std::int64_t(i) - offset;
        if (k < 0 || k >= m) continue;
        if (m >= n) { // nearest: the source pixel under the centre of scaled pixel k
            map.taps.push_back({stored((2 * k + 1) * n / (2 * std::int64_t(m))), 1});
            continue;
        }
        // Box: scaled pixel k spans [k n, (k + 1) n) and source pixel j [j m, (j + 1) m).
        const std::int64_t from = k * n, to = from + n;
        for (std::int64_t j = from / m; j * m < to; ++j)
            map.taps.push_back(
                {stored(j), int(std::min(to, (j + 1) * m) - std::max(from, j * std::int64_t(m)))});
    }
    map.first.push_back(int(map.taps.size()));
    return map;
}

// Where the leftover of a canvas side goes: half (rounded down) before the picture, the
// rest after it; a picture larger than the canvas loses its edges the same way.
int centred(int canvas, int scaled) {
    return canvas >= scaled ? (canvas - scaled) / 2 : -((scaled - canvas) / 2);
}

std::int64_t rounded_scale(int side, int to, int from) {
    return std::max<std::int64_t>(1, (2 * std::int64_t(side) * to + from) / (2 * from));
}

// Whether the canvas pixels, one tap each, take consecutive stored pixels left to right.
// The covered ones always stand together, from the first.
bool straight(const AxisMap& map) {
    for (std::size_t t = 1; t < map.taps.size(); ++t)
        if (map.taps[t].source != map.taps[t - 1].source + 1) return false;
    return true;
}

int first_covered(const AxisMap& map) {
    int i = 0;
    while (i + 1 < int(map.first.size()) - 1 && !map.covered(i))
        ++i;
    return i;
}

// Each canvas pixel one source pixel: no sums, and a row that only moves is one copy. `Step`
// is the distance between a channel's neighbouring values, in the source and on the canvas:
// 1 for grey, 4 for one channel of RGBA.
template <int Step>
void sample(GreyView source, const AxisMap& along_x, const AxisMap& along_y, bool swap, int width,
            std::uint8_t* canvas) {
    const bool copy_rows = Step == 1 && !swap && straight(along_x);
    const int across = int(along_x.first.size()) - 1;
    const int start = first_covered(along_x);
    for (int b = 0; b < int(along_y.first.size()) - 1; ++b) {
        if (!along_y.covered(b)) continue;
        const std::uint8_t* row =
            source.pixels +
            std::size_t(along_y.taps[along_y.first[b]].source) * source.width * Step;
        if (copy_rows) {
            if (!along_x.taps.empty())
                std::memcpy(canvas + std::size_t(b) * width + start, row + along_x.taps[0].source,
                            along_x.taps.size());
            continue;
        }
        for (int a = 0; a < across; ++a) {
            if (!along_x.covered(a)) continue;
            const std::uint8_t value =
                row[std::size_t(along_x.taps[along_x.first[a]].source) * Step];
            canvas[(swap ? std::size_t(a) * width + b : std::size_t(b) * width + a) * Step] = value;
        }
    }
}

// Each canvas pixel the weighted sum of its source pixels over the product of the totals,
// rounded to the nearest with halves up; the stored rows are read in order.
template <int Step>
void average(GreyView source, const AxisMap& along_x, const AxisMap& along_y, bool swap, int width,
             std::uint8_t* canvas) {
    const int across = int(along_x.first.size()) - 1;
    const std::int64_t total = std::int64_t(along_x.total) * along_y.total;
    std::vector<std::int64_t> sums(std::size_t(across), 0);
    for (int b = 0; b < int(along_y.first.size()) - 1; ++b) {
        if (!along_y.covered(b)) continue;
        std::fill(sums.begin(), sums.end(), 0);
        for (int t = along_y.first[b]; t < along_y.first[b + 1]; ++t) {
            const std::uint8_t* row =
                source.pixels + std::size_t(along_y.taps[t].source) * source.width * Step;
            for (int a = 0; a < across; ++a) {
                int line = 0; // at most 255 n; times a weight it needs 64 bits
                for (int s = along_x.first[a]; s < along_x.first[a + 1]; ++s)
                    line +=
                        along_x.taps[s].weight * row[std::size_t(along_x.taps[s].source) * Step];
                sums[a] += std::int64_t(line) * along_y.taps[t].weight;
            }
        }
        for (int a = 0; a < across; ++a)
            if (along_x.covered(a))
                canvas[(swap ? std::size_t(a) * width + b : std::size_t(b) * width + a) * Step] =
                    std::uint8_t((sums[a] + total / 2) / total);
    }
}

// Error diffusion, rows from the top, each left to right; `spread` lists (dx, dy, sixteenths
// or eighths) and `shift` is 4 or 3. The error is not clamped; shares off the canvas are lost.
template <std::size_t N>
void diffuse(Bitmap& grey, int midpoint, const std::array<std::array<int, 3>, N>& spread,
             int shift) {
    constexpr int kMargin = 2;
    const int w = grey.width;
    const std::size_t stride = std::size_t(w) + 2 * kMargin;
    std::vector<int> error(3 * stride, 0); // this row and the two below, in turn
    const int half = 1 << (shift - 1);
    for (int y = 0; y < grey.height; ++y) {
        int* rows[3];
        for (int r = 0; r < 3; ++r)
            rows[r] = error.data() + ((y + r) % 3) * stride + kMargin;
        std::uint8_t* line = grey.bits.data() + std::size_t(y) * w;
        for (int x = 0; x < w; ++x) {
            const int value = line[x] + rows[0][x];
            const bool dark = value < midpoint;
            const int e = value - (dark ? 0 : 255);
            line[x] = dark;
            // Shares past the edges land in the margins, which are never read.
            for (const auto& [dx, dy, share] : spread)
                rows[dy][x + dx] += (share * e + half) >> shift;
        }
        std::fill(rows[0] - kMargin, rows[0] - kMargin + stride, 0);
    }
}

constexpr std::array<std::array<int, 3>, 4> kFloydSteinberg{
    {{1, 0, 7}, {-1, 1, 3}, {0, 1, 5}, {1, 1, 1}}};
constexpr std::array<std::array<int, 3>, 6> kAtkinson{
    {{1, 0, 1}, {2, 0, 1}, {-1, 1, 1}, {0, 1, 1}, {1, 1, 1}, {0, 2, 1}}};

constexpr std::array<std::array<int, 4>, 4> kBayer4{
    {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}}};

// The 8 x 8 matrix from the 4 x 4 one: 4 M4 + (0, 2, 3, 1) by quadrant.
constexpr int bayer8(int x, int y) {
    constexpr int kQuadrant[2][2] = {{0, 2}, {3, 1}};
    return 4 * kBayer4[y % 4][x % 4] + kQuadrant[y / 4][x / 4];
}

// Dark where g < (2 M + 1) 128 / n^2: thresholds 8 to 248 for n = 4, 2 to 254 for n = 8.
void ordered(Bitmap& grey, int n) {
    std::array<int, 64> limit{};
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            limit[y * n + x] = (2 * (n == 4 ? kBayer4[y][x] : bayer8(x, y)) + 1) * 128 / (n * n);
    for (int y = 0; y < grey.height; ++y) {
        std::uint8_t* line = grey.bits.data() + std::size_t(y) * grey.width;
        const int* row = limit.data() + (y % n) * n;
        for (int x = 0; x < grey.width; ++x)
            line[x] = line[x] < row[x % n];
    }
}

// The grey canvas, in place, to 1 where dark.
void black_and_white(Bitmap& grey, const Preparation& options) {
    switch (options.dither) {
    case Dither::floyd_steinberg:
        return diffuse(grey, options.threshold, kFloydSteinberg, 4);
    case Dither::atkinson:
        return diffuse(grey, options.threshold, kAtkinson, 3);
    case Dither::bayer4:
        return ordered(grey, 4);
    case Dither::bayer8:
        return ordered(grey, 8);
    case Dither::none:
        for (std::uint8_t& g : grey.bits)
            g = g < options.threshold;
    }
}

} // namespace

Extent fitted_extent(int w, int h, const Preparation& options) {
    if (options.width == 0 || options.fit == Fit::none) return {w, h};
    const int cw = options.width, ch = options.height;
    if (options.fit == Fit::stretch) return {cw, ch};
    // Width-bound when W / w is the smaller scale (contain) or the larger one (cover).
    const bool width_bound =
        (std::int64_t(cw) * h <= std::int64_t(ch) * w) == (options.fit == Fit::contain);
    if (width_bound) return {cw, int(rounded_scale(h, cw, w))};
    return {int(rounded_scale(w, ch, h)), ch};
}

Extent canvas_extent(int w, int h, const Preparation& options) {
    const bool swap = options.rotate == 90 || options.rotate == 270;
    if (options.width) return {options.width, options.height};
    return swap ? Extent{h, w} : Extent{w, h};
}

void place(GreyView source, const Preparation& options, std::uint8_t* canvas, bool rgba) {
    const bool swap = options.rotate == 90 || options.rotate == 270;
    // The turned picture's u runs along the stored x unless swapped; each flag says whether
    // the stored axis is read backwards.
    bool reverse_x = options.rotate == 180 || options.rotate == 270;
    bool reverse_y = options.rotate == 90 || options.rotate == 180;
    (swap ? reverse_y : reverse_x) ^= options.flip_h;
    (swap ? reverse_x : reverse_y) ^= options.flip_v;
    const int turned_w = swap ? source.height : source.width;
    const int turned_h = swap ? source.width : source.height;
    const Extent scaled = fitted_extent(turned_w, turned_h, options);
    const Extent c = canvas_extent(source.width, source.height, options);
    const AxisMap u = axis_map(turned_w, scaled.width, c.width, centred(c.width, scaled.width),
                               swap ? reverse_y : reverse_x);
    const AxisMap v = axis_map(turned_h, scaled.height, c.height, centred(c.height, scaled.height),
                               swap ? reverse_x : reverse_y);
    const AxisMap& along_x = swap ? v : u;
    const AxisMap& along_y = swap ? u : v;
    const bool one_tap = along_x.total == 1 && along_y.total == 1;
    if (!rgba) {
        if (one_tap)
            sample<1>(source, along_x, along_y, swap, c.width, canvas);
        else
            average<1>(source, along_x, along_y, swap, c.width, canvas);
        return;
    }
    for (int k = 0; k < 4; ++k) {
        const GreyView channel{source.width, source.height, source.pixels + k};
        if (one_tap)
            sample<4>(channel, along_x, along_y, swap, c.width, canvas + k);
        else
            average<4>(channel, along_x, along_y, swap, c.width, canvas + k);
    }
}

Bitmap prepare(GreyView source, const Preparation& options) {
    const Extent c = canvas_extent(source.width, source.height, options);
    Bitmap canvas;
    canvas.width = c.width;
    canvas.height = c.height;
    canvas.bits.assign(std::size_t(c.width) * std::size_t(c.height),
                       std::uint8_t(options.background));
    place(source, options, canvas.bits.data(), false);
    black_and_white(canvas, options);
    if (options.light_ink)
        for (std::uint8_t& bit : canvas.bits)
            bit ^= 1;
    return canvas;
}

} // namespace dotlane
