// convert with several pictures: every sample compressed in three layouts, split into headers
// and sources, compiled together with the decoder and decoded back to the bare listings; the
// names of odd and clashing file names; the depfile as Make reads it.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <tuple>

#include "back/hex_reader.h"
#include "cli_runner.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

TEST(Bundle, EverySampleDecodesToItsListing) {
    TempDir dir;
    std::vector<std::string> samples;
    // Every picture among the samples, whatever else the folder comes to hold.
    for (const auto& file : std::filesystem::directory_iterator(DOTLANE_SAMPLES))
        if (const std::string quoted = "'" + file.path().string() + "'";
            file.is_regular_file() && run_cli("convert --layout rows-msb " + quoted).status == 0)
            samples.push_back(quoted);
    std::sort(samples.begin(), samples.end());
    ASSERT_GE(samples.size(), 15u);
    // One compressed file reads back as its plain listing does: check agrees, guess finds the
    // same, render paints the same picture.
    const std::string one = (dir.path() / "one.h").string(), plain = one + ".txt";
    const char* layouts[] = {"pages-lsb", "rows-lsb", "pages-msb"};
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::string layout = std::string(" --layout ") + layouts[i % 3] + " ";
        ASSERT_EQ(run_cli("convert --compress rle -o " + one + layout + samples[i]).status, 0);
        ASSERT_EQ(run_cli("convert -o " + plain + layout + samples[i]).status, 0);
        const CliRun checked = run_cli("check" + layout + samples[i] + " " + one);
        EXPECT_EQ(checked.status, 0) << samples[i] << checked.out << checked.err;
        EXPECT_EQ(run_cli("guess " + one).out, run_cli("guess " + plain).out) << samples[i];
    }
    const std::string logo = "'" + std::string(DOTLANE_SAMPLES) + "/logo_128x64.bmp'";
    const std::string render = "render --layout rows-msb --width 128 --height 64 -o - ";
    run_cli("convert --layout rows-msb --compress rle -o " + one + " " + logo);
    run_cli("convert --layout rows-msb -o " + plain + " " + logo);
    EXPECT_EQ(run_cli(render + one).out, run_cli(render + plain).out);
    EXPECT_EQ(run_cli(render + "--input c " + one).out, run_cli(render + plain).out);
    std::string expected, checks;
    std::string main_c = "#include <stdio.h>\n#include <string.h>\n";
    for (const std::string layout : {"pages-lsb", "rows-lsb", "pages-msb"}) {
        const std::string l = layout.substr(0, 4) + layout.substr(6);
        for (const std::string kind : {"plain_", "rle_"}) {
            const std::string out = (dir.path() / (kind + l)).string();
            std::string pictures;
            for (std::size_t i = 0; i < samples.size(); ++i)
                pictures += " --name " + kind + l + std::to_string(i) + " " + samples[i];
            const CliRun r = run_cli("convert --layout " + layout + " --table " + kind + l +
                                     (kind == "rle_" ? " --compress rle" : "") + " --header " +
                                     out + ".h --source " + out + ".c" + pictures);
            ASSERT_EQ(r.status, 0) << r.err;
            main_c += "#include \"" + kind + l + ".h\"\n";
        }
        checks += "    for (i = 0; i < plain_" + l + "_count; ++i)\n        check(plain_" + l +
                  "[i].data, plain_" + l + "[i].size, rle_" + l + "[i].data, rle_" + l +
                  "[i].size);\n";
        for (const std::string& sample : samples) {
            for (const std::uint8_t b :
                 read_listing(run_cli("convert --layout " + layout + " " + sample).out).bytes)
                expected += std::to_string(b) + " ";
            expected += "\n";
        }
    }
    // Each array decoded into a buffer and byte by byte, against the plain one; never more
    // than the flag byte larger.
    main_c += R"(static void check(const unsigned char *p, unsigned long pn,
                  const unsigned char *r, unsigned long rn) {
    static unsigned char out[1 << 16];
    dotlane_rle_reader s;
    size_t n = dotlane_rle_decode(r, rn, out, sizeof out), k = 0;
    int b;
    dotlane_rle_begin(&s, r, rn);
    while ((b = dotlane_rle_next(&s)) >= 0)
        if (k >= n || out[k++] != b) printf("stream differs ");
    if (k != n || n != pn || memcmp(out, p, n) != 0 || rn > pn + 1) printf("wrong ");
    for (k = 0; k < n; ++k) printf("%d ", out[k]);
    printf("\n");
}
int main(void) {
    int i;
    dotlane_rle_reader none;
    dotlane_rle_begin(&none, NULL, 0);
    if (dotlane_rle_next(&none) != -1 || dotlane_rle_decode(NULL, 0, NULL, 0) != 0) return 1;
)" + checks + "    return 0;\n}\n";
    dir.write("main.c", {main_c.begin(), main_c.end()});
    // Clang's sanitizer also stops at arithmetic on a null pointer, of nothing to decode.
    for (const std::string compiler :
         {"gcc -std=c99", "clang -std=c99 -fsanitize=undefined -fno-sanitize-recover=undefined"}) {
        if (run_shell("command -v " + compiler.substr(0, compiler.find(' '))).status != 0) continue;
        const CliRun built = run_shell("cd '" + dir.path().string() + "' && " + compiler +
                                       " -Wall -Wextra -pedantic -Werror -o main *.c && ./main");
        EXPECT_EQ(built.out, expected) << compiler << "\n" << built.err;
    }
}

