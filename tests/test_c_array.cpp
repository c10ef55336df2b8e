// convert --c-array: the declaration compiles, holds the listed bytes, reads back as them,
// and paints back the picture it was made from.
#include <cstdlib>
#include <gtest/gtest.h>

#include "cli_runner.h"
#include "import/import.h"
#include "reverse/hex_reader.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Declaration {
    std::string name, layout;
    int width, height;
};

// Builds one C program from the declarations with the C compiler, warnings as errors, and
// returns what it prints: for each array its name, the two sizes and its bytes.
std::string compile_and_run(const TempDir& dir, const std::vector<Declaration>& arrays,
                            const std::string& picture) {
    std::string main_c = "#include <stdio.h>\n";
    std::string body;
    for (const auto& a : arrays) {
        const CliRun r =
            run_cli("convert --layout " + a.layout + " --c-array " + a.name + " '" + picture + "'");
        EXPECT_EQ(r.status, 0) << a.layout << ": " << r.err;
        dir.write(a.name + ".h", {r.out.begin(), r.out.end()});
        main_c += "#include \"" + a.name + ".h\"\n";
        body += "    show(\"" + a.name + "\", " + a.name + "_width, " + a.name + "_height, " +
                a.name + ", sizeof " + a.name + ");\n";
    }
    main_c += "static void show(const char* name, int w, int h, const unsigned char* b, "
              "size_t n) {\n    size_t i;\n    printf(\"%s %d %d\", name, w, h);\n"
              "    for (i = 0; i < n; ++i) printf(\" %02X\", b[i]);\n    printf(\"\\n\");\n}\n"
              "int main(void) {\n" +
              body + "    return 0;\n}\n";
    const std::string folder = dir.path().string();
    dir.write("main.c", {main_c.begin(), main_c.end()});
    // The same program as C and as C++ with every compiler installed, each output alike.
    std::string printed;
    for (const char* compiler : {"gcc -std=c99", "gcc -std=c2x", "clang -std=c99", "clang -std=c2x",
                                 "g++ -x c++ -std=c++17", "clang++ -x c++ -std=c++17"}) {
        const std::string name = std::string(compiler).substr(0, std::string(compiler).find(' '));
        if (std::system(("command -v " + name + " >/dev/null").c_str()) != 0) continue;
        const std::string build = "cd " + folder + " && " + compiler +
                                  " -Wall -Wextra -pedantic -Werror -o main main.c 2>cc.log && "
                                  "./main >main.out";
        EXPECT_EQ(std::system(build.c_str()), 0) << compiler << "\n"
                                                 << as_text(read_file(folder + "/cc.log"));
        const std::string out = as_text(read_file(folder + "/main.out"));
        EXPECT_TRUE(printed.empty() || out == printed) << compiler;
        printed = out;
    }
    return printed;
}

std::string show_line(const Declaration& a, const Bytes& bytes) {
    std::string line = a.name + " " + std::to_string(a.width) + " " + std::to_string(a.height);
    for (std::uint8_t b : bytes) {
        static const char digits[] = "0123456789ABCDEF";
        line += ' ';
        line += digits[b >> 4];
        line += digits[b & 15];
    }
    return line + "\n";
}

TEST(CArray, CompilesToTheListedBytes) {
    TempDir dir;
    // A file name that would break a comment, or read as bytes, if written as it stands.
    const std::string picture = dir.write(
        "0x1F logo*\\ 0Xzz\t(1).bmp", make_bmp({.width = 37, .height = 21, .ink = random_ink(51)}));
    const std::vector<Declaration> arrays = {
        {"t6963c", "t6963c", 37, 21},     {"sed1565", "sed1565", 37, 24},
        {"rows_msb", "rows-msb", 37, 21}, {"final", "rows-lsb", 37, 21},
        {"module", "pages-lsb", 37, 24},  {"_pages_msb2", "pages-msb", 37, 24},
    };
    std::string expected;
    for (const auto& a : arrays) {
        const CliRun bare = run_cli("convert --layout " + a.layout + " '" + picture + "'");
        const Bytes bytes = read_listing(bare.out).bytes;
        EXPECT_EQ(bytes.size(), a.layout.starts_with("rows") || a.layout == "t6963c"
                                    ? std::size_t(5 * 21)
                                    : std::size_t(37 * 3))
            << a.layout;
        expected += show_line(a, bytes);
        // The whole declaration, comment included, reads as exactly these bytes.
        const CliRun c = run_cli("convert --layout " + a.layout + " --c-array x '" + picture + "'");
        const ListingRead read = read_listing(c.out);
        EXPECT_EQ(read.error, "") << a.layout;
        EXPECT_EQ(read.bytes, bytes) << a.layout;
    }
    EXPECT_EQ(compile_and_run(dir, arrays, picture), expected);
}

