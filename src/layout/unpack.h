#pragma once
// Bytes of any layout back into pixels: the inverse of layout_bytes. Missing bytes leave
// their pixels clear; bytes past the picture are not looked at.
#include <cstddef>
#include <cstdint>
#include <span>

#include "layout/layouts.h"
#include "shared/picture.h"

namespace dotlane {

// How many bytes a W x H picture takes in `layout` (page layouts: whole pages).
std::size_t layout_byte_count(BitLayout layout, int width, int height);

// `bottom_first` reads the rows of a row layout from the bottom up, the order in which an
// ordinary BMP file, and so the window's T6963C listing, stores them.
Bitmap unpack_bits(std::span<const std::uint8_t> bytes, BitLayout layout, int width, int height,
                   bool bottom_first = false);

} // namespace dotlane
