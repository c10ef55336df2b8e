// The T6963C listing of whatever file bytes the checks accept, with every option setting:
// its layout, its row order, and each bit against the picture's palette colours.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "import/import.h"
#include "reverse/hex_reader.h"

using namespace dotlane;

static std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    FUZZ_CHECK(start == text.size()); // every line, the last included, ends "\r\n"
    return lines;
}

static bool well_formed_entry(const std::string& line, std::size_t at) {
    auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
    return line.compare(at, 2, "0x") == 0 && hex(line[at + 2]) && hex(line[at + 3]) &&
           line[at + 4] == ',';
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LoadedFile file = check_bmp_bytes({data, data + size});
    if (!file.accepted()) return 0;
    const Header& h = file.header;
    const Geometry& g = h.geometry;
    const Picture picture = decode_picture(h, file.bytes);

    for (bool ticked : {false, true}) {
        const std::string listing = t6963c_listing(h, file.bytes, {ticked, false});
        const std::vector<std::string> lines = lines_of(listing);
        FUZZ_CHECK(lines.size() == std::size_t(g.rows) + 1);
        FUZZ_CHECK(lines[0] ==
                   std::to_string(g.rows) + "," + std::to_string(g.bytes_per_row) + ",");
        for (std::size_t r = 1; r < lines.size(); ++r) {
            FUZZ_CHECK(lines[r].size() == std::size_t(g.bytes_per_row) * 5);
            for (std::size_t at = 0; at < lines[r].size(); at += 5)
                FUZZ_CHECK(well_formed_entry(lines[r], at));
        }

        // Rows stand in file order; a bit is set for every pixel that is not paper.
        const std::vector<std::uint8_t> bytes = read_listing(listing).bytes;
        FUZZ_CHECK(bytes.size() == std::size_t(g.rows) * g.bytes_per_row);
        for (int r = 0; r < g.rows; ++r) {
            const int y = h.top_down ? r : g.rows - 1 - r;
            for (int x = 0; x < g.bytes_per_row * 8; ++x) {
                const std::uint8_t byte = bytes[std::size_t(r) * g.bytes_per_row + x / 8];
                const bool set = (byte >> (7 - x % 8)) & 1;
                const Colour paper = ticked ? kBlack : kWhite;
                FUZZ_CHECK(set == (x < h.width && picture.at(x, y) != paper));
            }
        }

        const std::vector<std::string> reversed =
            lines_of(t6963c_listing(h, file.bytes, {ticked, true}));
        FUZZ_CHECK(reversed.size() == lines.size() && reversed[0] == lines[0]);
        for (std::size_t r = 1; r < lines.size(); ++r)
            FUZZ_CHECK(reversed[r] == lines[lines.size() - r]);
    }
    return 0;
}
