#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>

#include "bmp_fixture.h"
#include "import/import.h"
#include "reverse/bmp_writer.h"
#include "reverse/hex_reader.h"
#include "reverse/render.h"

using namespace dotlane;

namespace {

using Pixels = std::set<std::pair<int, int>>;

Pixels black_pixels(const Picture& p) {
    Pixels out;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.at(x, y) == kBlack) out.insert({x, y});
    return out;
}

const Pixels kWorkedExample = {{0, 0}, {0, 7}, {1, 0}, {1, 1}, {1, 2}, {1, 3}, {0, 10}, {1, 11}};

TEST(ListingReader, EveryLayoutPaintsTheSamePixels) {
    const char* cases[] = {
        "0x81,0x0F,\r\n0x04,0x08,",
        "0x81,0x0F,0x04,0x08,",
        "0x81,0x0F,\n0x04,0x08,\n",
        "0x81,0x0F,\r0x04,0x08,\r",
        " 0x81, 0x0F,\n  0x04 , 0x08 ",
        "0x81,0x0f,0x4,0x8",
        "0X81 0XF 0x04\t0x08",
        "// 2 x 16 pixels, 240x128 panel\nconst unsigned char logo[] = {\n  0x81, 0x0F,\n  0x04, "
        "0x08\n};\n",
    };
    for (const char* text : cases) {
        const ListingRead read = read_listing(text);
        ASSERT_TRUE(read.error.empty()) << text << ": " << read.error;
        EXPECT_EQ(black_pixels(render_listing(read.bytes, 2, 2)), kWorkedExample) << text;
    }
}

TEST(ListingReader, BadEntries) {
    struct Case {
        const char* text;
        int line;
        const char* found;
    };
    const Case cases[] = {{"0x81,0xG1,", 1, "0xG1"},
                          {"0x81,\n0x0F,\r\n0x,", 3, "0x"},
                          {"0x81,\r0x123,", 2, "0x123"},
                          {"0x81,0x1Fh", 1, "0x1Fh"}};
    for (const auto& c : cases) {
        // Fed a byte at a time, as a stream may split it, the text reads the same.
        ListingReader bytewise;
        for (const char* p = c.text; *p; ++p)
            bytewise.feed({p, 1});
        bytewise.finish();
        const ListingRead read = bytewise.take();
        EXPECT_EQ(read.error, read_listing(c.text).error) << c.text;
        EXPECT_TRUE(read.bytes.empty()) << c.text;
        EXPECT_EQ(read.error_line, c.line) << c.text;
        EXPECT_EQ(read.error_text, c.found) << c.text;
        EXPECT_NE(read.error.find("Line " + std::to_string(c.line)), std::string::npos);
    }
}

TEST(Render, ShortListingPaintsWhatItHas) {
    const Picture p = render_listing({0xFF}, 3, 2);
    EXPECT_EQ(p.width, 3);
    EXPECT_EQ(p.height, 16);
    EXPECT_EQ(black_pixels(p).size(), 8u);
    EXPECT_EQ(black_pixels(render_listing({0x01, 0x01, 0x01}, 1, 1)), (Pixels{{0, 0}}));
}

TEST(RenderSize, Checks) {
    struct Case {
        const char* width;
        const char* pages;
        int w, p;
        bool ok;
    };
    const Case cases[] = {{"16", "8", 16, 8, true},
                          {" 16 ", "08", 16, 8, true},
                          {"0", "1", 0, 1, true},
                          {"4096", "512", 4096, 512, true},
                          {"4097", "1", 0, 0, false},
                          {"1", "513", 0, 0, false},
                          {"1.5", "1", 0, 0, false},
                          {"-1", "1", 0, 0, false},
                          {"   ", "1", 0, 0, false},
                          {"12", "x", 0, 0, false},
                          {"99999999999999999999", "1", 0, 0, false}};
    for (const auto& c : cases) {
        const RenderSize s = parse_render_size(c.width, c.pages);
        EXPECT_EQ(s.error.empty(), c.ok) << c.width << "/" << c.pages << ": " << s.error;
        if (c.ok) {
            EXPECT_EQ(std::pair(s.width, s.pages), std::pair(c.w, c.p));
        }
    }
}

TEST(BmpWriter, WritesAOneBitPictureBlackFirst) {
    Picture p(9, 2, kWhite);
    p.set(8, 1, kBlack);
    const std::vector<std::uint8_t> bmp = encode_mono_bmp(p);
    const LoadedFile file = check_bmp_bytes(bmp);
    ASSERT_TRUE(file.accepted()) << file.message();
    EXPECT_EQ(file.header.palette[0], kBlack);
    EXPECT_EQ(file.header.palette[1], kWhite);
    EXPECT_EQ(bmp.size(), 62u + 2 * 4);
    EXPECT_EQ(decode_picture(file.header, file.bytes), p);
}

TEST(SaveFile, ReplacesWholeOrLeavesTheOldFile) {
    test::TempDir dir;
    const std::string path = (dir.path() / "out.bmp").string();
    ASSERT_EQ(save_file_atomically(path, {1, 2, 3}), "");
    ASSERT_EQ(save_file_atomically(path, {4, 5}), "");
    EXPECT_EQ(test::read_file(path), (std::vector<std::uint8_t>{4, 5}));
    const std::string missing = (dir.path() / "no/such/folder/out.bmp").string();
    EXPECT_NE(save_file_atomically(missing, {1}), "");
    if (::geteuid() != 0) { // root writes into read-only folders anyway
        ::chmod(dir.path().c_str(), 0500);
        EXPECT_NE(save_file_atomically(path, {9}), "");
        EXPECT_EQ(test::read_file(path), (std::vector<std::uint8_t>{4, 5}));
    }
}

} // namespace
