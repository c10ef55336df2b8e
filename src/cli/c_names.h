#pragma once
// The C names of the arrays of several pictures in one output. A name given with --name is
// taken as it is; any other comes from the file name:
//   the last path part without its last extension, ASCII letters lower-cased, every other
//   character "_", runs of "_" made one and "_" dropped at both ends ("Logo (1).PNG" ->
//   logo_1); "bitmap" when nothing is left; "bitmap_" before a leading digit; "_bitmap"
//   after a keyword or a reserved name; then "_2", "_3", ... until neither the name nor the
//   names made from it (NAME_width, ...) clash with another name of the output.
#include <optional>
#include <string>
#include <vector>

namespace dotlane::cli {

struct ArrayNames {
    std::vector<std::string> names; // one an input, in their order
    std::optional<std::string> error;
};

// `given` is empty or holds one name an input; `table` names the table of pointers, if any.
ArrayNames array_names(const std::vector<std::string>& paths, const std::vector<std::string>& given,
                       const std::optional<std::string>& table);

} // namespace dotlane::cli