// The arrays of the Arduino and u8g2 styles sit in flash on AVR, where only the program-space
// reads reach them: decoded both ways on a simulated ATmega328P, they are the raw bytes. The
// headers are reduced to what the AVR core's Arduino.h and u8g2's u8x8.h define there.
TEST(Bundle, DecodesFromFlashOnAvr) {
    if (run_shell("command -v avr-g++ && command -v simavr && echo '#include <avr/pgmspace.h>' | "
                  "avr-gcc -mmcu=atmega328p -E - >/dev/null")
            .status != 0)
        GTEST_SKIP() << "avr-g++, avr-libc or simavr is missing; scripts/setup.sh installs them";
    TempDir dir;
    // Runs of 0xFF, of another byte, copied bytes and runs of 0x00: every kind of piece.
    const auto ink = [random = random_ink(3)](int x, int y) {
        return y < 4 || (y < 8 && x % 2 == 0) || (y < 16 && random(x, y));
    };
    const std::string picture =
        dir.write("p.bmp", make_bmp({.width = 64, .height = 24, .ink = ink}));
    dir.write("Arduino.h", as_bytes("#include <stdint.h>\n#include <avr/pgmspace.h>\n"));
    dir.write("U8g2lib.h", as_bytes("#include <stdint.h>\n#include <avr/pgmspace.h>\n"
                                    "#define U8X8_PROGMEM PROGMEM\n"
                                    "#define u8x8_pgm_read(adr) pgm_read_byte_near(adr)\n"));
    // The bytes as hex digits, decoded into RAM, then "-", then streamed, on the UART.
    dir.write("main.cpp", as_bytes(R"(#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>
#include "decl.h"
static void put(char c) {
    while (!(UCSR0A & (1 << UDRE0))) {}
    UDR0 = c;
}
static void hex(int b) {
    put("0123456789ABCDEF"[b >> 4]);
    put("0123456789ABCDEF"[b & 15]);
}
int main(void) {
    static unsigned char out[p_decoded_size];
    dotlane_rle_reader r;
    int b;
    size_t i, n = dotlane_rle_decode(p, sizeof p, out, sizeof out);
    UCSR0B = 1 << TXEN0;
    put('<');
    for (i = 0; i < n; ++i) hex(out[i]);
    put('-');
    dotlane_rle_begin(&r, p, sizeof p);
    while ((b = dotlane_rle_next(&r)) >= 0) hex(b);
    put('>');
    put('\n');
    cli();
    sleep_mode();
}
)"));
    const std::string in = "cd '" + dir.path().string() + "' && ";
    const std::string bin = (dir.path() / "bin").string();
    ASSERT_EQ(
        run_cli("convert --layout rows-msb --style bin -o '" + bin + "' '" + picture + "'").status,
        0);
    std::string hex;
    for (const std::uint8_t b : read_file(bin))
        hex += "0123456789ABCDEF"[b >> 4], hex += "0123456789ABCDEF"[b & 15];
    for (const std::string style : {"arduino", "u8g2"}) {
        const CliRun made =
            run_cli("convert --layout rows-msb --compress rle --name p --style " + style + " -o '" +
                    (dir.path() / "decl.h").string() + "' '" + picture + "'");
        ASSERT_EQ(made.status, 0) << made.err;
        const CliRun run = run_shell(
            in + "avr-g++ -mmcu=atmega328p -Os -Wall -Wextra -pedantic -Werror -I. -o fw.elf "
                 "main.cpp && timeout 20 simavr -m atmega328p -f 16000000 fw.elf");
        // simavr writes what the UART sends to its errors, in colour, a line at a time.
        std::string sent;
        for (std::size_t at = run.err.find('<'); at < run.err.size() && run.err[at] != '>'; ++at)
            if (run.err[at] == '\x1B')
                at = run.err.find('m', at);
            else if (std::isxdigit(static_cast<unsigned char>(run.err[at])) || run.err[at] == '-')
                sent += run.err[at];
        EXPECT_EQ(sent, hex + "-" + hex) << style << "\n" << run.err;
    }
}

TEST(Bundle, NamesFromFileNames) {
    TempDir dir;
    const auto bmp = make_bmp({.width = 5, .height = 3});
    const std::pair<const char*, const char*> files[] = {{"logo (1).bmp", "logo_1"},
                                                         {"Logo-1.bmp", "Logo_1"},
                                                         {"logo-1.bmp", "logo_1_2"},
                                                         {"3d.BMP", "image_3d"},
                                                         {"int.bmp", "image_int"},
                                                         {"x_width.bmp", "x_width"},
                                                         {"x.bmp", "x_2"},
                                                         {"\xC3\xBC.bmp", "image"},
                                                         {".bmp", "bmp"},
                                                         {"a__b_.tar.bmp", "a_b_tar"}};
    std::string args, declared;
    for (const auto& [file, name] : files) {
        args += " '" + dir.write(file, bmp) + "'";
        declared += std::string("#define ") + name + "_width 5\n";
    }
    std::string found;
    for (const char c : run_cli("convert --layout rows-msb" + args).out)
        found += c;
    std::string widths;
    for (std::size_t at = 0; (at = found.find("#define ", at)) != std::string::npos; ++at)
        if (const auto end = found.find('\n', at); found.compare(end - 2, 2, " 5") == 0)
            widths += found.substr(at, end + 1 - at);
    EXPECT_EQ(widths, declared);
    const std::string prefixed = run_cli("convert --layout rows-msb --style c --name-prefix p" +
                                         args.substr(0, args.find(".bmp'") + 5))
                                     .out;
    EXPECT_NE(prefixed.find("#define p_logo_1_width 5\n"), std::string::npos) << prefixed;
    // A prefixed name the output spells itself is made unique as any made name is.
    for (const auto& [options, file, name] :
         {std::tuple{"--style arduino --name-prefix uint8", "t.bmp", "uint8_t_2"},
          {"--style c --name-prefix dotlane_rle", "next.bmp", "dotlane_rle_next_2"}}) {
        const std::string out = run_cli("convert --layout rows-msb " + std::string(options) + " '" +
                                        dir.write(file, bmp) + "'")
                                    .out;
        EXPECT_NE(out.find(std::string(name) + "[]"), std::string::npos) << options << out;
    }
    for (const auto& [args, problem] : std::initializer_list<std::pair<const char*, const char*>>{
             {"--name a --name a x.bmp logo-1.bmp", "given twice"},
             {"--name a --name a_width x.bmp logo-1.bmp", "given twice"},
             {"--name a x.bmp logo-1.bmp", "once for each picture"},
             {"--c-array a x.bmp logo-1.bmp", "--c-array names one picture"},
             {"--name int x.bmp", "--name needs a C identifier"},
             {"--table t --name t_count x.bmp", "given twice"},
             {"--compress lz x.bmp", "--compress takes rle"},
             {"--depfile d x.bmp", "--depfile needs -o FILE"},
             {"--header h x.bmp", "go together"},
             {"--header h --source h x.bmp", "name one file"},
             {"--name-prefix p --name a x.bmp", "--name-prefix goes before"},
             {"--name-prefix 3p x.bmp", "--name-prefix needs a C identifier"},
             {"--name-prefix p_ x.bmp", "--name-prefix needs a C identifier"},
             // Names the output spells itself.
             {"--header k.h --source k.c --name DOTLANE_K_H x.bmp", "DOTLANE_K_H, the include"},
             {"--header k.h --source k.c --table DOTLANE_K_H x.bmp", "DOTLANE_K_H, the include"},
             {"--compress rle --header rle_decoder --source k.c x.bmp", "of the decoder"},
             {"--compress rle --name DOTLANE_RLE_DECODER x.bmp", "of the decoder"},
             {"--compress rle --name NULL x.bmp", "NULL, a name of <stddef.h>"},
             {"--compress rle --table size_t x.bmp", "size_t, a name of <stddef.h>"},
             {"--style arduino --name uint8_t x.bmp", "uint8_t, a name of <stdint.h>"},
             {"--style arduino --name PROGMEM x.bmp", "PROGMEM, a name of <Arduino.h>"},
             {"--style u8g2 --compress rle --name u8x8_pgm_read x.bmp", "<U8g2lib.h>"},
             {"--header 'k\".h' --source k.c x.bmp", "cannot hold"},
             {"--header 'k\n.h' --source k.c x.bmp", "cannot hold"},
             {"--header \"k'.h\" --source k.c x.bmp", "cannot hold"}}) {
        const CliRun r = run_cli("convert --layout rows-msb " + std::string(args), "");
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find(problem), std::string::npos) << args << ": " << r.err;
    }
}

