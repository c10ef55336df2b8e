#pragma once
// dotlane-cli: the window's import and rendering without a window, for build scripts.
#include <iosfwd>
#include <string>
#include <vector>

namespace dotlane::cli {

enum Status { kOk = 0, kBadInput = 1, kUsage = 2 };

// Runs one command line (without the program name); `in` serves "-" and absent listings.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

} // namespace dotlane::cli
