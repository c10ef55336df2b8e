#pragma once
// Runs dotlane-cli as a separate process and collects what it wrote.
#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include "bmp_fixture.h"

namespace dotlane::test {

struct CliRun {
    int status = -1;
    std::string out, err;
};

inline std::string as_text(const std::vector<std::uint8_t>& b) {
    return {b.begin(), b.end()};
}

// `args` is passed to the shell as it stands; quote paths with spaces.
inline CliRun run_cli(const std::string& args, const std::string& stdin_text = {}) {
    TempDir dir;
    const std::string in = dir.write("in", {stdin_text.begin(), stdin_text.end()});
    const std::string out = (dir.path() / "out").string(), err = (dir.path() / "err").string();
    const std::string command =
        std::string(DOTLANE_CLI) + " " + args + " <" + in + " >" + out + " 2>" + err;
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, as_text(read_file(out)),
            as_text(read_file(err))};
}

} // namespace dotlane::test