// Names the output does not spell are free in it: each output compiles on its own.
TEST(Bundle, FreeNamesCompile) {
    TempDir dir;
    const std::string picture = dir.write("x.bmp", make_bmp({.width = 5, .height = 3}));
    dir.write("Arduino.h", as_bytes("#include <stdint.h>\n#define PROGMEM\n"));
    dir.write("U8g2lib.h", as_bytes("#include <stdint.h>\n#define U8X8_PROGMEM\n"));
    const std::string in = "cd '" + dir.path().string() + "' && ";
    for (const char* args : {"--name NULL --table size_t", "--compress rle --name pgm_read_byte",
                             "--style arduino --compress rle --name U8X8_PROGMEM --table ptr",
                             "--style u8g2 --name DOTLANE_K_H --header k2.h --source out",
                             "--compress rle --name k --header 'o u$t.h' --source out"}) {
        const std::string a(args);
        const bool pair = a.find("--source") != std::string::npos;
        const CliRun made = run_shell(in + DOTLANE_CLI + " convert --layout rows-msb " + a +
                                      (pair ? "" : " -o out") + " '" + picture + "'");
        ASSERT_EQ(made.status, 0) << args << ": " << made.err;
        const bool cpp = a.find("--style") != std::string::npos;
        const CliRun built = run_shell(in + (cpp ? "c++ -x c++" : "cc -x c -std=c99") +
                                       " -Wall -Wextra -pedantic -Werror -I. -c -o out.o out");
        EXPECT_EQ(built.status, 0) << args << "\n" << built.err;
    }
}

