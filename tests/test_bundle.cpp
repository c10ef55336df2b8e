// convert with several pictures: every sample compressed in three layouts, split into headers
// and sources, compiled together with the decoder and decoded back to the bare listings; the
// names of odd and clashing file names; the depfile as Make reads it.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

#include "cli_runner.h"
#include "reverse/hex_reader.h"

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
)" + checks + "    return 0;\n}\n";
    dir.write("main.c", {main_c.begin(), main_c.end()});
    const CliRun built = run_shell("cd '" + dir.path().string() +
                                   "' && gcc -std=c99 -Wall -Wextra -pedantic -Werror -o main *.c"
                                   " && ./main");
    EXPECT_EQ(built.out, expected) << built.err;
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
    for (const auto& [args, problem] : std::initializer_list<std::pair<const char*, const char*>>{
             {"--name a --name a x.bmp logo-1.bmp", "given twice"},
             {"--name a --name a_width x.bmp logo-1.bmp", "given twice"},
             {"--name a x.bmp logo-1.bmp", "once for each picture"},
             {"--c-array a x.bmp logo-1.bmp", "once for each picture"},
             {"--name int x.bmp", "--name needs a C identifier"},
             {"--table t --name t_count x.bmp", "given twice"},
             {"--compress lz x.bmp", "--compress takes rle"},
             {"--depfile d x.bmp", "--depfile needs -o FILE"},
             {"--header h x.bmp", "go together"},
             {"--header h --source h x.bmp", "name one file"},
             {"--name-prefix p --name a x.bmp", "--name-prefix goes before"},
             {"--name-prefix 3p x.bmp", "--name-prefix needs a C identifier"},
             {"--name-prefix p_ x.bmp", "--name-prefix needs a C identifier"}}) {
        const CliRun r = run_cli("convert --layout rows-msb " + std::string(args), "");
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find(problem), std::string::npos) << args << ": " << r.err;
    }
}

// Make finds every input by the names the depfile gives, and remakes the outputs when any
// changes.
TEST(Bundle, DepfileAsMakeReadsIt) {
    TempDir dir;
    const auto bmp = make_bmp({.width = 5, .height = 3});
    const std::string d = dir.path().string();
    dir.write("a b#1$.bmp", bmp);
    dir.write("c.bmp", bmp);
    dir.write("a\nb.bmp", bmp);
    const std::string makefile = "include dep.d\no.c:\n\t@true\n";
    dir.write("Makefile", {makefile.begin(), makefile.end()});
    const CliRun r = run_shell("cd '" + d + "' && " + DOTLANE_CLI +
                               " convert --layout pages-lsb --header 'o u$t.h' --source o.c "
                               "--depfile dep.d 'a b#1$.bmp' c.bmp && cat dep.d");
    EXPECT_EQ(r.out, "o\\ u$$t.h o.c: a\\ b\\#1$$.bmp c.bmp\n") << r.err;
    const auto make_q = [&](const std::string& target) {
        return run_shell("cd '" + d + "' && make -q '" + target + "'").status;
    };
    EXPECT_EQ(make_q("o.c"), 0);
    run_shell("cd '" + d + "' && touch -d '+1 hour' 'a b#1$.bmp'");
    EXPECT_EQ(make_q("o.c"), 1);
    // A line break cannot be written in a depfile, which is known before anything is written.
    EXPECT_EQ(run_cli("convert --layout pages-lsb -o \"" + d + "/o\" --depfile " + d + "/d \"" + d +
                      "/a\nb.bmp\"")
                  .status,
              1);
    EXPECT_FALSE(std::filesystem::exists(d + "/o"));
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
}

} // namespace
