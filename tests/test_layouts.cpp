// The bit layouts of the engine: which pixel goes into which bit, and their agreement with
// the window's two listings.
#include <gtest/gtest.h>

#include "bmp_fixture.h"
#include "import/import.h"
#include "import/layouts.h"
#include "reverse/hex_reader.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

using Bytes = std::vector<std::uint8_t>;

// '#' black, '.' white, 'r' red (neither black nor white), one string a row from the top.
Picture art(const std::vector<std::string>& rows) {
    Picture p(int(rows[0].size()), int(rows.size()), kWhite);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            p.set(x, y, rows[y][x] == '#' ? kBlack : rows[y][x] == 'r' ? 0x0000FF : kWhite);
    return p;
}

// The picture the README works through.
const Picture kExample = art({"#..", ".#.", "..#", "...", "###", "...", "#..", "..#", ".#."});

TEST(Layouts, WhichPixelGoesIntoWhichBit) {
    using enum BitLayout;
    struct Case {
        const char* what;
        Picture picture;
        bool invert;
        BitLayout layout;
        Bytes bytes;
    };
    const Case cases[] = {
        {"example", kExample, false, rows_msb, {0x80, 0x40, 0x20, 0, 0xE0, 0, 0x80, 0x20, 0x40}},
        {"example", kExample, false, rows_lsb, {0x01, 0x02, 0x04, 0, 0x07, 0, 0x01, 0x04, 0x02}},
        {"example", kExample, false, pages_lsb, {0x51, 0x12, 0x94, 0x00, 0x01, 0x00}},
        {"example", kExample, false, pages_msb, {0x8A, 0x48, 0x29, 0x00, 0x80, 0x00}},
        {"left of 9", art({"#........"}), false, rows_msb, {0x80, 0x00}},
        {"left of 9", art({"#........"}), false, rows_lsb, {0x01, 0x00}},
        {"right of 9", art({"........#"}), false, rows_msb, {0x00, 0x80}},
        {"right of 9", art({"........#"}), false, rows_lsb, {0x00, 0x01}},
        {"row 7 and 8",
         art({".", ".", ".", ".", ".", ".", ".", "#", "#"}),
         false,
         pages_lsb,
         {0x80, 0x01}},
        {"row 7 and 8",
         art({".", ".", ".", ".", ".", ".", ".", "#", "#"}),
         false,
         pages_msb,
         {0x01, 0x80}},
        {"padding stays 0 inverted", art({"..."}), true, rows_msb, {0xE0}},
        {"padding stays 0 inverted", art({"..."}), true, rows_lsb, {0x07}},
        {"fill rows stay 0 inverted", art({".", "."}), true, pages_lsb, {0x03}},
        {"fill rows stay 0 inverted", art({".", "."}), true, pages_msb, {0xC0}},
        {"black inverted is clear", art({"#.#."}), true, rows_msb, {0x50}},
        {"red is set either way", art({"r"}), false, pages_lsb, {0x01}},
        {"red is set either way", art({"r"}), true, pages_lsb, {0x01}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(layout_bytes(c.picture, c.invert, c.layout), c.bytes)
            << c.what << " " << layout_name(c.layout) << (c.invert ? " inverted" : "");
}

TEST(Layouts, NamesAndRows) {
    for (BitLayout l :
         {BitLayout::rows_msb, BitLayout::rows_lsb, BitLayout::pages_lsb, BitLayout::pages_msb}) {
        EXPECT_EQ(bit_layout_named(layout_name(l)), l);
        EXPECT_EQ(layout_rows(l, 9), is_paged(l) ? 16 : 9) << layout_name(l);
        EXPECT_EQ(layout_rows(l, 16), 16) << layout_name(l);
    }
    for (const char* name : {"", "t6963c", "sed1565", "ROWS-MSB", "rows", "pages-lsb "})
        EXPECT_EQ(bit_layout_named(name), std::nullopt) << name;
}

TEST(Layouts, EntryLines) {
    EXPECT_EQ(entry_lines(Bytes{}), "");
    EXPECT_EQ(entry_lines(Bytes{0x0F}), "0x0F,\n");
    std::string sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen += "0xA5,";
    EXPECT_EQ(entry_lines(Bytes(16, 0xA5)), sixteen + "\n");
    EXPECT_EQ(entry_lines(Bytes(17, 0xA5)), sixteen + "\n0xA5,\n");
}

// pages-lsb lists the bytes of the window's SED1565 listing, and rows-msb those of its
// T6963C listing with the rows from the top, whatever the file's palette and row order.
TEST(Layouts, AgreeWithTheWindowsListings) {
    const BmpSpec specs[] = {
        {.width = 37, .height = 21, .ink = random_ink(11)},
        {.width = 8, .height = 16, .ink = random_ink(12), .white_first = true},
        {.width = 1, .height = 1, .ink = random_ink(13)},
        {.width = 29, .height = 9, .ink = random_ink(14), .top_down = true, .info_size = 124},
        {.width = 16,
         .height = 5,
         .ink = random_ink(15),
         .ink_colour = 0x102030,
         .paper_colour = 0xFFFFFE},
    };
    for (const BmpSpec& spec : specs) {
        const LoadedFile file = check_bmp_bytes(make_bmp(spec));
        ASSERT_TRUE(file.accepted()) << file.message();
        const Picture picture = decode_picture(file.header, file.bytes);
        for (bool invert : {false, true}) {
            SharedState state;
            state.invert_colours = invert;
            const ImportResult r = import_picture(file, picture, {invert, false}, state);
            const std::string what = std::to_string(spec.width) + "x" +
                                     std::to_string(spec.height) + (invert ? " inverted" : "");
            EXPECT_EQ(layout_bytes(picture, invert, BitLayout::pages_lsb),
                      read_listing(r.sed1565).bytes)
                << what;
            Bytes t6963c = read_listing(r.t6963c).bytes;
            const std::size_t per_row = std::size_t(spec.width + 7) / 8;
            Bytes from_top;
            for (int row = 0; row < spec.height; ++row) {
                const int stored = spec.top_down ? row : spec.height - 1 - row;
                from_top.insert(from_top.end(), t6963c.begin() + stored * per_row,
                                t6963c.begin() + (stored + 1) * per_row);
            }
            EXPECT_EQ(layout_bytes(picture, invert, BitLayout::rows_msb), from_top) << what;
        }
    }
}

} // namespace
