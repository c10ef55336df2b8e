#include <gtest/gtest.h>

#include "bmp_fixture.h"
#include "cli_runner.h"
#include "import/import.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

TEST(Cli, Info) {
    TempDir dir;
    const std::string path = dir.write("pic.bmp", make_bmp({.width = 128, .height = 64}));
    const CliRun r = run_cli("info " + path);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string tail = "\nTaille: Taille 1086 Oct.\noffset: 3E000000\noffsetdec: 62\n"
                             "Largeur: 80000000\nlargeurdec: 128\nHauteur: 40000000\n"
                             "hauteurdec: 64\nnbcolonne: 16\nnbzero: 0\nnbligne: 64\n";
    EXPECT_EQ(r.out.substr(0, 10), "0x42,0x4D,");
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
}

TEST(Cli, StatusAndMessages) {
    TempDir dir;
    const std::string bad = dir.write("bad.bmp", make_bmp({.signature = "PK"}));
    const std::string four = dir.write("four.bmp", make_bmp({.bits_per_pixel = 4}));
    struct Case {
        std::string args;
        int status;
        const char* err_start; // on standard error, or nullptr for standard output
    };
    const Case cases[] = {
        {"", 2, "dotlane-cli: no command given"},
        {"frobnicate x", 2, "dotlane-cli: unknown command"},
        {"t6963c", 2, "dotlane-cli: give exactly one BMP file"},
        {"t6963c --bogus " + bad, 2, "dotlane-cli: unknown option --bogus"},
        {"sed1565 " + bad, 1, "Warning, this is not a valid BMP file.\n"},
        {"info " + four, 1, "Warning, This BMP File isn't a MONOCHROME BMP File.\n"},
        {"t6963c " + dir.path().string(), 1, "\""},
        {"t6963c " + (dir.path() / "missing.bmp").string(), 1, "Cannot open"},
        {"render --width 2 -o x.bmp", 2, "dotlane-cli: render needs"},
        {"--help", 0, nullptr},
        {"t6963c --help", 0, nullptr},
    };
    for (const auto& c : cases) {
        const CliRun r = run_cli(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        if (c.err_start) {
            EXPECT_EQ(r.err.rfind(c.err_start, 0), 0u) << c.args << ": " << r.err;
            EXPECT_EQ(r.out, "") << c.args;
        } else {
            EXPECT_NE(r.out.find("Usage: dotlane-cli"), std::string::npos) << c.args;
        }
    }
    EXPECT_EQ(run_cli("--version").out, "dotlane-cli 1.2.0.2\n");
}

TEST(Cli, RenderFromFileAndStandardInput) {
    TempDir dir;
    const std::string listing = "0x81,0x0F,\r\n0x04,0x08,";
    const std::string from_file = dir.write("l.txt", {listing.begin(), listing.end()});
    const std::string out1 = (dir.path() / "a.bmp").string(),
                      out2 = (dir.path() / "b.bmp").string();
    EXPECT_EQ(run_cli("render --width 2 --pages 2 -o " + out1 + " " + from_file).status, 0);
    EXPECT_EQ(run_cli("render --width 2 --pages 2 -o " + out2 + " -", listing).status, 0);
    EXPECT_EQ(read_file(out1), read_file(out2));
    const LoadedFile file = check_bmp_bytes(read_file(out1));
    ASSERT_TRUE(file.accepted());
    EXPECT_EQ(file.header.width, 2);
    EXPECT_EQ(file.header.height, 16);

    const CliRun bad = run_cli("render --width 2 --pages 2 -o " + out1, "0x81,0xZZ");
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err.rfind("Line 1 holds \"0xZZ\"", 0), 0u) << bad.err;
    const CliRun big = run_cli("render --width 5000 --pages 2 -o " + out1, "");
    EXPECT_EQ(big.status, 1);
    EXPECT_EQ(read_file(out1), read_file(out2)); // refused runs leave the file alone
    const CliRun nowhere = run_cli("render --width 1 --pages 1 -o /nonexistent/x.bmp", "0x01");
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("/nonexistent"), std::string::npos);
}

} // namespace
