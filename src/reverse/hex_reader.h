#pragma once
// Reading a pasted page-major listing: the bytes are the entries "0x" (or "0X") followed by
// one or two hex digits, wherever they stand; everything between entries is skipped, so
// any line breaks, spacing, commas, braces or a C declaration around the bytes read alike.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dotlane {

struct ListingRead {
    std::vector<std::uint8_t> bytes;
    std::string error; // empty when every entry was well formed
    int error_line = 0;
    std::string error_text;
};

ListingRead read_listing(std::string_view text);

} // namespace dotlane
