// convert --c-array: the declaration compiles as C and C++ with every compiler installed,
// holds the listed bytes, reads back as exactly them, and refuses names that would not compile;
// every other declaration style, built or run with the system's tools, holds the raw bytes.
#include <cstdlib>
#include <gtest/gtest.h>

#include "back/hex_reader.h"
#include "cli_runner.h"
#include "declare/c_array.h"
#include "declare/styles.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(CArray, CompilesToTheListedBytes) {
    TempDir dir;
    // A file name that would break a comment, or read as bytes, if written as it stands.
    const std::string picture = dir.write(
        "0x1F logo*\\ 0Xzz\t(1).bmp", make_bmp({.width = 37, .height = 21, .ink = random_ink(51)}));
    const std::tuple<const char*, const char*, int> arrays[] = {
        {"t6963c", "t6963c", 21},  {"sed1565", "sed1565", 24},  {"rows_msb", "rows-msb", 21},
        {"final", "rows-lsb", 21}, {"module", "pages-lsb", 24}, {"_pages_msb2", "pages-msb", 24}};
    std::string main_c = "#include <stdio.h>\n", body, expected;
    for (const auto& [name, layout, height] : arrays) {
        const std::string args = std::string(" --layout ") + layout + " '" + picture + "'";
        const Bytes bytes = read_listing(run_cli("convert" + args).out).bytes;
        EXPECT_EQ(bytes.size(), height == 21 ? 5u * 21 : 37u * 3) << layout;
        const CliRun c = run_cli(std::string("convert --c-array ") + name + args);
        EXPECT_EQ(read_listing(c.out).bytes, bytes) << layout; // the comment reads as no byte
        dir.write(std::string(name) + ".h", {c.out.begin(), c.out.end()});
        main_c += std::string("#include \"") + name + ".h\"\n";
        body += std::string("    show(") + name + "_width, " + name + "_height, " + name +
                ", sizeof " + name + ");\n";
        expected += "37 " + std::to_string(height);
        for (std::uint8_t b : bytes)
            expected += " " + std::to_string(b);
        expected += "\n";
    }
    main_c += "static void show(int w, int h, const unsigned char* b, size_t n) {\n"
              "    size_t i;\n    printf(\"%d %d\", w, h);\n"
              "    for (i = 0; i < n; ++i) printf(\" %d\", b[i]);\n    printf(\"\\n\");\n}\n"
              "int main(void) {\n" +
              body + "    return 0;\n}\n";
    dir.write("main.c", {main_c.begin(), main_c.end()});
    for (const char* compiler : {"gcc -std=c99", "gcc -std=c2x", "clang -std=c99", "clang -std=c2x",
                                 "g++ -x c++ -std=c++17", "clang++ -x c++ -std=c++17"}) {
        const std::string tool = std::string(compiler).substr(0, std::string(compiler).find(' '));
        if (std::system(("command -v " + tool + " >/dev/null").c_str()) != 0) continue;
        const CliRun built = run_shell("cd '" + dir.path().string() + "' && " + compiler +
                                       " -Wall -Wextra -pedantic -Werror -o main main.c && ./main");
        EXPECT_EQ(built.out, expected) << compiler << "\n" << built.err;
    }
}

// Each style's text turned back into raw bytes in out.bin by the tool that reads it; the array
// takes its name from the file, "logo 2.bmp", and the file given twice adds logo_2_2.
constexpr std::pair<const char*, const char*> kBuilds[] = {
    {"c", "cc -std=c99 -Wall -Wextra -pedantic -Werror -I. -x c -o p print.c && ./p >out.bin"},
    {"arduino", "c++ -Wall -Wextra -pedantic -Werror -I. -x c++ -o p print.c && ./p >out.bin"},
    {"u8g2", "c++ -Wall -Wextra -pedantic -Werror -I. -x c++ -o p print.c && ./p >out.bin"},
    {"python", "python3 -c \"import sys; exec(open('decl').read()); "
               "sys.stdout.buffer.write(logo_2 + globals().get('logo_2_2', b''))\" >out.bin"},
    {"asm", "as -o d.o decl && objcopy -O binary -j .rodata d.o out.bin && "
            "nm d.o | grep -q ' A logo_2_width'"},
};