// Two outputs in one file would leave one of them lost: refused before anything is written,
// however the two paths are spelled.
TEST(Bundle, OutputsShareNoFile) {
    TempDir dir;
    const std::string d = dir.path().string();
    const std::string x = dir.write("x.bmp", make_bmp({.width = 5, .height = 3}));
    std::filesystem::create_directory(d + "/sub");
    dir.write("kept.h", {'k'});
    std::filesystem::create_symlink("o.h", d + "/link.h");
    std::filesystem::create_hard_link(d + "/kept.h", d + "/hard.h");
    for (const std::string args :
         {"--header ./a.h --source a.h", "--header h.h --source sub/../h.h",
          "-o o.h --depfile ./o.h", "--header h.h --source c.c --depfile c.c",
          "--header h.h --source c.c --depfile sub/../h.h", "--preview ./o.h -o o.h",
          "-o link.h --preview o.h", "-o kept.h --depfile hard.h",
          "--header h.h --source c.c --preview link.h --depfile o.h"}) {
        const CliRun r = run_shell("cd '" + d + "' && " + DOTLANE_CLI +
                                   " convert --layout rows-msb " + args + " '" + x + "'");
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("name one file"), std::string::npos) << args << ": " << r.err;
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& f : std::filesystem::directory_iterator(d))
            ++files;
        EXPECT_EQ(files, 5u) << args;
        EXPECT_EQ(as_text(read_file(d + "/kept.h")), "k");
    }
}

