#include "back/guess.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

#include "layout/unpack.h"

namespace dotlane {

std::string shape_layout_name(const Shape& shape) {
    return shape.t6963c ? "t6963c" : layout_name(shape.layout);
}

namespace {

constexpr int kMinWidth = 8, kMaxSide = 4096;

// The bits needed to code every pixel from seven before it: two to the left, three above,
// and the pixels a byte's width to the left and a page's height above, which tie the
// repeats of a drawing made on a grid of 8 (letters, grids, icons) to their own period, so
// that a wrong layout cannot gain by lining those repeats up. Each pattern of the seven is
// followed by set pixels in its own share: the empirical conditional entropy, n H(n1 / n)
// summed over the patterns. Pixels past the edges count as clear.
double coding_cost(const Bitmap& bits) {
    std::array<std::array<std::uint32_t, 2>, 128> counts{};
    const std::size_t w = std::size_t(bits.width);
    const std::vector<std::uint8_t> clear(w + 1, 0);
    for (std::size_t y = 0; y < std::size_t(bits.height); ++y) {
        const std::uint8_t* row = bits.bits.data() + y * w;
        const std::uint8_t* up = y ? row - w : clear.data();
        const std::uint8_t* page_up = y >= 8 ? row - 8 * w : clear.data();
        unsigned near = 0, above = up[0]; // near: two to the left; above: up-left, up, up-right
        auto code = [&](std::size_t x, unsigned up_right, unsigned byte_left) {
            above = (above << 1 | up_right) & 7;
            ++counts[(byte_left << 1 | page_up[x]) << 5 | above << 2 | near][row[x]];
            near = (near << 1 | row[x]) & 3;
        };
        // The middle of the row, where every neighbour is inside, without a test a pixel.
        const std::size_t middle = std::min<std::size_t>(8, w);
        for (std::size_t x = 0; x < middle; ++x)
            code(x, x + 1 < w ? up[x + 1] : 0u, 0u);
        for (std::size_t x = middle; x + 1 < w; ++x)
            code(x, up[x + 1], row[x - 8]);
        if (w > 8) code(w - 1, 0u, row[w - 9]);
    }
    double cost = 0;
    for (const auto& [n0, n1] : counts) {
        const double n = double(n0) + double(n1);
        if (n0) cost += double(n0) * std::log2(n / double(n0));
        if (n1) cost += double(n1) * std::log2(n / double(n1));
    }
    return cost;
}

// Pictures for these displays are mostly wider than high, up to four times. Readings of
// one array whose coding costs nearly the same (a drawing cut into pages laid side by side
// or stacked, a page turned on its side) differ mostly in shape, so a candidate loses this
// much for each doubling of its height over its width, or of its width over four heights.
constexpr double kShapeCost = 0.02;

double shape_cost(int width, int height) {
    const double wide = std::log2(double(width) / double(height));
    return kShapeCost * (std::max(0.0, -wide) + std::max(0.0, wide - 2));
}

// Clear columns at the left and at the right of every row: at the left up to 8, at the
// right through as many bytes as are clear.
std::pair<int, int> clear_margins(std::span<const std::uint8_t> bytes, std::size_t per_row,
                                  bool lsb) {
    int left = 8, right = int(8 * per_row);
    for (std::size_t at = 0; at < bytes.size(); at += per_row) {
        const unsigned first = bytes[at];
        left = std::min(left, lsb ? std::countr_zero(first | 0x100)
                                  : std::countl_zero(std::uint8_t(first)));
        int clear = 0;
        for (std::size_t c = per_row; c-- > 0 && clear < right;) {
            const unsigned b = bytes[at + c];
            clear += lsb ? std::countl_zero(std::uint8_t(b)) : std::countr_zero(b | 0x100);
            if (b) break;
        }
        right = std::min(right, clear);
    }
    return {left, right};
}

int order(const Shape& s) {
    if (s.t6963c) return 0;
    switch (s.layout) {
    case BitLayout::pages_lsb:
        return 1;
    case BitLayout::rows_msb:
        return 2;
    case BitLayout::rows_lsb:
        return 3;
    case BitLayout::pages_msb:
        return 4;
    }
    return 5;
}

} // namespace

std::vector<Candidate> guess_shapes(std::span<const std::uint8_t> bytes,
                                    std::optional<T6963cHead> head) {
    std::vector<Candidate> found;
    const std::size_t n = bytes.size();
    if (n == 0) return found;
    std::size_t set = 0;
    for (std::uint8_t b : bytes)
        set += std::size_t(std::popcount(unsigned(b)));
    const double bits = 8.0 * double(n), p = double(set) / bits;
    const double marginal =
        set == 0 || set == 8 * n ? 0 : -bits * (p * std::log2(p) + (1 - p) * std::log2(1 - p));
    // Row layouts are scored at whole bytes a row: the clear bits at the right cost nothing.
    auto score = [&](BitLayout layout, int width, int height) {
        if (marginal == 0) return 0.0;
        return 1 - coding_cost(unpack_bits(bytes, layout, width, height)) / marginal -
               shape_cost(width, height);
    };
    // Both widths a row layout allows, the likelier first (see guess.h); equal scores.
    std::vector<std::pair<Candidate, int>> ranked; // the candidate and its place among equals
    auto add_rows = [&](Shape shape, std::size_t per_row, double s) {
        const auto [left, right] =
            clear_margins(bytes, per_row, shape.layout == BitLayout::rows_lsb);
        const int whole = int(8 * per_row), centred = whole - right + left;
        shape.width = right == 0 || centred < whole - 7 ? whole : std::min(whole, centred);
        ranked.push_back({{shape, s}, 0});
        if (right == 0) return;
        shape.width = shape.width == whole ? std::max(whole - right, whole - 7) : whole;
        ranked.push_back({{shape, s}, 1});
    };
    for (std::size_t per = 1; per <= std::size_t(kMaxSide) && per <= n; ++per) {
        if (n % per) continue;
        const std::size_t lines = n / per;
        if (per * 8 <= std::size_t(kMaxSide) && lines <= kMaxSide) // `per` bytes a row
            for (BitLayout layout : {BitLayout::rows_msb, BitLayout::rows_lsb})
                add_rows({layout, false, 0, int(lines)}, per,
                         score(layout, int(8 * per), int(lines)));
        if (per >= std::size_t(kMinWidth) && per <= kMaxSide && lines * 8 <= kMaxSide)
            for (BitLayout layout : {BitLayout::pages_lsb, BitLayout::pages_msb})
                ranked.push_back({{{layout, false, int(per), int(lines * 8)},
                                   score(layout, int(per), int(lines * 8))},
                                  0});
    }
    // Its rows are the bytes over the row size, so few bytes a row can make a picture
    // higher than render paints.
    if (head && head->bytes_per_row > 0 && head->bytes_per_row <= kMaxSide / 8 &&
        std::size_t(head->bytes_per_row) <= n && n % std::size_t(head->bytes_per_row) == 0 &&
        n / std::size_t(head->bytes_per_row) <= std::size_t(kMaxSide))
        add_rows({BitLayout::rows_msb, true, 0, int(n) / head->bytes_per_row},
                 std::size_t(head->bytes_per_row),
                 score(BitLayout::rows_msb, 8 * head->bytes_per_row, int(n) / head->bytes_per_row));
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        if (a.first.score != b.first.score) return a.first.score > b.first.score;
        if (order(a.first.shape) != order(b.first.shape))
            return order(a.first.shape) < order(b.first.shape);
        if (a.second != b.second) return a.second < b.second;
        return a.first.shape.width < b.first.shape.width;
    });
    for (auto& r : ranked)
        found.push_back(r.first);
    return found;
}

} // namespace dotlane
