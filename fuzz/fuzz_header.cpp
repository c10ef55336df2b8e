// Header decoding, the refusal checks, the row geometry and the facts the labels show, on
// arbitrary bytes taken as the start of a file.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "fuzz_check.h"
#include "import/header.h"

using namespace dotlane;

static void check_geometry(const Geometry& g, std::int64_t width, std::int64_t height) {
    FUZZ_CHECK(std::int64_t(g.bytes_per_row) * 8 >= width);
    FUZZ_CHECK(std::int64_t(g.bytes_per_row) * 8 < width + 8);
    FUZZ_CHECK(g.padding >= 0 && g.padding < 4 && g.stride() % 4 == 0);
    FUZZ_CHECK(g.rows == height);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const Header h = decode_header(bytes);
    const std::size_t known = std::min(size, kHeaderBytes);
    FUZZ_CHECK(header_dump(h).size() == known * 5 + (known > 16 ? (known - 1) / 16 * 2 : 0));

    // The import reads only up to the end of the largest palette before it decides; the
    // answer must be the one the whole file would give.
    const auto answer = refusal(h, bytes, size);
    const auto head = bytes.first(std::min<std::size_t>(size, 14 + 124 + 8));
    FUZZ_CHECK(refusal(decode_header(head), head, size) == answer);

    const FileFacts f = file_facts(h);
    FUZZ_CHECK(f.offset_field.size() == 8 && f.width_field.size() == 8);
    FUZZ_CHECK(std::stoul(f.offset_field.substr(0, 2), nullptr, 16) == (h.offset & 0xFF));
    if (!answer) {
        FUZZ_CHECK(size >= kHeaderBytes && h.bits_per_pixel == 1 && h.compression == 0);
        FUZZ_CHECK(h.width >= 1 && h.width <= kMaxWidth && h.height >= 1 && h.height <= kMaxHeight);
        check_geometry(h.geometry, h.width, h.height);
        FUZZ_CHECK(h.offset >= 14 + std::uint64_t(h.info_size) + 8);
        FUZZ_CHECK(h.data_end() <= size);
        FUZZ_CHECK(f.bytes_per_row == h.geometry.bytes_per_row && f.rows == h.geometry.rows);
    } else {
        FUZZ_CHECK(answer->rfind("Warning, ", 0) == 0);
    }

    // Every size the checks let through, chosen by the first two bytes.
    if (size >= 2) {
        const int width = (data[0] | (data[1] & 1) << 8) % kMaxWidth + 1;
        const int height = (data[1] >> 1) * 4 % kMaxHeight + 1;
        check_geometry(row_geometry(width, height), width, height);
    }
    return 0;
}
