#pragma once
// --depfile: one Make rule naming the files written and every file read, so Make, Ninja and
// CMake's DEPFILE rerun the conversion when a picture changes.
#include <optional>
#include <string>
#include <vector>

namespace dotlane {

struct Depfile {
    std::string text; // "out.h out.c: a.png b\ c.bmp\n"
    std::optional<std::string> error;
};

// Every name must read back as itself in GNU make and in Ninja's depfile parser alike, and
// must not make the rule anything else (a recipe after ";", a variable after "=", a pattern,
// an archive member, a wildcard). A space is written "\ " (the backslashes before it doubled),
// "#" "\#", ":" "\:" and "$" "$$"; a name holding anything one of the two would read otherwise
// is refused, with the reason.
Depfile depfile_text(const std::vector<std::string>& outputs,
                     const std::vector<std::string>& inputs);

} // namespace dotlane
