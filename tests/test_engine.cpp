// The engine on pictures made in code: the digit-string arithmetic and the constant tables
// that stand for it, the header checks, both listings, the byte layouts, painting listings
// back, and the sums of the preparation.
#include <clocale>
#include <gtest/gtest.h>

#include "back/hex_reader.h"
#include "back/render.h"
#include "bmp_fixture.h"
#include "digits/conversion.h"
#include "layout/layouts.h"
#include "pictures/bmp_writer.h"
#include "pictures/import.h"
#include "prepare/prepare.h"
#include "shared/entries.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

using Bytes = std::vector<std::uint8_t>;

LoadedFile checked(const BmpSpec& spec) {
    LoadedFile file = check_bmp_bytes(make_bmp(spec));
    EXPECT_TRUE(file.accepted()) << file.message();
    return file;
}

std::string sed1565_text(const BmpSpec& spec, bool invert = false) {
    return sed1565_listing(import_bmp(checked(spec), {invert, invert}).sed1565);
}

// '#' a set bit, '.' a clear one, a string a row from the top.
Bitmap art(const std::vector<std::string>& rows) {
    Bitmap b(int(rows[0].size()), int(rows.size()));
    for (std::size_t i = 0; i < b.bits.size(); ++i)
        b.bits[i] = rows[i / b.width][i % b.width] == '#';
    return b;
}

TEST(Conversion, ConstantTablesAgreeWithTheDigitStrings) {
    // Row r of an 8 x 256 picture stores the byte r; the listing inverts every stored byte.
    const LoadedFile file = checked({.width = 8, .height = 256, .ink = [](int x, int y) {
                                         return !((255 - y) >> (7 - x) & 1);
                                     }});
    const Bytes rows = import_bmp(file, {}).t6963c;
    Conversion conversion;
    for (int v = 0; v < 256; ++v) {
        const std::string hex = Conversion::dec_to_hex(v);
        EXPECT_EQ(entry(std::uint8_t(v)), "0x" + hex + ",");
        EXPECT_EQ(rows[v], 255 - conversion.hex_to_dec(hex)) << v;
        const std::string bin = conversion.hex_to_bin(hex);
        const Picture painted = render_listing({std::uint8_t(v)}, 1, 1);
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(painted.at(0, k) == kBlack, bin[7 - k] == '1') << v << " bit " << k;
    }
    EXPECT_EQ(Conversion::dec_to_hex(256), "100");
}

// The halving must not follow the machine's decimal separator.
TEST(Conversion, SameResultsUnderEveryLocale) {
    for (const char* locale : {"C", "de_DE.UTF-8", "fr_FR.UTF-8"}) {
        if (!std::setlocale(LC_ALL, locale)) continue;
        Conversion conversion;
        for (int v = 0; v < 256; ++v)
            ASSERT_EQ(conversion.hex_to_dec(Conversion::dec_to_hex(v)), v) << locale;
        EXPECT_EQ(to_decimal_comma(3.5), "3,5") << locale;
        EXPECT_EQ(from_decimal_comma("0,5"), 0.5) << locale;
    }
    std::setlocale(LC_ALL, "C");
}

TEST(Header, FactsAndGeometry) {
    struct Case {
        BmpSpec spec;
        const char *offset, *width, *height;
        int bytes_per_row, padding;
    };
    // clang-format off
    const Case cases[] = {
        {{.width = 128, .height = 64}, "3E000000", "80000000", "40000000", 16, 0},
        {{.width = 300, .height = 260, .top_down = true}, "3E000000", "2C010000", "FCFEFFFF", 38, 2},
        {{.width = 1, .height = 1, .info_size = 124}, "92000000", "01000000", "01000000", 1, 3},
        {{.width = 501, .height = 2}, "3E000000", "F5010000", "02000000", 63, 1},
        {{.width = 8, .height = 1, .offset = 32767}, "FF7F0000", "08000000", "01000000", 1, 3},
    };
    // clang-format on
    for (const auto& c : cases) {
        const LoadedFile file = checked(c.spec);
        const FileFacts f = import_bmp(file, {}, 0).facts;
        EXPECT_EQ(std::tuple(f.offset_field, f.width_field, f.height_field),
                  std::tuple(c.offset, c.width, c.height));
        EXPECT_EQ(std::tuple(f.width, f.height, f.rows),
                  std::tuple(c.spec.width, c.spec.height, c.spec.height));
        EXPECT_EQ(std::pair(f.bytes_per_row, f.padding), std::pair(c.bytes_per_row, c.padding));
    }
    const LoadedFile file = checked({.width = 10, .height = 1, .trailer = 5000});
    EXPECT_EQ(file.bytes.size(), 62u + 4); // nothing past the last row is kept
    const std::string dump = header_dump(file.header);
    EXPECT_EQ(dump.size(), 54u * 5 + 3 * 2);
    EXPECT_EQ(dump.substr(16 * 5, 2 + 5 * 3), "\r\n0x00,0x00,0x0A,");
}

