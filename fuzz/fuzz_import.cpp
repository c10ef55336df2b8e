// The whole import on arbitrary bytes: the checks, then for an accepted file the picture,
// both listings and the working copy, with "Invert Colors" unticked and ticked. The shared
// grids live across inputs as they live across imports in the window.
#include <cstdint>
#include <vector>

#include "fuzz_check.h"
#include "import/import.h"
#include "import/layouts.h"
#include "reverse/hex_reader.h"
#include "reverse/render.h"

using namespace dotlane;

static SharedState states[2];

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LoadedFile file = check_bmp_bytes({data, data + size});
    if (!file.accepted()) {
        FUZZ_CHECK(!file.message().empty());
        return 0;
    }
    const Header& h = file.header;
    FUZZ_CHECK(file.bytes.size() == h.data_end());
    const Picture source = decode_picture(h, file.bytes);
    FUZZ_CHECK(source.width == h.width && source.height == h.height);

    for (int ticked = 0; ticked < 2; ++ticked) {
        SharedState& state = states[ticked];
        state.invert_colours = ticked;
        const ImportResult result = import_picture(file, source, {ticked == 1, false}, state);
        const Picture& working = result.working;
        FUZZ_CHECK(working.width == source.width);
        FUZZ_CHECK(working.height % 8 == 0 && working.height - source.height < 8);
        FUZZ_CHECK(working.height >= source.height);

        // The SED1565 listing paints back into exactly the working copy.
        const ListingRead sed = read_listing(result.sed1565);
        FUZZ_CHECK(sed.error.empty());
        FUZZ_CHECK(sed.bytes.size() == std::size_t(working.width) * (working.height / 8));
        FUZZ_CHECK(render_listing(sed.bytes, working.width, working.height / 8) == working);
        // The command line's pages-lsb layout is the same bytes; the other layouts cover
        // the same pixels with the same count of bytes.
        FUZZ_CHECK(layout_bytes(source, ticked == 1, BitLayout::pages_lsb) == sed.bytes);
        FUZZ_CHECK(layout_bytes(source, ticked == 1, BitLayout::pages_msb).size() ==
                   sed.bytes.size());
        FUZZ_CHECK(layout_bytes(source, ticked == 1, BitLayout::rows_msb).size() ==
                   std::size_t(h.geometry.bytes_per_row) * source.height);

        // Both listings agree on every pixel of the picture.
        const std::vector<std::uint8_t> rows = read_listing(result.t6963c).bytes;
        const int stride = h.geometry.bytes_per_row;
        for (int y = 0; y < source.height; ++y) {
            const int r = h.top_down ? y : source.height - 1 - y;
            for (int x = 0; x < source.width; ++x) {
                const bool set = (rows[std::size_t(r) * stride + x / 8] >> (7 - x % 8)) & 1;
                FUZZ_CHECK(set == (working.at(x, y) == kBlack));
                FUZZ_CHECK(state.pixel_grid.at(x, y) == working.at(x, y));
            }
        }
        for (int y = source.height; y < working.height; ++y)
            for (int x = 0; x < working.width; ++x)
                FUZZ_CHECK(working.at(x, y) == kWhite);
    }
    return 0;
}
