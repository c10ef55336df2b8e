#include <gtest/gtest.h>

#include "bmp_fixture.h"
#include "import/import.h"

using namespace dotlane;
using dotlane::test::BmpSpec;
using dotlane::test::make_bmp;

namespace {

LoadedFile check(const BmpSpec& spec) {
    return check_bmp_bytes(make_bmp(spec));
}

TEST(Header, StandardPicture128x64) {
    const LoadedFile file = check({.width = 128, .height = 64});
    ASSERT_TRUE(file.accepted()) << file.message();
    const InfoLabels l = info_labels(file.header);
    EXPECT_EQ(l.offset, "3E000000");
    EXPECT_EQ(l.offsetdec, "62");
    EXPECT_EQ(l.largeur, "80000000");
    EXPECT_EQ(l.largeurdec, "128");
    EXPECT_EQ(l.hauteur, "40000000");
    EXPECT_EQ(l.hauteurdec, "64");
    EXPECT_EQ(l.nbcolonne, "16");
    EXPECT_EQ(l.nbzero, "0");
    EXPECT_EQ(l.nbligne, "64");
    EXPECT_EQ(file.header.dump.substr(0, 10), "0x42,0x4D,");
    EXPECT_EQ(size_caption(file.size), "Taille 1086 Oct.");
}

TEST(Header, DumpHasFourLinesAndLeadingZeros) {
    const LoadedFile file = check({.width = 10, .height = 1});
    const std::string& dump = file.header.dump;
    EXPECT_EQ(dump.size(), 54u * 5 + 3 * 2);
    EXPECT_EQ(dump.find("\r\n"), 16u * 5);
    EXPECT_EQ(dump.substr(dump.size() - 5), "0x00,"); // no break after the last item
    // Byte 19 is the width, 10, written 0x0A.
    EXPECT_EQ(dump.substr(16 * 5 + 2 + 2 * 5, 5), "0x0A,");
}

TEST(Header, RowGeometry) {
    struct Case {
        int width, bytes, padding;
    };
    const Case cases[] = {{1, 1, 3},    {8, 1, 3},    {32, 4, 0},   {33, 5, 3},
                          {100, 13, 3}, {128, 16, 0}, {300, 38, 2}, {501, 63, 1}};
    for (const auto& c : cases) {
        const LoadedFile file = check({.width = c.width, .height = 3});
        ASSERT_TRUE(file.accepted()) << c.width << ": " << file.message();
        EXPECT_EQ(file.header.geometry.bytes_per_row, c.bytes) << c.width;
        EXPECT_EQ(file.header.geometry.padding, c.padding) << c.width;
        EXPECT_EQ(info_labels(file.header).largeurdec, std::to_string(c.width));
    }
}

// Values above 255 come from all four bytes of their field.
TEST(Header, WideFieldsAndTopDown) {
    const LoadedFile file = check({.width = 300, .height = 260, .top_down = true});
    ASSERT_TRUE(file.accepted()) << file.message();
    const InfoLabels l = info_labels(file.header);
    EXPECT_EQ(l.largeur, "2C010000");
    EXPECT_EQ(l.largeurdec, "300");
    EXPECT_EQ(l.hauteur, "FCFEFFFF");
    EXPECT_EQ(l.hauteurdec, "260");
    EXPECT_EQ(l.nbligne, "260");
}

TEST(Header, Refusals) {
    struct Case {
        const char* what;
        BmpSpec spec;
        const char* message_start;
    };
    const Case cases[] = {
        {"signature", {.signature = "XM"}, "Warning, this is not a valid BMP file."},
        {"signature beats depth",
         {.bits_per_pixel = 4, .signature = "BA"},
         "Warning, this is not a valid BMP file."},
        {"4 bits per pixel",
         {.bits_per_pixel = 4},
         "Warning, This BMP File isn't a MONOCHROME BMP File."},
        {"12-byte header",
         {.info_size = 12},
         "Warning, this BMP file has an information header of 12"},
        {"compressed", {.compression = 1}, "Warning, this BMP file is compressed"},
        {"no planes", {.planes = 0}, "Warning, this BMP file declares 0 colour planes"},
        {"palette of 4", {.colours_used = 4}, "Warning, this BMP file declares 4 palette colours"},
        {"width 0", {.width = 0}, "Warning, this BMP file declares a picture of 0 x 8"},
        {"height 0", {.height = 0}, "Warning, this BMP file declares a picture of 8 x 0"},
        {"negative width", {.stored_width = -8}, "Warning, this BMP file declares a picture of -8"},
        {"too wide", {.width = 502}, "Warning, this picture is 502 pixels wide"},
        {"too high", {.height = 497}, "Warning, this picture is 497 pixels high"},
        {"lowest height", {.stored_height = INT32_MIN}, "Warning, this picture is 2147483648"},
        {"offset into palette",
         {.offset = 58},
         "Warning, the pixel data offset of this BMP file (58) points"},
        {"offset above 32767",
         {.offset = 40000},
         "Warning, the pixel data offset of this BMP file (40000) is above"},
        {"offset past end",
         {.height = 1, .offset = 30000, .cut = 29000},
         "Warning, the pixel data offset of this BMP file (30000) lies past"},
        {"one byte short", {.cut = 1}, "Warning, this BMP file is cut short"},
    };
    for (const auto& c : cases) {
        const LoadedFile file = check(c.spec);
        EXPECT_FALSE(file.accepted()) << c.what;
        EXPECT_EQ(file.refusal.rfind(c.message_start, 0), 0u) << c.what << ": " << file.refusal;
    }
}

TEST(Header, ShortFilesAreNotBmp) {
    for (std::size_t size : {0, 1, 2, 53}) {
        std::vector<std::uint8_t> bytes = make_bmp({});
        bytes.resize(size);
        const LoadedFile file = check_bmp_bytes(bytes);
        EXPECT_EQ(file.refusal, kNotBmpMessage) << size;
        EXPECT_EQ(file.header.dump.size(), size * 5 + (size > 16 ? (size - 1) / 16 * 2 : 0));
    }
}

TEST(Header, TrailingBytesAreNotRead) {
    const LoadedFile file = check({.width = 8, .height = 2, .trailer = 5000});
    ASSERT_TRUE(file.accepted());
    EXPECT_EQ(file.bytes.size(), 62u + 8);
    EXPECT_EQ(file.size, 62u + 8 + 5000);
}

} // namespace