// Names that would not compile as C or as C++, or are reserved to the compiler.
TEST(CArray, RefusesKeywordsAndReservedNames) {
    TempDir dir;
    const std::string picture = dir.write("p.bmp", make_bmp({}));
    for (const char* name :
         {"class",   "new",        "delete",  "template", "namespace", "and",     "or",
          "not",     "xor",        "bitand",  "compl",    "co_await",  "concept", "requires",
          "char8_t", "constexpr",  "nullptr", "typeof",   "bool",      "main",    "linux",
          "_BitInt", "_Decimal64", "_Bool",   "_X",       "a__b",      "__a",     "a_"}) {
        const CliRun r =
            run_cli("convert --layout rows-msb --c-array " + std::string(name) + " " + picture);
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_EQ(r.err.rfind("dotlane-cli: --c-array needs a C identifier; \"" +
                                  std::string(name) + "\" is ",
                              0),
                  0u)
            << r.err;
    }
}

TEST(CArray, Text) {
    TempDir dir;
    const std::string picture =
        dir.write("logo.bmp",
                  make_bmp({.width = 3, .height = 9, .ink = [](int x, int y) { return x == y; }}));
    const CliRun r =
        run_cli("convert --layout pages-msb --invert-colors --c-array logo " + picture);
    EXPECT_EQ(r.out, "/* logo.bmp, 98 bytes: 3 x 9 pixels\n"
                     " * layout pages-msb: pages of 8 rows from the top, one byte per column, "
                     "bit 7 the top row\n"
                     " * a set bit is a light pixel */\n"
                     "#define logo_width 3\n"
                     "#define logo_height 16\n"
                     "const unsigned char logo[] = {\n"
                     "    0x7F, 0xBF, 0xDF, 0x80, 0x80, 0x80,\n"
                     "};\n");
}

// A pages-lsb declaration pasted into render gives back the picture, white below it.
TEST(CArray, PagesLsbPaintsThePictureBack) {
    TempDir dir;
    const BmpSpec specs[] = {
        {.width = 17, .height = 13, .ink = random_ink(61)},
        {.width = 128, .height = 64, .ink = random_ink(62), .white_first = true},
        {.width = 1, .height = 1, .ink = [](int, int) { return true; }},
    };
    for (const BmpSpec& spec : specs) {
        const std::string picture = dir.write("pic.bmp", make_bmp(spec));
        const CliRun c = run_cli("convert --layout pages-lsb --c-array pic " + picture);
        const std::string header = dir.write("pic.h", {c.out.begin(), c.out.end()});
        const std::string back = (dir.path() / "back.bmp").string();
        const int pages = (spec.height + 7) / 8;
        const CliRun r = run_cli("render --width " + std::to_string(spec.width) + " --pages " +
                                 std::to_string(pages) + " -o " + back + " " + header);
        ASSERT_EQ(r.status, 0) << r.err;
        const LoadedFile painted = check_bmp_bytes(read_file(back));
        const LoadedFile original = check_bmp_bytes(make_bmp(spec));
        ASSERT_TRUE(painted.accepted() && original.accepted());
        const Picture p = decode_picture(painted.header, painted.bytes);
        const Picture o = decode_picture(original.header, original.bytes);
        ASSERT_EQ(p.width, o.width);
        ASSERT_EQ(p.height, pages * 8);
        int differences = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                differences += p.at(x, y) != (y < o.height ? o.at(x, y) : kWhite);
        EXPECT_EQ(differences, 0) << spec.width << "x" << spec.height;
    }
}

} // namespace
