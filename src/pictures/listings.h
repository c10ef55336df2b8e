#pragma once
// What an accepted BMP file's pixels become: its picture in palette colours or as set bits,
// the working copy, and the bytes and text of the two listings.
//
// T6963C: row-major, straight from the file's pixel rows in file order, one text line per
// row, every line ending "\r\n", after a first line "rows,bytes per row,".
// SED1565: page-major from the working copy: pages of 8 rows from the top, one byte per
// column, the top row of the page in bit 0; 16 entries a line, no break after the last.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "layout/layouts.h"
#include "pictures/header.h"
#include "shared/picture.h"

namespace dotlane {

// The picture of an accepted file, top row first, each pixel its palette colour.
Picture decode_picture(const Header& header, std::span<const std::uint8_t> file);
// The same picture as the bits `is_ink` sets.
Bitmap decode_bits(const Header& header, std::span<const std::uint8_t> file, bool invert);

// The data bytes of every stored row in file order, each pixel a bit `is_ink` sets (the
// leftmost in bit 7), the bits past the width 0.
std::vector<std::uint8_t> t6963c_bytes(const Header& header, std::span<const std::uint8_t> file,
                                       bool invert);
std::string t6963c_listing(std::span<const std::uint8_t> bytes, const Geometry& geometry);

// `page_bytes` as laid out by BitLayout::pages_lsb.
std::string sed1565_listing(std::span<const std::uint8_t> page_bytes);

} // namespace dotlane
