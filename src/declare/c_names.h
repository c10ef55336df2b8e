#pragma once
// The names of the arrays of the pictures of one output. A name given with --name (or
// --c-array) is taken as it is; any other is default_name's, then "_2", "_3", ... until
// neither the name nor the names made from it (NAME_width, ...) clash with another name of
// the output: another array's, the table's, or one the output spells itself (the decoder's,
// those of the headers it includes and uses, the header's include guard).
#include <optional>
#include <string>
#include <vector>

#include "declare/styles.h"

namespace dotlane {

struct ArrayNames {
    std::vector<std::string> names; // one an input, in their order
    std::optional<std::string> error;
};

// What the output is: its style, whether it is compressed, the table of pointers it names
// and the header it writes, if any.
struct OutputKind {
    Style style = Style::c;
    bool compress = false;
    std::optional<std::string> table, header;
};

// `given` is empty or holds one name an input, each checked for the style and called `option`
// in messages. A table name, or a header name the source cannot include, is an error too.
// `prefix` (--name-prefix) and "_" go before each name made from a file name, so that the
// pictures of two outputs linked into one program cannot take the same names; it does not
// combine with `given`.
ArrayNames array_names(const std::vector<std::string>& paths, const std::vector<std::string>& given,
                       const std::string& option, const OutputKind& output,
                       const std::optional<std::string>& prefix = std::nullopt);

} // namespace dotlane
