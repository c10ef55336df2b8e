// Bytes back into pictures: every layout and ink through dotlane-cli and back, the C array
// reader on a table of texts, and the guessing rate on the committed drawings.
#include <filesystem>
#include <gtest/gtest.h>

#include "back/c_reader.h"
#include "back/guess.h"
#include "cli_runner.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

TEST(BytesBack, EveryLayoutAndInkPaintsThePictureBack) {
    const std::string cli = DOTLANE_CLI;
    TempDir dir;
    for (const auto& [w, h] :
         {std::pair{1, 1}, {7, 5}, {8, 8}, {13, 9}, {128, 64}, {240, 128}, {501, 496}}) {
        const std::string in = dir.write(
            "in.bmp", make_bmp({.width = w, .height = h, .ink = random_ink(unsigned(w))}));
        const std::string want = run_cli("convert --layout rows-msb " + in).out;
        const std::string size = " --width " + std::to_string(w) + " --height " + std::to_string(h);
        for (const char* layout :
             {"rows-msb", "rows-lsb", "pages-lsb", "pages-msb", "sed1565", "t6963c"})
            for (const bool light : {false, true}) {
                // PNG for dark ink, BMP for light: both files read back as convert reads them.
                const std::string out = (dir.path() / (light ? "out.bmp" : "out.png")).string();
                const CliRun r =
                    run_shell(cli + " convert --layout " + layout +
                              (light ? " --invert-colors " : " ") + in + " | " + cli +
                              " render --layout " + layout + size + (light ? " --ink light" : "") +
                              " -o " + out + " && " + cli + " convert --layout rows-msb " + out);
                EXPECT_EQ(r.out, want) << w << " x " << h << " " << layout << " " << light << r.err;
            }
    }
}

struct CText {
    const char* text;
    const char* name; // nullptr: the first array
    std::vector<std::uint8_t> bytes;
    int error_line = 0; // a bad literal's line, and its text
    const char* error_text = "";
};

