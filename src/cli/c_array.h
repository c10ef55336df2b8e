#pragma once
// A listing as a ready C declaration, in the manner of an XBM file:
//
//   /* logo.png, 1234 bytes: 128 x 64 pixels
//    * layout pages-lsb: pages of 8 rows from the top, one byte per column, bit 0 the top row
//    * a set bit is a dark pixel */
//   #define logo_width 128
//   #define logo_height 64
//   const unsigned char logo[] = {
//       0x00, 0x3C, ...
//   };
//
// The comment must read as no byte to the listing reader, which takes any "0x" at the
// start of a word for an entry, so sizes are written "128 x 64" and a file name that holds
// such a "0x" is written with "0_x".
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace dotlane::cli {

struct CArray {
    std::string name;   // a C identifier
    std::string source; // the path of the listed file
    std::uint64_t file_size = 0;
    int width = 0;  // pixels
    int height = 0; // the picture's rows
    int rows = 0;   // the rows the bytes cover: whole pages for the page layouts
    std::string layout, layout_description;
    bool invert = false;
    std::span<const std::uint8_t> bytes;
};

// Why `name` cannot name the array, if it cannot.
std::optional<std::string> c_name_problem(std::string_view name);

std::string c_array_text(const CArray& array);

// The parts of that text: the comment, with `more` (lines each starting "\n * ") before its
// end, and the entries between the braces, 16 a line, added to `text`.
std::string c_comment(const CArray& array, std::string_view more = {});
void append_byte_lines(std::string& text, std::span<const std::uint8_t> bytes);

} // namespace dotlane::cli
