#include "layout/layouts.h"

#include <array>
#include <cstring>


namespace dotlane {

namespace {

struct LayoutEntry {
    BitLayout layout;
    const char* name;
    const char* description;
};

constexpr std::array<LayoutEntry, 4> kLayouts{{
    {BitLayout::rows_msb, "rows-msb",
     "rows from the top, each padded to whole bytes, bit 7 the leftmost pixel"},
    {BitLayout::rows_lsb, "rows-lsb",
     "rows from the top, each padded to whole bytes, bit 0 the leftmost pixel"},
    {BitLayout::pages_lsb, "pages-lsb",
     "pages of 8 rows from the top, one byte per column, bit 0 the top row"},
    {BitLayout::pages_msb, "pages-msb",
     "pages of 8 rows from the top, one byte per column, bit 7 the top row"},
}};

const LayoutEntry& entry(BitLayout layout) {
    return kLayouts[std::size_t(layout)];
}

// Bit k of a byte holds the k-th pixel of its run (leftmost or topmost first) for the LSB
// orders, and bit 7 - k for the MSB orders.
constexpr std::uint8_t bit_for(int k, bool lsb_first) {
    return std::uint8_t(lsb_first ? 1u << k : 0x80u >> k);
}

} // namespace

std::optional<BitLayout> bit_layout_named(std::string_view name) {
    for (const LayoutEntry& e : kLayouts)
        if (name == e.name) return e.layout;
    return std::nullopt;
}

const char* layout_name(BitLayout layout) {
    return entry(layout).name;
}
const char* layout_description(BitLayout layout) {
    return entry(layout).description;
}

bool is_paged(BitLayout layout) {
    return layout == BitLayout::pages_lsb || layout == BitLayout::pages_msb;
}

int fill_rows(int height) {
    return (8 - height % 8) % 8;
}

int layout_rows(BitLayout layout, int height) {
    return is_paged(layout) ? height + fill_rows(height) : height;
}

// Eight pixels at a time: their eight 0-or-1 bytes as one word, little-endian.
static std::uint64_t eight_pixels(const std::uint8_t* pixel) {
    std::uint64_t word;
    std::memcpy(&word, pixel, 8);
    return word;
}

std::vector<std::uint8_t> layout_bytes(const Bitmap& bits, BitLayout layout) {
    const int w = bits.width, h = bits.height;
    std::vector<std::uint8_t> bytes;
    const std::uint8_t* pixel = bits.bits.data();
    if (is_paged(layout)) {
        const bool lsb = layout == BitLayout::pages_lsb;
        bytes.assign(std::size_t(layout_rows(layout, h) / 8) * w, 0);
        for (int y = 0; y < h; ++y, pixel += w) {
            std::uint8_t* page = bytes.data() + std::size_t(y / 8) * w;
            const int shift = lsb ? y % 8 : 7 - y % 8;
            int x = 0;
            for (; x + 8 <= w; x += 8) { // a byte of 0 or 1 shifted by < 8 stays in its byte
                const std::uint64_t word = eight_pixels(page + x) | eight_pixels(pixel + x)
                                                                        << shift;
                std::memcpy(page + x, &word, 8);
            }
            for (; x < w; ++x)
                page[x] |= std::uint8_t(pixel[x] << shift);
        }
    } else {
        // The multiplication gathers the eight 0-or-1 bytes into the top byte, pixel i at
        // bit 7 - i (or bit i); the other products fall above or below it without overlap.
        const bool lsb = layout == BitLayout::rows_lsb;
        const std::uint64_t gather = lsb ? 0x0102040810204080u : 0x8040201008040201u;
        const int per_row = (w + 7) / 8;
        bytes.assign(std::size_t(per_row) * h, 0);
        for (int y = 0; y < h; ++y, pixel += w) {
            std::uint8_t* row = bytes.data() + std::size_t(y) * per_row;
            int x = 0;
            for (; x + 8 <= w; x += 8)
                row[x / 8] = std::uint8_t(eight_pixels(pixel + x) * gather >> 56);
            for (; x < w; ++x)
                row[x / 8] |= std::uint8_t(pixel[x] * bit_for(x % 8, lsb));
        }
    }
    return bytes;
}

} // namespace dotlane