// Palette order, row order and header size change the file, never what it lists.
TEST(Listings, SamePictureStoredEveryWay) {
    const auto ink = random_ink(7);
    const LoadedFile plain = checked({.width = 37, .height = 21, .ink = ink});
    const ImportResult reference = import_bmp(plain, {});
    const BmpSpec specs[] = {
        {.width = 37, .height = 21, .ink = ink, .white_first = true},
        {.width = 37, .height = 21, .ink = ink, .top_down = true},
        {.width = 37, .height = 21, .ink = ink, .white_first = true, .info_size = 108},
    };
    for (const BmpSpec& spec : specs) {
        const ImportResult r = import_bmp(checked(spec), {});
        EXPECT_EQ(r.sed1565, reference.sed1565);
        EXPECT_EQ(r.working, reference.working);
        if (!spec.top_down) {
            EXPECT_EQ(r.t6963c, reference.t6963c);
        }
    }
    EXPECT_EQ(reference.working.height, 24);
}

// Ink in red and paper in grey: neither is pure black or pure white.
TEST(Listings, ColoursThatAreNeitherBlackNorWhite) {
    const BmpSpec spec{.width = 2,
                       .height = 3,
                       .ink = [](int x, int) { return x == 0; },
                       .ink_colour = 0xFF0000,
                       .paper_colour = 0x808080};
    const ImportResult plain = import_bmp(checked(spec), {});
    EXPECT_EQ(plain.source.at(0, 0), 0x0000FF); // red as 0x00BBGGRR
    EXPECT_EQ(plain.source.at(1, 2), 0x808080);
    EXPECT_EQ(sed1565_listing(plain.sed1565), "0x07,0x07,");
    EXPECT_EQ(sed1565_text(spec, true), "0x07,0x07,");
    EXPECT_EQ(
        sed1565_text({.width = 2, .height = 3, .ink = [](int x, int) { return x == 0; }}, true),
        "0x00,0x07,");
}

// Which pixel goes into which bit is checked against the samples' golden files; here, the
// names, the rows the bytes cover, and the tail of a row that eight-pixel steps leave over.
TEST(Layouts, NamesRowsAndTails) {
    using enum BitLayout;
    const Bitmap nine = art({"#.......#"});
    EXPECT_EQ(layout_bytes(nine, rows_msb), (Bytes{0x80, 0x80}));
    EXPECT_EQ(layout_bytes(nine, rows_lsb), (Bytes{0x01, 0x01}));
    for (BitLayout l : {rows_msb, rows_lsb, pages_lsb, pages_msb}) {
        EXPECT_EQ(bit_layout_named(layout_name(l)), l);
        EXPECT_EQ(layout_rows(l, 9), is_paged(l) ? 16 : 9);
    }
    EXPECT_EQ(bit_layout_named("ROWS-MSB"), std::nullopt);
    EXPECT_EQ(entry_lines(Bytes(17, 0xA5), "\n", true).substr(70), "0xA5,0xA5,\n0xA5,\n");
    EXPECT_EQ(entry_lines(Bytes{}, "\n", true), "");
}

