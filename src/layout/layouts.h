#pragma once
// Byte layouts for monochrome display modules. A set bit is a set pixel of the Bitmap; bits
// past the picture (the end of a row, the rows that fill
// the last page) are always 0.
//
//   rows-msb   rows from the top, each padded to whole bytes, bit 7 the leftmost pixel
//   rows-lsb   the same with bit 0 the leftmost pixel
//   pages-lsb  pages of 8 rows from the top, one byte per column, bit 0 the top row
//   pages-msb  the same with bit 7 the top row
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shared/picture.h"

namespace dotlane {

enum class BitLayout { rows_msb, rows_lsb, pages_lsb, pages_msb };

std::optional<BitLayout> bit_layout_named(std::string_view name);
const char* layout_name(BitLayout layout);
// One line of text saying which pixel goes into which bit.
const char* layout_description(BitLayout layout);
bool is_paged(BitLayout layout);

// Rows that bring a height up to whole pages of 8 rows (0..7).
int fill_rows(int height);

// The rows the bytes cover: the picture's height, or whole pages of 8 rows.
int layout_rows(BitLayout layout, int height);

std::vector<std::uint8_t> layout_bytes(const Bitmap& bits, BitLayout layout);

} // namespace dotlane