// Every name reads back as itself in GNU make and in Ninja: Make remakes the outputs when any
// picture changes and runs nothing else, Ninja lists each as a dependency. A name one of the
// two would read otherwise is refused before anything is written.
TEST(Bundle, DepfileAsMakeAndNinjaReadIt) {
    TempDir dir;
    const auto bmp = make_bmp({.width = 5, .height = 3});
    const std::string d = dir.path().string();
    const std::vector<std::string> names = {"a b#1$.bmp",   "a:b.bmp",     "p%q.bmp",
                                            "k\\ l.bmp",    "x\\y.bmp",    "two  \\\\ spaces.bmp",
                                            "Bell (2).bmp", "{c}@!,+.bmp", "\xC3\xBC-~.bmp"};
    std::string pictures;
    for (const std::string& name : names)
        pictures += " '" + dir.write(name, bmp).substr(d.size() + 1) + "'";
    const std::string makefile = "include dep.d\no.c:\n\t@true\n";
    dir.write("Makefile", {makefile.begin(), makefile.end()});
    const std::string ninja = "rule conv\n  command = true\n  depfile = dep.d\n  deps = gcc\n"
                              "build o$ u$$t.h o.c: conv\n";
    dir.write("build.ninja", {ninja.begin(), ninja.end()});
    const std::string in_d = "cd '" + d + "' && ";
    const CliRun r = run_shell(in_d + DOTLANE_CLI +
                               " convert --layout pages-lsb --header 'o u$t.h' --source o.c "
                               "--depfile dep.d" +
                               pictures + " && cat dep.d");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 21), "o\\ u$$t.h o.c: a\\ b\\#") << r.out;
    const auto make_q = [&] { return run_shell(in_d + "make -q o.c").status; };
    EXPECT_EQ(make_q(), 0);
    for (const std::string& name : names) {
        run_shell(in_d + "touch -d '+1 hour' '" + name + "'");
        EXPECT_EQ(make_q(), 1) << name;
        run_shell(in_d + "touch -d '-1 hour' '" + name + "'");
    }
    run_shell(in_d + "touch -d '+1 hour' *.bmp");
    EXPECT_EQ(run_shell(in_d + "make o.c").status, 0);
    const CliRun deps = run_shell(in_d + "ninja -d keepdepfile >/dev/null && ninja -t deps");
    std::vector<std::string> listed;
    const std::string first = deps.out.substr(0, deps.out.find("\n\n"));
    for (std::size_t at = 0; (at = first.find("\n    ", at)) != std::string::npos;) {
        at += 5;
        listed.push_back(first.substr(at, first.find('\n', at) - at));
    }
    EXPECT_EQ(listed, names) << deps.out << deps.err;

    for (const std::string name : {"Makefile;touch${IFS}PWNED.bmp", "a\nb.bmp", "w=v.bmp",
                                   "lib(member)", "a[1].bmp", "t\tab.bmp", "a*.bmp", "q?.bmp",
                                   "e:", "~t.bmp", "a\\#b.bmp", "a\\:b.bmp", "end\\", "x|y.bmp"}) {
        const CliRun refused = run_shell(
            in_d + DOTLANE_CLI + " convert --layout pages-lsb -o n.h --depfile n.d '" + name + "'");
        EXPECT_EQ(refused.status, 1) << name;
        EXPECT_NE(refused.err.find("--depfile cannot name"), std::string::npos) << refused.err;
        EXPECT_FALSE(std::filesystem::exists(d + "/n.h")) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(d + "/PWNED"));
    EXPECT_EQ(run_cli("convert --layout pages-lsb -o '" + d + "/n%.h' --depfile '" + d + "/n.d' '" +
                      d + "/a:b.bmp'")
                  .status,
              1);
}