TEST(Styles, BuildToTheRawBytes) {
    TempDir dir;
    const std::string picture =
        dir.write("logo 2.bmp", make_bmp({.width = 37, .height = 21, .ink = random_ink(7)}));
    const auto text = [&](const char* name, std::string_view s) {
        dir.write(name, {s.begin(), s.end()});
    };
    text("Arduino.h", "#include <stdint.h>\n#define PROGMEM\n");
    text("U8g2lib.h", "#define U8X8_PROGMEM\n");
    text("print.c", "#include <stdio.h>\n#include \"decl\"\nint main(void) {\n"
                    "    fwrite(logo_2, 1, sizeof logo_2, stdout);\n"
                    "#ifdef logo_2_2_width\n    fwrite(t[1].data, 1, t[1].size, stdout);\n#endif\n"
                    "    return logo_2_width != 37 || logo_2_height < 21;\n}\n");
    // The frame buffer a MicroPython target's line makes must hold exactly the bytes.
    text("framebuf.py",
         "MONO_VLSB, MONO_HLSB, MONO_HMSB = 'v', 'h', 'h'\n"
         "def FrameBuffer(b, w, h, f):\n"
         "    assert len(b) == ((h + 7) // 8 * w if f == 'v' else (w + 7) // 8 * h)\n");
    const std::string in = "cd '" + dir.path().string() + "' && ";
    for (const char* target : {"ssd1306", "t6963c", "adafruit-xbitmap", "u8g2",
                               "micropython-framebuf-vlsb", "micropython-framebuf-hmsb"}) {
        const std::string args = std::string(" --target ") + target + " '" + picture + "'";
        ASSERT_EQ(run_cli("convert --style bin -o " + dir.path().string() + "/bin" + args).status,
                  0);
        const Bytes bin = read_file((dir.path() / "bin").string());
        EXPECT_EQ(read_listing(run_cli("convert --style hex" + args).out).bytes, bin) << target;
        for (const auto& [style, build] : kBuilds)
            for (const bool two : {false, true}) {
                const std::string_view s(style);
                const bool c_family = s == "c" || s == "arduino" || s == "u8g2";
                const CliRun c = run_cli(std::string("convert --style ") + style + args +
                                         (two ? " '" + picture + "'" : "") +
                                         (two && c_family ? " --table t" : ""));
                dir.write("decl", {c.out.begin(), c.out.end()});
                Bytes expected = bin;
                if (two) expected.insert(expected.end(), bin.begin(), bin.end());
                if (s != "python") { // its comment reads as no byte
                    EXPECT_EQ(read_listing(c.out).bytes, expected) << target << " " << style;
                }
                std::filesystem::remove(dir.path() / "out.bin");
                const CliRun built = run_shell(in + build);
                EXPECT_EQ(built.status, 0) << target << " " << style << "\n" << built.err << c.out;
                EXPECT_EQ(read_file((dir.path() / "out.bin").string()), expected)
                    << target << " " << style << (two ? " twice" : "");
            }
    }
}

// The commands a controller needs, in the order it needs them, in the declaration's comment.
TEST(CArray, TargetsNameTheirTransfer) {
    TempDir dir;
    const std::string picture = dir.write("x.bmp", make_bmp({.width = 9, .height = 9}));
    for (const auto& [target, steps] : std::initializer_list<std::pair<const char*, const char*>>{
             {"st7565", "B0h+p|10h+c/16|00h+c%16|start, 0 on most, 4 on"},
             {"sed1565", "B0h+p|10h+c/16|00h+c%16|start, 0 on most, 4 on"},
             {"t6963c", "42h|43h|pointer 24h|auto write B0h|B2h"}}) {
        const std::string text =
            run_cli(std::string("convert --target ") + target + " " + picture).out;
        std::size_t at = 0;
        for (std::string_view rest = steps; at != std::string::npos && !rest.empty();) {
            const std::string step(rest.substr(0, rest.find('|')));
            rest.remove_prefix(std::min(rest.size(), step.size() + 1));
            at = text.find(step, at);
        }
        EXPECT_NE(at, std::string::npos) << target << " lacks " << steps << " in order:\n" << text;
    }
}

// Names that would not compile as C or as C++, or are reserved to the compiler.
TEST(CArray, Names) {
    // clang-format off
    for (const char* name : {"class", "new", "delete", "template", "namespace", "and", "or", "not",
                             "xor", "bitand", "compl", "co_await", "concept", "requires", "char8_t",
                             "constexpr", "nullptr", "typeof", "bool", "int", "main", "linux",
                             "_BitInt", "_Decimal64", "_Bool", "_X", "a__b", "__a", "a_", "9lives",
                             "a-b", ""})
        // clang-format on
        EXPECT_TRUE(c_name_problem(name)) << name;
    for (const char* name : {"lambda", "None", "framebuf", "bytearray"})
        EXPECT_TRUE(name_problem(Style::python, name)) << name;
    for (const char* name : {"logo", "_a1", "x9", "Frame_2"})
        EXPECT_EQ(c_name_problem(name), std::nullopt) << name;
    for (const auto& [file, name] : {std::pair{"a/logo 2.png", "logo_2"},
                                     {"8x8.bmp", "image_8x8"},
                                     {"int.bmp", "image_int"},
                                     {"__.png", "image"},
                                     {"_A-b__c.d.gif", "A_b_c_d"},
                                     {"lambda.png", "image_lambda"}})
        EXPECT_EQ(default_name(file), name) << file;
}

} // namespace
