#pragma once
// Runs dotlane-cli as a separate process and collects what it wrote.
#include <cstdlib>
#include <string>
#include <string_view>
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

inline std::vector<std::uint8_t> as_bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

// `line` is a shell command; its standard input is `stdin_text` unless it redirects its own,
// and the output and errors of the whole line are collected.
inline CliRun run_shell(const std::string& line, const std::string& stdin_text = {}) {
    TempDir dir;
    const std::string in = dir.write("in", {stdin_text.begin(), stdin_text.end()});
    const std::string out = (dir.path() / "out").string(), err = (dir.path() / "err").string();
    const std::string command = "{ " + line + "\n} <" + in + " >" + out + " 2>" + err;
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, as_text(read_file(out)),
            as_text(read_file(err))};
}

// `args` is passed to the shell as it stands; quote paths with spaces.
inline CliRun run_cli(const std::string& args, const std::string& stdin_text = {}) {
    return run_shell(std::string(DOTLANE_CLI) + " " + args, stdin_text);
}

} // namespace dotlane::test
