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
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "declare/targets.h"

namespace dotlane {

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
    const Target* target = nullptr; // the call that reads the bytes, named in the comment
    bool levels = false;            // grey levels or colours, no set bits
    bool words = false; // declared uint16_t, an entry each two bytes, which are low byte first
};

// Why `name` cannot name the array, if it cannot.
std::optional<std::string> c_name_problem(std::string_view name);

std::string c_array_text(const CArray& array);

// How a C-family style declares the bytes: the line it includes first (or nothing), the
// array as `type` NAME[] `attribute`, and the macro of the included library that reads one
// byte of such an array where the attribute puts it in flash (empty: a plain read does).
struct CFlavour {
    std::string_view include, type, attribute, flash_read;
};
inline constexpr CFlavour kPlainC{"", "const unsigned char", "", ""};

// The comment's lines, without the marks of any language.
std::vector<std::string> comment_lines(const CArray& array);
// Those lines and `more` as a C comment, ending in a line break.
std::string c_comment(const CArray& array, const std::vector<std::string>& more = {});
// Hands on the text made so far and empties it, so that a large array is never held whole
// as text (an array of 16 million entries is about 100 MB of it).
using Flush = std::function<void(std::string&)>;
// Room for `wanted` more characters: all of them, or with a flush one piece's worth.
void reserve_for(std::string& text, std::size_t wanted, const Flush& flush);
// With a flush, hands the text on once it has grown to a piece; called where a line starts.
void flush_at_line(std::string& text, const Flush& flush);
// The entries between the braces, 16 a line, added to `text`.
void append_byte_lines(std::string& text, std::span<const std::uint8_t> bytes,
                       const Flush& flush = {});
// A declaration as c_array_text writes it, the include after the comment.
std::string c_declaration(const CArray& array, const CFlavour& flavour);
void append_c_declaration(std::string& text, const CArray& array, const CFlavour& flavour,
                          const Flush& flush = {});

} // namespace dotlane
