#include <gtest/gtest.h>

#include "bmp_fixture.h"
#include "import/import.h"

using namespace dotlane;
using dotlane::test::BmpSpec;
using dotlane::test::make_bmp;

namespace {

struct Listings {
    std::string t6963c, sed1565;
    Picture working;
};

// The import as the command line runs it: invert sets both the box and the flag.
Listings run(const BmpSpec& spec, bool invert = false, SharedState* shared = nullptr) {
    SharedState local;
    SharedState& state = shared ? *shared : local;
    state.invert_colours = invert;
    const LoadedFile file = check_bmp_bytes(make_bmp(spec));
    EXPECT_TRUE(file.accepted()) << file.message();
    const ImportResult r =
        import_picture(file, decode_picture(file.header, file.bytes), {invert, false}, state);
    return {r.t6963c, r.sed1565, r.working};
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

TEST(T6963c, SmallPictures) {
    const auto all = [](int, int) { return true; };
    const auto none = [](int, int) { return false; };
    const auto left = [](int x, int) { return x == 0; };
    struct Case {
        const char* what;
        BmpSpec spec;
        bool invert;
        std::string listing;
    };
    const Case cases[] = {
        {"8x1 white", {.width = 8, .height = 1, .ink = none}, false, "1,1,\r\n0x00,\r\n"},
        {"8x1 black", {.width = 8, .height = 1, .ink = all}, false, "1,1,\r\n0xFF,\r\n"},
        {"8x1 white ticked", {.width = 8, .height = 1, .ink = none}, true, "1,1,\r\n0xFF,\r\n"},
        {"16x2 skips padding",
         {.width = 16, .height = 2, .ink = left},
         false,
         "2,2,\r\n0x80,0x00,\r\n0x80,0x00,\r\n"},
        {"32 wide has no padding",
         {.width = 32, .height = 2, .ink = [](int x, int y) { return x == 31 && y == 0; }},
         false,
         "2,4,\r\n0x00,0x00,0x00,0x00,\r\n0x00,0x00,0x00,0x01,\r\n"},
        {"bits past the width stay 0",
         {.width = 3, .height = 1, .ink = all},
         false,
         "1,1,\r\n0xE0,\r\n"},
        {"bits past the width stay 0 ticked",
         {.width = 3, .height = 1, .ink = none},
         true,
         "1,1,\r\n0xE0,\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c.spec, c.invert).t6963c, c.listing) << c.what;
}

TEST(T6963c, RowsInFileOrderAndReversed) {
    const BmpSpec spec{.width = 8, .height = 2, .ink = [](int, int y) { return y == 0; }};
    const LoadedFile file = check_bmp_bytes(make_bmp(spec));
    // Bottom-up file: the bottom row (white) comes first.
    EXPECT_EQ(t6963c_listing(file.header, file.bytes, {}), "2,1,\r\n0x00,\r\n0xFF,\r\n");
    EXPECT_EQ(t6963c_listing(file.header, file.bytes, {false, true}), "2,1,\r\n0xFF,\r\n0x00,\r\n");
}

// Palette order, row order and header size change the file, never the listings.
TEST(Listings, SamePictureStoredEveryWay) {
    const auto ink = test::random_ink(7);
    const Listings reference = run({.width = 37, .height = 21, .ink = ink});
    struct Case {
        const char* what;
        BmpSpec spec;
    };
    const Case cases[] = {
        {"white first", {.width = 37, .height = 21, .ink = ink, .white_first = true}},
        {"top-down", {.width = 37, .height = 21, .ink = ink, .top_down = true}},
        {"124-byte header", {.width = 37, .height = 21, .ink = ink, .info_size = 124}},
        {"all at once",
         {.width = 37, .height = 21, .ink = ink, .white_first = true, .info_size = 108}},
    };
    for (const auto& c : cases) {
        const Listings l = run(c.spec);
        EXPECT_EQ(l.sed1565, reference.sed1565) << c.what;
        if (!c.spec.top_down) {
            EXPECT_EQ(l.t6963c, reference.t6963c) << c.what;
        }
        EXPECT_EQ(l.working, reference.working) << c.what;
    }
}

TEST(WorkingCopy, ColoursInversionAndFillRows) {
    // Ink in red and paper in grey: neither is pure black or pure white.
    const BmpSpec spec{.width = 2,
                       .height = 3,
                       .ink = [](int x, int) { return x == 0; },
                       .ink_colour = 0xFF0000,
                       .paper_colour = 0x808080};
    SharedState state;
    const Listings plain = run(spec, false, &state);
    EXPECT_EQ(plain.working.height, 8);
    EXPECT_EQ(state.source_grid.at(0, 0), 0x0000FF); // red as 0x00BBGGRR
    EXPECT_EQ(state.source_grid.at(1, 2), 0x808080);
    // Neither colour is white, so unticked both paint black; ticked, neither is black.
    EXPECT_EQ(state.pixel_grid.at(1, 2), kBlack);
    EXPECT_EQ(state.pixel_grid.at(1, 3), kWhite); // fill row
    EXPECT_EQ(plain.sed1565, "0x07,0x07,");
    const Listings ticked = run(spec, true, &state);
    EXPECT_EQ(state.pixel_grid.at(0, 0), kBlack);
    EXPECT_EQ(ticked.sed1565, "0x07,0x07,");
    const Listings bw =
        run({.width = 2, .height = 3, .ink = [](int x, int) { return x == 0; }}, true, &state);
    EXPECT_EQ(bw.sed1565, "0x00,0x07,");
}

TEST(WorkingCopy, SmallerImportKeepsTheCellsOutside) {
    SharedState state;
    run({.width = 20, .height = 20, .ink = [](int, int) { return true; }}, false, &state);
    run({.width = 4, .height = 4}, false, &state);
    EXPECT_EQ(state.pixel_grid.at(3, 3), kWhite);
    EXPECT_EQ(state.pixel_grid.at(3, 7), kWhite); // fill rows of the 4-row picture
    EXPECT_EQ(state.pixel_grid.at(10, 10), kBlack);
    EXPECT_EQ(state.pixel_grid.at(4, 0), kBlack);
    EXPECT_EQ(state.source_grid.at(19, 19), kBlack);
}

TEST(WorkingCopy, FillRows) {
    const std::pair<int, int> cases[] = {{64, 0}, {60, 4}, {1, 7}, {8, 0}, {9, 7}, {496, 0}};
    for (const auto& [height, fill] : cases)
        EXPECT_EQ(fill_rows(height), fill) << height;
}

TEST(Sed1565, Pages) {
    const auto all = [](int, int) { return true; };
    struct Case {
        const char* what;
        BmpSpec spec;
        std::string listing;
    };
    const Case cases[] = {
        {"8x8 black", {.width = 8, .height = 8, .ink = all}, repeat("0xFF,", 8)},
        {"17x8 two marks",
         {.width = 17,
          .height = 8,
          .ink = [](int x, int y) { return (x == 0 && y == 0) || (x == 1 && y == 7); }},
         "0x01,0x80," + repeat("0x00,", 14) + "\r\n0x00,"},
        {"17x8 white", {.width = 17, .height = 8}, repeat("0x00,", 16) + "\r\n0x00,"},
        {"8x16 on one line",
         {.width = 8, .height = 16, .ink = [](int, int y) { return y < 8; }},
         repeat("0xFF,", 8) + repeat("0x00,", 8)},
        {"row 0",
         {.width = 2, .height = 16, .ink = [](int x, int y) { return !x && !y; }},
         "0x01," + repeat("0x00,", 3)},
        {"row 7",
         {.width = 2, .height = 16, .ink = [](int x, int y) { return !x && y == 7; }},
         "0x80," + repeat("0x00,", 3)},
        {"row 8",
         {.width = 2, .height = 16, .ink = [](int x, int y) { return !x && y == 8; }},
         "0x00,0x00,0x01,0x00,"},
        {"10 rows, fill is white", {.width = 1, .height = 10, .ink = all}, "0xFF,0x03,"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(run(c.spec).sed1565, c.listing) << c.what;
}

TEST(Sed1565, PageLimitFromTheCaption) {
    Grid grid;
    for (int y = 0; y < 16; ++y)
        grid.at(0, y) = kWhite;
    grid.at(0, 8) = kBlack;
    EXPECT_EQ(sed1565_listing(grid, 16, 1), "0x00,0x01,");
    EXPECT_EQ(sed1565_listing(grid, 12, 1), "0x00,"); // only whole pages
    EXPECT_EQ(sed1565_listing(grid, 4, 1), "");
}

} // namespace
