#pragma once
// --depfile: one Make rule naming the files written and every file read, so Make, Ninja and
// CMake's DEPFILE rerun the conversion when a picture changes.
#include <optional>
#include <string>
#include <vector>

namespace dotlane::cli {

struct Depfile {
    std::string text; // "out.h out.c: a.png b\ c.bmp\n"
    std::optional<std::string> error;
};

// A space or tab is written "\ ", "#" "\#" and "$" "$$", as both Make and Ninja read them; a
// line break cannot be written at all, so such a name is refused.
Depfile depfile_text(const std::vector<std::string>& outputs,
                     const std::vector<std::string>& inputs);

} // namespace dotlane::cli
