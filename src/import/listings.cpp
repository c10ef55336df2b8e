#include "listings.h"

#include <cmath>
#include <vector>

#include "convert/conversion.h"
#include "working_copy.h"

namespace dotlane {

const std::array<std::string, 256>& listing_entries() {
    static const std::array<std::string, 256> entries = [] {
        std::array<std::string, 256> e;
        for (int v = 0; v < 256; ++v)
            e[v] = "0x" + Conversion::dec_to_hex(v) + ",";
        return e;
    }();
    return entries;
}

// 255 - value for every byte, worked out once by the digit-string module.
static const std::array<std::uint8_t, 256>& inverted_bytes() {
    static const std::array<std::uint8_t, 256> table = [] {
        std::array<std::uint8_t, 256> t{};
        Conversion conversion;
        for (int v = 0; v < 256; ++v)
            t[v] = std::uint8_t(255 - int(conversion.hex_to_dec(Conversion::dec_to_hex(v))));
        return t;
    }();
    return table;
}

// Output byte for every stored byte. The common case, black first in the palette and the
// box unticked, is the plain inversion.
static std::array<std::uint8_t, 256> byte_map(const Header& header, bool ticked) {
    const bool set0 = is_ink(header.palette[0], ticked);
    const bool set1 = is_ink(header.palette[1], ticked);
    if (set0 && !set1) return inverted_bytes();
    std::array<std::uint8_t, 256> map{};
    for (int v = 0; v < 256; ++v)
        map[v] = std::uint8_t((set1 ? v : 0) | (set0 ? ~v & 0xFF : 0));
    return map;
}

std::string t6963c_listing(const Header& header, std::span<const std::uint8_t> file,
                           const T6963cOptions& options) {
    const Geometry& g = header.geometry;
    const auto map = byte_map(header, options.invert_colors_ticked);
    const auto& entries = listing_entries();
    const int spare_bits = int(8 * std::int64_t(g.bytes_per_row) - header.width);
    const std::uint8_t last_mask = std::uint8_t(0xFF << spare_bits);

    std::string rows;
    rows.reserve(std::size_t(g.rows) * (std::size_t(g.bytes_per_row) * 5 + 2));
    for (int r = 0; r < g.rows; ++r) {
        const int row = options.reverse_rows ? g.rows - 1 - r : r;
        const std::size_t start = header.offset + std::size_t(row) * g.stride();
        for (int c = 0; c < g.bytes_per_row; ++c) {
            const std::size_t at = start + c;
            std::uint8_t value = at < file.size() ? map[file[at]] : 0;
            if (c == g.bytes_per_row - 1) value &= last_mask;
            rows += entries[value];
        }
        rows += "\r\n";
    }
    return std::to_string(g.rows) + "," + std::to_string(g.bytes_per_row) + ",\r\n" + rows;
}

std::string entry_lines(std::span<const std::uint8_t> bytes, std::string_view line_break,
                        bool close_last) {
    const auto& entries = listing_entries();
    std::string text;
    text.reserve(bytes.size() * 5 + (bytes.size() / 16 + 1) * line_break.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0 && i % 16 == 0) text += line_break;
        text += entries[bytes[i]];
    }
    if (close_last && !bytes.empty()) text += line_break;
    return text;
}

std::string sed1565_listing(const Grid& pixel_grid, double rows, double width) {
    std::vector<std::uint8_t> bytes;
    const double page_limit = rows / 8;
    for (int page = 1; page <= page_limit; ++page) {
        const int last_column = int(std::int16_t(std::lround(width - 1)));
        for (int column = 0; column <= last_column; ++column) {
            int value = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (pixel_grid.at(column, (page - 1) * 8 + bit) == 0) value |= 1 << bit;
            bytes.push_back(std::uint8_t(value));
        }
    }
    return entry_lines(bytes, "\r\n", false);
}

} // namespace dotlane
