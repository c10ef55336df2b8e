#include "pictures/header.h"

#include <algorithm>

#include "digits/conversion.h"
#include "shared/entries.h"

namespace dotlane {

static std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        if (at + i < b.size()) v |= std::uint32_t(b[at + i]) << (8 * i);
    return v;
}

static std::uint16_t le16(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint16_t(le32(b, at) & 0xFFFF);
}

static Colour palette_colour(std::span<const std::uint8_t> b, std::size_t at) {
    // Stored blue, green, red, reserved; colours are 0x00BBGGRR.
    if (at + 3 > b.size()) return kBlack;
    return Colour(b[at + 2]) | Colour(b[at + 1]) << 8 | Colour(b[at]) << 16;
}

Geometry row_geometry(std::int64_t width, std::int64_t height) {
    Geometry g;
    g.bytes_per_row = int((width + 7) / 8);
    g.padding = int(4 * ((g.bytes_per_row + 3) / 4) - g.bytes_per_row);
    g.rows = int(height);
    return g;
}

Header decode_header(std::span<const std::uint8_t> bytes) {
    Header h;
    h.present = std::min(bytes.size(), kHeaderBytes);
    std::copy_n(bytes.begin(), h.present, h.bytes.begin());
    h.offset = le32(bytes, 10);
    h.info_size = le32(bytes, 14);
    h.width = std::int32_t(le32(bytes, 18));
    const std::int64_t raw_height = std::int32_t(le32(bytes, 22));
    h.top_down = raw_height < 0;
    h.height = raw_height < 0 ? -raw_height : raw_height;
    h.planes = le16(bytes, 26);
    h.bits_per_pixel = le16(bytes, 28);
    h.compression = le32(bytes, 30);
    h.colours_used = le32(bytes, 46);
    const std::size_t palette_at = 14 + std::size_t(h.info_size);
    if (h.info_size <= 124) {
        h.palette = {palette_colour(bytes, palette_at), palette_colour(bytes, palette_at + 4)};
    }
    if (h.width >= 0 && h.width <= kMaxWidth && h.height <= kMaxHeight)
        h.geometry = row_geometry(h.width, h.height);
    return h;
}

static std::string num(std::uint64_t v) {
    return std::to_string(v);
}

static std::string byte_count(std::uint64_t n) {
    return num(n) + (n == 1 ? " byte" : " bytes");
}

std::optional<std::string> refusal(const Header& h, std::span<const std::uint8_t> bytes,
                                   std::uint64_t file_size) {
    if (file_size < kHeaderBytes) return kNotBmpMessage;
    if (h.bytes[0] != 'B' || h.bytes[1] != 'M') return kNotBmpMessage;
    // Other header sizes put the bit depth elsewhere than byte 29, so this comes first.
    const auto info = h.info_size;
    if (info != 40 && info != 64 && info != 108 && info != 124)
        return "Warning, this BMP file has an information header of " + num(info) +
               " bytes; Dotlane reads headers of 40, 64, 108 or 124 bytes.";
    if (h.bits_per_pixel != 1) return kNotMonochromeMessage;
    // The picture loader refuses these too; refusing them here keeps the command line in step.
    if (h.planes != 1)
        return "Warning, this BMP file declares " + num(h.planes) +
               " colour planes; a BMP file has exactly 1.";
    if (h.compression != 0)
        return "Warning, this BMP file is compressed (compression type " + num(h.compression) +
               "); Dotlane reads uncompressed BMP files only.";
    if (h.colours_used != 0 && h.colours_used != 2)
        return "Warning, this BMP file declares " + num(h.colours_used) +
               " palette colours; a monochrome BMP file has 2.";
    if (h.width < 0)
        return "Warning, this BMP file declares a negative width (" + std::to_string(h.width) +
               " pixels); it has no pixels to list.";
    if (h.width == 0 || h.height == 0)
        return "Warning, this BMP file declares a picture of " + std::to_string(h.width) + " x " +
               std::to_string(h.height) + " pixels; it has no pixels to list.";
    if (h.width > kMaxWidth)
        return "Warning, this picture is " + std::to_string(h.width) +
               " pixels wide; Dotlane reads pictures up to 501 pixels wide.";
    if (h.height > kMaxHeight)
        return "Warning, this picture is " + std::to_string(h.height) +
               " pixels high; Dotlane reads pictures up to 496 pixels high.";
    const std::uint64_t palette_end = 14 + std::uint64_t(info) + 8;
    if (h.offset < palette_end)
        return "Warning, the pixel data offset of this BMP file (" + num(h.offset) +
               ") points into its headers or its palette.";
    if (h.offset > kMaxOffset)
        return "Warning, the pixel data offset of this BMP file (" + num(h.offset) +
               ") is above 32767; Dotlane cannot read that far.";
    if (h.offset >= file_size)
        return "Warning, the pixel data offset of this BMP file (" + num(h.offset) +
               ") lies past its end (" + num(file_size) + " bytes).";
    if (h.data_end() > file_size)
        return "Warning, this BMP file is cut short: its " + num(h.geometry.rows) +
               (h.geometry.rows == 1 ? " row needs " : " rows need ") +
               byte_count(h.data_end() - h.offset) + " of pixel data, but only " +
               byte_count(file_size - h.offset) +
               (file_size - h.offset == 1 ? " follows" : " follow") + " the offset.";
    if (bytes.size() < palette_end)
        return "Warning, this BMP file could not be read to the end of its palette.";
    return std::nullopt;
}

std::string header_dump(const Header& h, std::string_view line_break) {
    return entry_lines(std::span(h.bytes).first(h.present), line_break, false);
}

// Four stored bytes from `at`, each as two hex digits from the digit-string module.
static std::string field_text(const Header& h, std::size_t at) {
    std::string text;
    for (std::size_t i = at; i < at + 4; ++i)
        text += Conversion::dec_to_hex(h.bytes[i]);
    return text;
}

FileFacts file_facts(const Header& h) {
    FileFacts f;
    f.offset_field = field_text(h, 10);
    f.width_field = field_text(h, 18);
    f.height_field = field_text(h, 22);
    f.offset = h.offset;
    f.width = h.width;
    f.height = h.height;
    f.bytes_per_row = h.geometry.bytes_per_row;
    f.padding = h.geometry.padding;
    f.rows = h.geometry.rows;
    return f;
}

} // namespace dotlane
