// The whole import on arbitrary bytes: the header checks and the row geometry, then for an
// accepted file every part,
// with "Invert Colors" unticked and ticked. The parts must agree with each other and with
// the picture decoded in its palette colours, bit for bit.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "back/render.h"
#include "fuzz_check.h"
#include "layout/layouts.h"
#include "pictures/import.h"

using namespace dotlane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LoadedFile file = check_bmp_bytes({data, data + size});
    const Header& h = file.header;
    const Geometry& g = h.geometry;
    // The import reads only up to the end of the largest palette before it decides; the
    // answer must be the one the whole file gives.
    const std::span<const std::uint8_t> head(data, std::min<std::size_t>(size, 14 + 124 + 8));
    FUZZ_CHECK(refusal(decode_header(head), head, size) == file.refusal);
    const std::size_t known = std::min(size, kHeaderBytes);
    FUZZ_CHECK(header_dump(h).size() == known * 5 + (known > 16 ? (known - 1) / 16 * 2 : 0));
    if (!file.accepted()) {
        FUZZ_CHECK(file.message().rfind("Warning, ", 0) == 0);
        return 0;
    }
    FUZZ_CHECK(h.width >= 1 && h.width <= kMaxWidth && h.height >= 1 && h.height <= kMaxHeight);
    FUZZ_CHECK(h.offset >= 14 + std::uint64_t(h.info_size) + 8 && h.data_end() <= size);
    FUZZ_CHECK(g.bytes_per_row * 8 >= h.width && g.bytes_per_row * 8 < h.width + 8);
    FUZZ_CHECK(g.stride() % 4 == 0 && g.padding < 4 && g.rows == h.height);
    FUZZ_CHECK(file.bytes.size() == h.data_end());

    for (bool ticked : {false, true}) {
        const ImportResult r = import_bmp(file, {ticked, ticked});
        const Picture& source = r.source;
        const Picture& working = r.working;
        FUZZ_CHECK(source.width == h.width && source.height == h.height);
        FUZZ_CHECK(working.width == source.width);
        FUZZ_CHECK(working.height % 8 == 0 && working.height - source.height < 8);

        // T6963C: rows in file order, a bit for every pixel that is ink, 0 past the width.
        FUZZ_CHECK(r.t6963c.size() == std::size_t(g.rows) * g.bytes_per_row);
        for (int row = 0; row < g.rows; ++row) {
            const int y = h.top_down ? row : g.rows - 1 - row;
            for (int x = 0; x < g.bytes_per_row * 8; ++x) {
                const bool set =
                    (r.t6963c[std::size_t(row) * g.bytes_per_row + x / 8] >> (7 - x % 8)) & 1;
                FUZZ_CHECK(set == (x < h.width && is_ink(source.at(x, y), ticked)));
                if (x < h.width) FUZZ_CHECK(set == (working.at(x, y) == kBlack));
            }
        }
        for (int y = source.height; y < working.height; ++y)
            for (int x = 0; x < working.width; ++x)
                FUZZ_CHECK(working.at(x, y) == kWhite);

        // SED1565 paints back into exactly the working copy, and the text holds its bytes.
        FUZZ_CHECK(r.sed1565.size() == std::size_t(working.width) * (working.height / 8));
        FUZZ_CHECK(render_listing(r.sed1565, working.width, working.height / 8) == working);
        const std::string text = sed1565_listing(r.sed1565);
        const std::size_t n = r.sed1565.size();
        FUZZ_CHECK(text.size() == n * 5 + (n - 1) / 16 * 2);

        // The other layouts cover the same pixels with the same count of bytes.
        const Bitmap bits = decode_bits(h, file.bytes, ticked);
        FUZZ_CHECK(layout_bytes(bits, BitLayout::pages_msb).size() == r.sed1565.size());
        FUZZ_CHECK(layout_bytes(bits, BitLayout::rows_msb).size() == r.t6963c.size());
        // Only the selected parts are built.
        const ImportResult t = import_bmp(file, {ticked, ticked}, kT6963cPart);
        FUZZ_CHECK(t.t6963c == r.t6963c && t.sed1565.empty() && t.working.pixels.empty());
    }
    return 0;
}
