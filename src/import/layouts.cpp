#include "layouts.h"

#include <array>

#include "listings.h"

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

int layout_rows(BitLayout layout, int height) {
    return is_paged(layout) ? height + fill_rows(height) : height;
}

std::vector<std::uint8_t> layout_bytes(const Bitmap& bits, BitLayout layout) {
    const int w = bits.width, h = bits.height;
    std::vector<std::uint8_t> bytes;
    const std::uint8_t* pixel = bits.bits.data();
    if (is_paged(layout)) {
        const bool lsb = layout == BitLayout::pages_lsb;
        bytes.assign(std::size_t(layout_rows(layout, h) / 8) * w, 0);
        for (int y = 0; y < h; ++y) {
            std::uint8_t* page = bytes.data() + std::size_t(y / 8) * w;
            const std::uint8_t bit = bit_for(y % 8, lsb);
            for (int x = 0; x < w; ++x)
                page[x] |= std::uint8_t(pixel[x] * bit);
            pixel += w;
        }
    } else {
        const bool lsb = layout == BitLayout::rows_lsb;
        const int per_row = (w + 7) / 8;
        bytes.assign(std::size_t(per_row) * h, 0);
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = bytes.data() + std::size_t(y) * per_row;
            for (int x = 0; x < w; ++x)
                row[x / 8] |= std::uint8_t(pixel[x] * bit_for(x % 8, lsb));
            pixel += w;
        }
    }
    return bytes;
}

} // namespace dotlane