// A build remakes what depends on an output only when its time stamp moves, so an output that
// would come out the same is not written at all.
TEST(Bundle, SameOutputsLeftUntouched) {
    TempDir dir;
    const std::string picture = dir.write("p.bmp", make_bmp({.width = 5, .height = 3}));
    const std::string d = dir.path().string() + "/";
    const auto an_hour_ago = std::filesystem::file_time_type::clock::now() - std::chrono::hours(1);
    // The outputs' options; which files change with --invert-colors (the depfile does not).
    const std::pair<std::string, std::vector<std::string>> runs[] = {
        {"--header " + d + "h --source " + d + "c --depfile " + d + "d", {"h", "c"}},
        {"-o " + d + "o --depfile " + d + "d", {"o"}},
        {"--style bin -o " + d + "o", {"o"}}};
    for (const auto& [outputs, changing] : runs) {
        const std::string convert = "convert --layout rows-msb " + outputs + " '" + picture + "'";
        ASSERT_EQ(run_cli(convert).status, 0) << outputs;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            std::filesystem::last_write_time(entry.path(), an_hour_ago);
        ASSERT_EQ(run_cli(convert).status, 0) << outputs;
        ASSERT_EQ(run_cli("convert --invert-colors " + convert.substr(8)).status, 0) << outputs;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            const bool changed =
                std::find(changing.begin(), changing.end(), name) != changing.end();
            EXPECT_EQ(std::filesystem::last_write_time(entry.path()) != an_hour_ago, changed)
                << outputs << ": " << name;
        }
    }
    // A file that holds more or less than the output, and a read-only one, which is refused
    // only when the output differs.
    const std::string listing = "convert --layout rows-msb '" + picture + "'";
    const std::string text = run_cli(listing).out, o = d + "o";
    for (const std::string& before : {text + "\n", text.substr(0, text.size() - 1)}) {
        dir.write("o", as_bytes(before));
        EXPECT_EQ(run_cli(listing + " -o " + o).status, 0);
        EXPECT_EQ(as_text(read_file(o)), text);
    }
    std::filesystem::permissions(o, std::filesystem::perms::owner_read);
    EXPECT_EQ(run_cli(listing + " -o " + o).status, 0);
    const CliRun refused = run_cli("convert --invert-colors" + listing.substr(7) + " -o " + o);
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("read-only"), std::string::npos) << refused.err;
    EXPECT_EQ(as_text(read_file(o)), text);
}

