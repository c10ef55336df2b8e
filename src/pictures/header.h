#pragma once
// The 54 header bytes of a BMP file: the fields the import relies on, the checks that
// refuse a file before any listing is written, and the row geometry.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "shared/picture.h"

namespace dotlane {

inline constexpr std::size_t kHeaderBytes = 54;
inline constexpr int kMaxWidth = 501;
inline constexpr int kMaxHeight = 496; // rounded up to whole pages of 8 rows it still fits 501
inline constexpr std::uint32_t kMaxOffset = 32767;

inline constexpr const char* kNotBmpMessage = "Warning, this is not a valid BMP file.";
inline constexpr const char* kNotMonochromeMessage =
    "Warning, This BMP File isn't a MONOCHROME BMP File.";

struct Geometry {
    int bytes_per_row = 0;
    int padding = 0;
    int rows = 0;
    int stride() const { return bytes_per_row + padding; }
};

// Data bytes and padding bytes of one stored row for a width in pixels.
Geometry row_geometry(std::int64_t width, std::int64_t height);

struct Header {
    std::array<std::uint8_t, kHeaderBytes> bytes{}; // the file's first bytes, 0 past its end
    std::size_t present = 0;                        // how many of them the file has
    std::uint32_t offset = 0;
    std::int64_t width = 0;
    std::int64_t height = 0; // absolute value; top_down tells the sign
    bool top_down = false;
    std::uint32_t info_size = 0;
    std::uint32_t compression = 0;
    std::uint32_t colours_used = 0;
    std::uint16_t planes = 0;
    std::uint16_t bits_per_pixel = 0;
    std::array<Colour, 2> palette{kBlack, kWhite};
    Geometry geometry;
    std::uint64_t data_end() const {
        return std::uint64_t(offset) + std::uint64_t(geometry.rows) * geometry.stride();
    }
};

// Decodes whatever header bytes there are; fields of missing bytes read as 0.
Header decode_header(std::span<const std::uint8_t> bytes);

// Why a file is refused, if it is. `bytes` holds the start of the file (at least up to the
// end of the palette when the file is that long).
std::optional<std::string> refusal(const Header& header, std::span<const std::uint8_t> bytes,
                                   std::uint64_t file_size);

// The header bytes the file has as listing entries, 16 a line, `line_break` between lines.
std::string header_dump(const Header& header, std::string_view line_break = "\r\n");

// What the information labels show of an accepted file.
struct FileFacts {
    // The stored four bytes of a field as eight hex digits, in file order: "3E000000".
    std::string offset_field, width_field, height_field;
    std::uint32_t offset = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;
    int bytes_per_row = 0;
    int padding = 0;
    int rows = 0;
};
FileFacts file_facts(const Header& header);

} // namespace dotlane
