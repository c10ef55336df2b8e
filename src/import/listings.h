#pragma once
// The two hex listings of an accepted picture.
//
// T6963C: row-major, straight from the file's pixel rows in file order, one text line per
// row, every line ending "\r\n", after a first line "rows,bytes per row,".
// SED1565: page-major from the working copy: pages of 8 rows from the top, one byte per
// column, the top row of the page in bit 0; 16 entries a line, no break after the last.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "header.h"
#include "shared/module1.h"

namespace dotlane {

struct T6963cOptions {
    bool invert_colors_ticked = false; // "Invert Colors"
    bool reverse_rows = false;         // "Inverser image": rows in reverse order
};

// `file` is the whole file (at least up to the end of the last row) of an accepted header.
std::string t6963c_listing(const Header& header, std::span<const std::uint8_t> file,
                           const T6963cOptions& options);

// Reads pixel_grid(column, row) for columns 0..width-1 and whole pages below `rows`.
std::string sed1565_listing(const Grid& pixel_grid, double rows, double width);

// "0x" + two upper-case hex digits + "," for every byte value.
const std::array<std::string, 256>& listing_entries();

// The entries of `bytes`, 16 a line, `line_break` between lines and, when `close_last`,
// after the last line too.
std::string entry_lines(std::span<const std::uint8_t> bytes, std::string_view line_break,
                        bool close_last);

} // namespace dotlane