TEST(BytesBack, CArraysReadAsTheirLiterals) {
    const char* two = "int w = 3; const char a[] = {1};\nconst char b[2][1] = {{2}, {3}};";
    const CText table[] = {
        {"{0x01, 0XfF, 7}", nullptr, {1, 255, 7}},
        {"{10, 010, 0}", nullptr, {10, 8, 0}},
        {"{0b101, 0B11110000}", nullptr, {5, 240}},
        {"{B0101, B11111111}", nullptr, {5, 255}},
        {"{1u, 2UL, 0x3l, 1'0}", nullptr, {1, 2, 3, 10}},
        {"/* {9} */ // {8}\n#define X {7}\nconst uint8_t a[] PROGMEM = { 1, /* 2, */ 3 // 4\n};",
         nullptr,
         {1, 3}},
        {"const char* s = \"{5}\"; char c = '{'; const char b[] = {6};", nullptr, {6}},
        {two, nullptr, {1}},
        {two, "b", {2, 3}},
        {two, "c", {}, 0, ""},
        {"1, 2,\n0x03", nullptr, {1, 2, 3}},
        {"{1,\n2,\n0x1G}", nullptr, {}, 3, "0x1G"},
        {"{\r\n256}", nullptr, {}, 2, "256"},
        {"{1,\r\r x}", nullptr, {}, 3, "x"},
        {"{1, -2}", nullptr, {}, 1, "-"},
        {"x[] = {{1}, 2", nullptr, {1, 2}},
        {"{B2, 08}", nullptr, {}, 1, "B2"},
        {"{1'0'0, 0x'}", nullptr, {}, 1, "0x'"},
        {"{0b''}", nullptr, {}, 1, "0b''"},
        {"{2,\n1'}", nullptr, {}, 2, "1'"},
        {"{0x'F'}", nullptr, {}, 1, "0x'F'"},
        {"{0x1''F}", nullptr, {}, 1, "0x1''F"},
        {"{B1'0}", nullptr, {}, 1, "B1'0"},
        {"int x[] = 1; void f() {}", nullptr, {}, 0, ""},
    };
    for (const CText& row : table) {
        const ListingRead r = read_c_array(
            row.text, row.name ? std::optional<std::string_view>(row.name) : std::nullopt);
        EXPECT_EQ(r.bytes, row.bytes) << row.text;
        EXPECT_EQ(r.error.has_value(), row.bytes.empty()) << row.text;
        EXPECT_EQ(r.error_line, row.error_line) << row.text;
        EXPECT_EQ(r.error_text, row.error_text) << row.text;
    }
    ListingReader counting(ListingReader::kUnlimited, ListingReader::kUnlimited, 2);
    counting.feed("0x01 0x02 0x03");
    counting.finish();
    EXPECT_EQ(counting.result().bytes, (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(counting.result().count, 3u);
}

// Each file is named NAME.LAYOUT.WxH.txt after the right answer.
TEST(BytesBack, GuessFindsTheLayoutAndSizeOfNineDrawingsInTen) {
    int right = 0, all = 0;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(DOTLANE_SAMPLES) / "expected/guess")) {
        const std::string name = entry.path().filename().string();
        const std::string truth =
            name.substr(name.find('.') + 1, name.rfind('.') - name.find('.') - 1);
        const auto found =
            guess_shapes(read_listing(as_text(read_file(entry.path().string()))).bytes);
        ASSERT_FALSE(found.empty()) << name;
        const Shape& best = found.front().shape;
        const std::string answer = shape_layout_name(best) + "." + std::to_string(best.width) +
                                   "x" + std::to_string(best.height);
        ++all;
        if (answer == truth)
            ++right;
        else
            std::cout << name << ": guessed " << answer << "\n";
    }
    std::cout << "guess: " << right << " of " << all << " right\n";
    EXPECT_GE(all, 30);
    EXPECT_GE(right * 10, all * 9);
    // Rows of 0xFF, 0x00: 16 bits a row, the last 8 clear, so the row layouts offer the whole
    // 16 and the narrowest width those clear bits allow, 9. Rows of 0x7F, 0x80, a clear
    // column at the left and 7 at the right: first the centred 10, then the whole 16.
    for (const auto& [layout, row, widths] :
         {std::tuple{BitLayout::rows_msb, std::vector<std::uint8_t>{0xFF, 0x00}, "16 9 "},
          {BitLayout::rows_lsb, std::vector<std::uint8_t>{0xFF, 0x00}, "16 9 "},
          {BitLayout::rows_msb, std::vector<std::uint8_t>{0x7F, 0x80}, "10 16 "}}) {
        std::vector<std::uint8_t> bytes;
        for (int y = 0; y < 16; ++y)
            bytes.insert(bytes.end(), row.begin(), row.end());
        std::string offered;
        for (const Candidate& c : guess_shapes(bytes))
            if (c.shape.layout == layout && c.shape.height == 16 && !c.shape.t6963c)
                offered += std::to_string(c.shape.width) + " ";
        EXPECT_EQ(offered, widths) << int(row[0]);
    }
    // A listing's first line offers a t6963c reading only of rows that take every byte, and
    // no more of them than render paints.
    for (const auto& [head, count, offered] : {std::tuple{T6963cHead{7, 1}, 520, true},
                                               {T6963cHead{2, 3}, 520, false},
                                               {T6963cHead{1, 520}, 520, false},
                                               {T6963cHead{1, 1}, 4096, true},
                                               {T6963cHead{1, 1}, 4097, false}}) {
        const auto found = guess_shapes(std::vector<std::uint8_t>(std::size_t(count), 0x5A), head);
        EXPECT_EQ(std::any_of(found.begin(), found.end(),
                              [](const Candidate& c) { return c.shape.t6963c; }),
                  offered)
            << head.rows << "," << head.bytes_per_row << " " << count;
        for (const Candidate& c : found)
            EXPECT_TRUE(c.shape.width <= 4096 && c.shape.height <= 4096)
                << shape_layout_name(c.shape);
    }
}

} // namespace
