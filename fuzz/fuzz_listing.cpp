// Reading pasted listings and C arrays, painting them, and guessing their shape. The first two
// input bytes choose a small picture size, the rest is the pasted text.
#include <bit>
#include <cstdint>
#include <string>
#include <string_view>

#include "back/c_reader.h"
#include "back/guess.h"
#include "back/hex_reader.h"
#include "back/render.h"
#include "fuzz_check.h"
#include "layout/unpack.h"

using namespace dotlane;

// The same text as C: any bytes it reads unpack in every layout to a picture that packs
// and unpacks to itself, and every shape guess offers takes exactly those bytes.
static void read_as_c(std::string_view text, int width, int height) {
    const ListingRead read = read_c_array(text);
    if (read.error) {
        FUZZ_CHECK(read.bytes.empty());
        return;
    }
    for (BitLayout layout :
         {BitLayout::rows_msb, BitLayout::rows_lsb, BitLayout::pages_lsb, BitLayout::pages_msb}) {
        const Bitmap bits = unpack_bits(read.bytes, layout, width, height);
        FUZZ_CHECK(unpack_bits(layout_bytes(bits, layout), layout, width, height) == bits);
    }
    for (const Candidate& c : guess_shapes(read.bytes)) {
        const int whole = is_paged(c.shape.layout) ? c.shape.width : (c.shape.width + 7) / 8 * 8;
        FUZZ_CHECK(layout_byte_count(c.shape.layout, whole, c.shape.height) == read.bytes.size());
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int width = data[0] % 40;
    const int pages = data[1] % 5;
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);
    read_as_c(text, width, 1 + data[1] % 17);

    const ListingRead read = read_listing(text);
    // Fed in pieces of 1 to 5 bytes, as a stream splits it, the text reads the same.
    ListingReader pieces;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = 1 + (at * 7 + data[0]) % 5;
        pieces.feed(text.substr(at, length));
        at += length;
    }
    pieces.finish();
    FUZZ_CHECK(pieces.result().bytes == read.bytes && pieces.result().error == read.error);
    if (read.error) {
        FUZZ_CHECK(read.bytes.empty() && read.error_line >= 1);
        FUZZ_CHECK(read.error_text.size() >= 2 &&
                   (read.error_text.rfind("0x", 0) == 0 || read.error_text.rfind("0X", 0) == 0));
        FUZZ_CHECK(read.error->find(read.error_text) != std::string::npos);
        return 0;
    }

    const Picture picture = render_listing(read.bytes, width, pages);
    FUZZ_CHECK(picture.width == width && picture.height == pages * 8);
    std::size_t ink = 0, want = 0;
    for (Colour c : picture.pixels)
        ink += c == kBlack;
    for (std::size_t i = 0; i < read.bytes.size() && i < std::size_t(width) * pages; ++i)
        want += std::size_t(std::popcount(read.bytes[i]));
    FUZZ_CHECK(ink == want);
    FUZZ_CHECK(black_pixels(picture) == render_bits(read.bytes, width, pages));
    return 0;
}
