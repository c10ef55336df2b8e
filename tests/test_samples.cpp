// dotlane-cli on the bundled samples, one row of expected/MANIFEST a run: the listing that
// samples/make_samples.py computed apart from the engine (or "-": nothing on standard
// output), the exit status, a part of what standard error must hold (nothing at all when the
// column is empty and the run succeeds), and the arguments.
#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

#include "cli_runner.h"

using namespace dotlane::test;

namespace {

TEST(Samples, EveryManifestRow) {
    const std::filesystem::path samples = DOTLANE_SAMPLES;
    std::filesystem::current_path(samples); // the arguments name the pictures as they stand
    std::ifstream manifest(samples / "expected" / "MANIFEST");
    ASSERT_TRUE(manifest) << samples;
    for (std::string line; std::getline(manifest, line);) {
        std::string field[4];
        std::size_t start = 0;
        for (int i = 0; i < 3; start = line.find('\t', start) + 1, ++i)
            field[i] = line.substr(start, line.find('\t', start) - start);
        field[3] = line.substr(start);
        const auto& [expected, status, err, args] = field;
        const CliRun r = run_cli(args);
        EXPECT_EQ(std::to_string(r.status), status) << args << ": " << r.err;
        EXPECT_EQ(r.out, expected == "-" ? "" : as_text(read_file("expected/" + expected))) << args;
        EXPECT_NE(r.err.find(err), std::string::npos) << args << ": " << r.err;
        // Wrong usage names where the command's options stand, and shows none of them.
        if (status == "2") {
            const std::string command = args.substr(0, args.find(' '));
            const bool known = command.size() > 1 && run_cli(command + " --help").status == 0;
            EXPECT_NE(r.err.find("\"dotlane-cli " + (known ? command + " " : "") + "--help\""),
                      std::string::npos)
                << args << ": " << r.err;
            EXPECT_EQ(r.err.find("Usage:"), std::string::npos) << args;
        }
        for (std::size_t at = 0; at < r.err.size(); at = r.err.find('\n', at) + 1)
            EXPECT_EQ(r.err.compare(at, 13, "dotlane-cli: "), 0) << args << ": " << r.err;
        if (status == "0" && err.empty()) {
            EXPECT_EQ(r.err, "") << args;
        }
    }
    EXPECT_EQ(run_cli("--version").out, "dotlane-cli 1.2.0.2\n");
    // Each command's help holds its own options only; the overview names every command.
    const std::string overview = run_cli("--help").out;
    std::string manual = as_text(read_file(samples / ".." / "docs" / "dotlane-cli.1"));
    for (std::size_t at = 0; (at = manual.find("\\-", at)) != std::string::npos;)
        manual.erase(at, 1);
    EXPECT_LT(std::count(overview.begin(), overview.end(), '\n'), 30);
    for (const auto& [command, own, foreign] :
         {std::tuple{"t6963c", "--invert-colors", "--threshold"},
          {"info", "-o OUT", "--invert-colors"},
          {"render", "--allow-extra", "--threshold"},
          {"guess", "--render OUT", "--allow-extra"},
          {"check", "--diff OUT.png", "--depfile"},
          {"convert", "--compress rle", "--allow-extra"},
          {"preview", "--ascii", "--depfile"},
          {"convert", "--name-prefix", "--render-scale"},
          {"preview", "--preview-look", "--name-prefix"},
          {"render", "--render-scale", "--diff-scale"},
          {"guess", "--render-scale", "--preview-look"},
          {"check", "--diff-scale", "--render-scale"},
          {"font", "--compress rle", "--allow-extra"},
          {"preview", "--font FONT", "--depfile"},
          {"render", "--font FILE.h", "--diff-scale"}}) {
        const CliRun help = run_cli(std::string(command) + " --help");
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_EQ(help.out.rfind(std::string("Usage: dotlane-cli ") + command, 0), 0) << command;
        EXPECT_NE(help.out.find(own), std::string::npos) << command;
        EXPECT_EQ(help.out.find(foreign), std::string::npos) << command;
        EXPECT_NE(overview.find(std::string("\n  ") + command + " "), std::string::npos);
        EXPECT_EQ(run_cli(std::string("help ") + command).out, help.out);
        // The manual names every option the help shows.
        for (std::size_t at = help.out.find("--"); at != std::string::npos;
             at = help.out.find("--", at + 2)) {
            const std::size_t end =
                help.out.find_first_not_of("abcdefghijklmnopqrstuvwxyz-", at + 2);
            EXPECT_NE(manual.find(help.out.substr(at, end - at)), std::string::npos)
                << command << " " << help.out.substr(at, end - at);
        }
    }
}

} // namespace
