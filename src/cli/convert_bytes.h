#pragma once
// The bytes convert lists for a picture, apart from how they are written out, so that
// check compares an array against exactly what convert would write.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "support.h"

namespace dotlane::cli {

struct ConvertedBytes {
    Listing listing; // the text too, unless --c-array writes the bytes its own way
    std::string layout, description;
    int width = 0, height = 0;
    int rows = 0; // the rows the bytes cover: whole pages for the page layouts
    std::uint64_t file_size = 0;
    bool bottom_first = false; // t6963c: the rows as a bottom-up BMP file stores them
};

// Reads the options of convert (--layout, --threshold, --invert-colors, --c-array) and its
// one picture operand. On failure prints the message or the usage text and sets `status`.
std::optional<ConvertedBytes> convert_bytes(const Arguments& a, std::ostream& err, int& status);

} // namespace dotlane::cli