// The frames' listing is a sample; here their delays, and a file cut short in a later frame.
TEST(Bundle, Frames) {
    TempDir dir;
    const auto gif = read_file(std::string(DOTLANE_SAMPLES) + "/anim_16x8.gif");
    const std::string whole = dir.write("anim.gif", gif);
    const CliRun r = run_cli("convert --layout rows-msb --frames --c-array anim " + whole);
    EXPECT_NE(r.out.find("#define anim_frame_count 4\nconst unsigned short anim_frame_delays[4] "
                         "= {100, 200, 300, 400};\n"),
              std::string::npos)
        << r.out;
    const std::string cut = dir.write("cut.gif", {gif.begin(), gif.end() - 12});
    EXPECT_EQ(run_cli("convert --layout rows-msb --frames " + cut).status, 1);
    EXPECT_EQ(run_cli("convert --layout rows-msb " + cut).status, 0); // its first frame is whole
    // preview --frames draws each frame of the listing under its number and delay.
    const std::vector<std::uint8_t> bytes =
        read_listing(run_cli("convert --layout rows-msb --frames " + whole).out).bytes;
    ASSERT_EQ(bytes.size(), 64u);
    std::string frames;
    for (int f = 0; f < 4; ++f) {
        frames +=
            "frame " + std::to_string(f + 1) + " of 4, " + std::to_string(100 * (f + 1)) + " ms:\n";
        for (int y = 0; y < 8; ++y, frames += '\n')
            for (int x = 0; x < 16; ++x)
                frames += bytes[std::size_t(16 * f + 2 * y + x / 8)] >> (7 - x % 8) & 1 ? '#' : '.';
    }
    EXPECT_EQ(run_cli("preview --frames --ascii --layout rows-msb " + whole).out, frames);
}

} // namespace

// Each array goes to its file as soon as it is made, so ten pictures of 4096 x 4096 (18 MB
// of bytes and text each) fit where two would not if all were held, and one picture's text
// goes in pieces; a limit too small for one ends the run with a message and leaves the
// outputs as they were.
TEST(Bundle, ManyLargePicturesInTheMemoryOfOne) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit";
#endif
    TempDir dir;
    const std::string d = dir.path().string(), in_d = "cd '" + d + "' && ";
    ASSERT_EQ(run_shell(in_d + "head -c 2097152 /dev/zero | " + DOTLANE_CLI +
                        " render --layout rows-msb --width 4096 --height 4096 --input bin "
                        "-o big.png -")
                  .status,
              0);
    std::string pictures;
    for (int i = 0; i < 10; ++i)
        pictures += " big.png";
    const std::string convert = std::string(DOTLANE_CLI) + " convert --layout rows-msb " +
                                "--header h.h --source c.c" + pictures;
    const CliRun r = run_shell(in_d + "ulimit -v 150000 && " + convert);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::filesystem::file_size(d + "/c.c") / 1000000, 131u);
    // One picture's text, four to six times its bytes, is written as it is made in every style
    // (130 MB of 16-bit entries for st7789), and raw bytes are never copied whole: each fits
    // in 100 MB.
    for (const char* options :
         {"--target st7789 -o one.out", "--layout grey8 --style hex -o one.out",
          "--layout grey8 --style hex >/dev/null", "--layout bgra8888 --style bin >/dev/null",
          "--layout grey8 --style python -o one.out", "--layout grey8 --style asm -o one.out"}) {
        const CliRun one =
            run_shell(in_d + "ulimit -v 100000 && " + DOTLANE_CLI + " convert big.png " + options);
        EXPECT_EQ(one.status, 0) << options << ": " << one.err;
    }
    const CliRun starved = run_shell(in_d + "ulimit -v 20000 && " + convert);
    EXPECT_EQ(starved.status, 1) << starved.err;
    EXPECT_NE(starved.err.find("ut of memory"), std::string::npos) << starved.err;
    EXPECT_EQ(std::filesystem::file_size(d + "/c.c") / 1000000, 131u);
    std::size_t files = 0;
    for ([[maybe_unused]] const auto& f : std::filesystem::directory_iterator(d))
        ++files;
    EXPECT_EQ(files, 4u);
}
