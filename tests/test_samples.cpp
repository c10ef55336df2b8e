// dotlane-cli on the bundled samples, one row of expected/MANIFEST a run: the listing that
// samples/make_samples.py computed apart from the engine (or "-": nothing on standard
// output), the exit status, a part of what standard error must hold (nothing at all when the
// column is empty and the run succeeds), and the arguments.
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
        if (status == "2") {
            EXPECT_NE(r.err.find("Usage: dotlane-cli"), std::string::npos) << args;
        }
        if (status == "0" && err.empty()) {
            EXPECT_EQ(r.err, "") << args;
        }
    }
    EXPECT_EQ(run_cli("--version").out, "dotlane-cli 1.2.0.2\n");
    EXPECT_NE(run_cli("t6963c --help").out.find("Usage: dotlane-cli"), std::string::npos);
}

} // namespace
