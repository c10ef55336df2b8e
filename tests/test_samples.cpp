// The bundled samples give the listings samples/make_samples.py wrote down for them with
// Pillow, apart from the engine: expected/MANIFEST pairs each file with its arguments.
#include <fstream>
#include <gtest/gtest.h>
#include <set>

#include "cli_runner.h"

using namespace dotlane::test;

namespace {

TEST(Samples, ListingsMatchTheExpectedFiles) {
    const std::filesystem::path samples = DOTLANE_SAMPLES;
    std::filesystem::current_path(samples); // the arguments name the pictures as they stand
    std::ifstream manifest(samples / "expected" / "MANIFEST");
    ASSERT_TRUE(manifest) << samples;
    std::set<std::string> commands;
    int checked = 0;
    for (std::string line; std::getline(manifest, line);) {
        const auto tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        const std::string expected_file = line.substr(0, tab), args = line.substr(tab + 1);
        const CliRun r = run_cli(args);
        EXPECT_EQ(r.status, 0) << args << ": " << r.err;
        EXPECT_EQ(r.out, as_text(read_file((samples / "expected" / expected_file).string())))
            << args;
        const auto layout = args.find("--layout ");
        commands.insert(layout == std::string::npos
                            ? args.substr(0, args.find(' '))
                            : args.substr(layout, args.find(' ', layout + 9) - layout));
        ++checked;
    }
    EXPECT_GE(checked, 60);
    const std::set<std::string> all = {"t6963c",
                                       "sed1565",
                                       "--layout t6963c",
                                       "--layout sed1565",
                                       "--layout rows-msb",
                                       "--layout rows-lsb",
                                       "--layout pages-lsb",
                                       "--layout pages-msb"};
    EXPECT_EQ(commands, all);
}

} // namespace
