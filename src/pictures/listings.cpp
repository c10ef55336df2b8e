#include "pictures/listings.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "shared/entries.h"

namespace dotlane {

// Calls `pixel(x, y, bit)` for every pixel of an accepted file, top row first.
template <class Pixel>
static void for_each_bit(const Header& header, std::span<const std::uint8_t> file, Pixel pixel) {
    const Geometry& g = header.geometry;
    const int width = int(header.width);
    for (int y = 0; y < g.rows; ++y) {
        const int stored_row = header.top_down ? y : g.rows - 1 - y;
        const std::uint8_t* row =
            file.data() + header.offset + std::size_t(stored_row) * g.stride();
        for (int x = 0; x < width; ++x)
            pixel(x, y, (row[x / 8] >> (7 - x % 8)) & 1);
    }
}

Picture decode_picture(const Header& header, std::span<const std::uint8_t> file) {
    Picture picture(int(header.width), header.geometry.rows, kWhite);
    for_each_bit(header, file,
                 [&](int x, int y, int bit) { picture.set(x, y, header.palette[bit]); });
    return picture;
}

Bitmap decode_bits(const Header& header, std::span<const std::uint8_t> file, bool invert) {
    const Geometry& g = header.geometry;
    const int width = int(header.width);
    Bitmap bits(width, g.rows);
    // Every stored byte value spread into its eight pixels' bits at once.
    const std::uint8_t ink[2] = {is_ink(header.palette[0], invert),
                                 is_ink(header.palette[1], invert)};
    std::array<std::array<std::uint8_t, 8>, 256> spread{};
    for (int v = 0; v < 256; ++v)
        for (int k = 0; k < 8; ++k)
            spread[v][k] = ink[(v >> (7 - k)) & 1];
    for (int y = 0; y < g.rows; ++y) {
        const int stored_row = header.top_down ? y : g.rows - 1 - y;
        const std::uint8_t* row =
            file.data() + header.offset + std::size_t(stored_row) * g.stride();
        std::uint8_t* out = bits.bits.data() + std::size_t(y) * width;
        for (int x = 0; x < width; x += 8)
            std::memcpy(out + x, spread[row[x / 8]].data(), std::size_t(std::min(8, width - x)));
    }
    return bits;
}

std::vector<std::uint8_t> t6963c_bytes(const Header& header, std::span<const std::uint8_t> file,
                                       bool invert) {
    const Geometry& g = header.geometry;
    // A stored bit selects palette entry 1 when set; the output bit is set where that
    // entry is ink. Black first in the palette, box unticked, is the plain inversion.
    const bool set0 = is_ink(header.palette[0], invert);
    const bool set1 = is_ink(header.palette[1], invert);
    const int spare_bits = int(8 * std::int64_t(g.bytes_per_row) - header.width);
    const std::uint8_t last_mask = std::uint8_t(0xFF << spare_bits);
    std::vector<std::uint8_t> bytes(std::size_t(g.rows) * g.bytes_per_row);
    std::uint8_t* out = bytes.data();
    for (int r = 0; r < g.rows; ++r) {
        const std::uint8_t* row = file.data() + header.offset + std::size_t(r) * g.stride();
        for (int c = 0; c < g.bytes_per_row; ++c) {
            const unsigned v = row[c];
            *out++ = std::uint8_t((set1 ? v : 0u) | (set0 ? ~v : 0u));
        }
        out[-1] &= last_mask;
    }
    return bytes;
}

std::string t6963c_listing(std::span<const std::uint8_t> bytes, const Geometry& g) {
    const std::string first =
        std::to_string(g.rows) + "," + std::to_string(g.bytes_per_row) + ",\r\n";
    const std::size_t line = std::size_t(g.bytes_per_row) * kEntryWidth + 2;
    std::string text(first.size() + std::size_t(g.rows) * line, '\0');
    std::memcpy(text.data(), first.data(), first.size());
    char* at = text.data() + first.size();
    for (int r = 0; r < g.rows; ++r) {
        for (int c = 0; c < g.bytes_per_row; ++c, at += kEntryWidth)
            std::memcpy(at, entry(bytes[std::size_t(r) * g.bytes_per_row + c]).data(), kEntryWidth);
        *at++ = '\r';
        *at++ = '\n';
    }
    return text;
}

std::string sed1565_listing(std::span<const std::uint8_t> page_bytes) {
    return entry_lines(page_bytes, "\r\n", false);
}

} // namespace dotlane
