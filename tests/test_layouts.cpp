// The bit layouts of the engine: which pixel goes into which bit. Their agreement with the
// window's listings is checked against the golden sample files and by the import fuzz target.
#include <gtest/gtest.h>

#include "import/layouts.h"
#include "import/listings.h"

using namespace dotlane;

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
    EXPECT_EQ(entry_lines(Bytes{}, "\n", true), "");
    EXPECT_EQ(entry_lines(Bytes{0x0F}, "\n", true), "0x0F,\n");
    std::string sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen += "0xA5,";
    EXPECT_EQ(entry_lines(Bytes(16, 0xA5), "\n", true), sixteen + "\n");
    EXPECT_EQ(entry_lines(Bytes(17, 0xA5), "\n", true), sixteen + "\n0xA5,\n");
}

} // namespace