TEST(Reverse, EveryWayOfWritingAListingPaintsTheSamePixels) {
    const Picture expected = render_listing({0x81, 0x0F, 0x04, 0x08}, 2, 2);
    EXPECT_EQ(expected.at(0, 0), kBlack);
    EXPECT_EQ(expected.at(0, 7), kBlack);
    EXPECT_EQ(expected.at(1, 11), kBlack);
    EXPECT_EQ(expected.at(1, 4), kWhite);
    for (const char* text :
         {"0x81,0x0F,\r\n0x04,0x08,", "0x81,0x0f,\n0x4,0x8\n", "0X81 0XF 0x04\t0x08",
          " 0x81, 0x0F,\r  0x04 , 0x08 ",
          "// 2 x 16, 240x128 panel\nconst char a[] = {\n  0x81, 0x0F,\n  0x04, 0x08\n};"}) {
        const ListingRead read = read_listing(text);
        ASSERT_EQ(read.error, std::nullopt) << text << ": " << *read.error;
        EXPECT_EQ(render_listing(read.bytes, 2, 2), expected) << text;
    }
    const std::tuple<const char*, int, const char*> bad[] = {{"0x81,0xG1,", 1, "0xG1"},
                                                             {"0x81,\n0x0F,\r\n0x,", 3, "0x"},
                                                             {"0x81,\r0x123,", 2, "0x123"},
                                                             {"0x81,0x1Fh", 1, "0x1Fh"}};
    for (const auto& [text, line, found] : bad) {
        // Fed a byte at a time, as a stream may split it, the text reads as a whole.
        ListingReader bytewise;
        for (const char* p = text; *p; ++p)
            bytewise.feed({p, 1});
        bytewise.finish();
        const ListingRead read = bytewise.take();
        EXPECT_EQ(read.error, read_listing(text).error);
        EXPECT_TRUE(read.bytes.empty()) << text;
        EXPECT_EQ(read.error.value_or("").rfind(
                      "Line " + std::to_string(line) + " holds \"" + found + "\"", 0),
                  0u)
            << read.error.value_or("");
    }
    // Too few bytes paint what there is; bytes past W x P paint nothing.
    EXPECT_EQ(render_listing({0xFF}, 3, 2).height, 16);
    EXPECT_EQ(render_listing({0x01, 0x01, 0x01}, 1, 1), render_listing({0x01}, 1, 1));
}

TEST(Reverse, SizeFields) {
    // clang-format off
    const std::tuple<const char*, const char*, int, int> cases[] = {
        {"16", "8", 16, 8}, {" 16 ", "08", 16, 8}, {"0", "1", 0, 1}, {"4096", "512", 4096, 512},
        {"4097", "1", -1, 0}, {"1", "513", -1, 0}, {"1.5", "1", -1, 0}, {"-1", "1", -1, 0},
        {"   ", "1", -1, 0}, {"12", "x", -1, 0}, {"99999999999999999999", "1", -1, 0}};
    // clang-format on
    for (const auto& [width, pages, w, p] : cases) {
        const RenderSize s = parse_render_size(width, pages);
        EXPECT_EQ(!s.error, w >= 0) << width << "/" << pages << ": " << s.error.value_or("");
        EXPECT_EQ(std::pair(s.width, s.pages), std::pair(std::max(w, 0), w >= 0 ? p : 0));
    }
}

TEST(Reverse, BmpWriterRoundTrip) {
    Picture p(9, 2, kWhite);
    p.set(8, 1, kBlack);
    const Bytes bmp = encode_mono_bmp(black_pixels(p));
    const LoadedFile file = check_bmp_bytes(bmp);
    ASSERT_TRUE(file.accepted()) << file.message();
    EXPECT_EQ(file.header.palette, (std::array<Colour, 2>{kBlack, kWhite}));
    EXPECT_EQ(bmp.size(), 62u + 2 * 4);
    EXPECT_EQ(bmp[62 + 1], 0x00); // x = 8 black, the bits past the width 0
    EXPECT_EQ(decode_picture(file.header, file.bytes), p);
}

// One grey stays that grey however it is turned and scaled: the weights of every canvas
// pixel sum to its divisor, and the sums of the largest pictures (near 2^32) stay exact.
TEST(Prepare, OneGreyStaysThatGrey) {
    struct Case {
        int w, h, width, height;
        Fit fit;
        int rotate;
    };
    const Case cases[] = {{4096, 4001, 1, 4000, Fit::stretch, 0},
                          {4096, 4001, 4000, 1, Fit::stretch, 90},
                          {7, 5, 3, 11, Fit::stretch, 0}, // one axis shrinks, one grows
                          {5, 9, 64, 48, Fit::contain, 270},
                          {13, 3, 4, 4, Fit::cover, 180}};
    for (const Case& c : cases) {
        const Bytes grey(std::size_t(c.w) * c.h, 200);
        for (const int threshold : {200, 201}) {
            const Bitmap bits = prepare({c.w, c.h, grey.data()}, {.background = 200,
                                                                  .rotate = c.rotate,
                                                                  .width = c.width,
                                                                  .height = c.height,
                                                                  .fit = c.fit,
                                                                  .threshold = threshold});
            EXPECT_EQ(std::pair(bits.width, bits.height), std::pair(c.width, c.height));
            EXPECT_EQ(std::count(bits.bits.begin(), bits.bits.end(), threshold == 201),
                      std::ptrdiff_t(bits.bits.size()))
                << c.w << "x" << c.h << " to " << c.width << "x" << c.height;
        }
    }
}

} // namespace
