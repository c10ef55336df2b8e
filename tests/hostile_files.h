#pragma once
// Files the import must refuse, or read no further than its picture: one table that the
// engine, the window and dotlane-cli each run through.
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#include "bmp_fixture.h"
#include "pictures/header.h"

namespace dotlane::test {

using Maker = std::function<std::string(const TempDir&)>;

inline Maker bytes_file(std::vector<std::uint8_t> bytes) {
    return [bytes](const TempDir& d) { return d.write("hostile.bmp", bytes); };
}
inline Maker bmp_file(const BmpSpec& spec) {
    return bytes_file(make_bmp(spec));
}
inline Maker cut_bmp(std::size_t keep) {
    std::vector<std::uint8_t> bytes = make_bmp({});
    bytes.resize(keep);
    return bytes_file(bytes);
}
inline Maker special(std::function<void(const std::string&)> make) {
    return [make](const TempDir& d) {
        const std::string path = (d.path() / "special.bmp").string();
        make(path);
        return path;
    };
}

struct HostileRow {
    const char* what;
    Maker make;
    std::string shown; // part of the message, or the whole T6963C listing of a good file
    bool accepted = false;
};

inline std::vector<HostileRow> hostile_rows() {
    const std::string not_regular = "is not a regular file, so it cannot be a BMP picture.";
    const auto top_row = [](int, int y) { return y == 0; };
    return {
        {"empty file", bytes_file({}), kNotBmpMessage},
        {"54 bytes, no palette", cut_bmp(54), "(62) lies past its end (54 bytes)."},
        {"signature", bmp_file({.signature = "XM"}), kNotBmpMessage},
        {"signature before depth", bmp_file({.bits_per_pixel = 4, .signature = "BA"}),
         kNotBmpMessage},
        {"4 bits per pixel", bmp_file({.bits_per_pixel = 4}), kNotMonochromeMessage},
        {"12-byte header", bmp_file({.info_size = 12}), "has an information header of 12 bytes"},
        {"compressed", bmp_file({.compression = 1}), "is compressed (compression type 1)"},
        {"no planes", bmp_file({.planes = 0}), "declares 0 colour planes"},
        {"palette of 4", bmp_file({.colours_used = 4}), "declares 4 palette colours"},
        {"width 0", bmp_file({.width = 0}), "declares a picture of 0 x 8 pixels"},
        {"height 0", bmp_file({.height = 0}), "declares a picture of 8 x 0 pixels"},
        {"negative width", bmp_file({.stored_width = -8}), "declares a negative width (-8 pixels)"},
        {"width 502", bmp_file({.width = 502, .height = 1}), "this picture is 502 pixels wide"},
        {"height 497", bmp_file({.width = 1, .height = 497}), "this picture is 497 pixels high"},
        {"top-down 497", bmp_file({.stored_height = -497}), "this picture is 497 pixels high"},
        {"height -2^31", bmp_file({.stored_height = INT32_MIN}), "is 2147483648 pixels high"},
        {"offset into palette", bmp_file({.offset = 58}), "offset of this BMP file (58) points"},
        {"offset above 32767", bmp_file({.offset = 40000}), "(40000) is above 32767"},
        {"offset past the end", bmp_file({.height = 1, .offset = 100, .cut = 10}),
         "(100) lies past its end (94 bytes)."},
        {"1 byte short", bmp_file({.width = 16, .height = 16, .cut = 1}),
         "its 16 rows need 64 bytes of pixel data, but only 63 bytes follow the offset."},
        {"only 1 byte", bmp_file({.width = 8, .height = 2, .cut = 7}),
         "its 2 rows need 8 bytes of pixel data, but only 1 byte follows the offset."},
        {"a folder named .bmp", special([](auto& p) { ::mkdir(p.c_str(), 0700); }), not_regular},
        {"a FIFO nobody writes to", special([](auto& p) { ::mkfifo(p.c_str(), 0600); }),
         not_regular},
        {"a device", [](const TempDir&) { return std::string("/dev/zero"); }, not_regular},
        {"800 MB, small picture", special([=](auto& p) {
             write_file(p, make_bmp({.width = 8, .height = 2, .ink = top_row}));
             ::truncate(p.c_str(), 800 << 20);
         }),
         "2,1,\r\n0x00,\r\n0xFF,\r\n", true},
    };
}

} // namespace dotlane::test
