#pragma once
// What convert writes, chosen before any picture is read so that wrong usage costs nothing,
// and the writing: each picture's text handed on as soon as its bytes are made.
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "declare/styles.h"
#include "engine/convert.h"

namespace dotlane::engine {

struct PreviewOptions {
    std::optional<std::string> path; // --preview: none, a file, or "-" for standard output
    int scale = 4;
    std::string look; // --preview-look; empty: the target's glass
};

// --preview, --preview-scale and --preview-look.
std::variant<PreviewOptions, Outcome> preview_options(const Arguments& args);

struct Plan {
    Style style = Style::hex;
    bool bundle = false; // C arrays through bundle.h
    std::vector<std::string> names;
    std::optional<std::string> header, source, depfile, output, table;
    bool compress = false;
    PreviewOptions preview;
    Request request;
    std::vector<std::string> pictures;
};

// The plan of the options and operands; `raw_to_terminal` says whether raw bytes written to
// the output the options name would reach a terminal, which cannot show them. `outputs` is
// the front end's check of the files it will write (wrong usage), asked before the request.
using OutputCheck = std::function<std::optional<std::string>(const Plan&)>;
std::variant<Plan, Outcome> plan_convert(const Arguments& args, bool raw_to_terminal,
                                         const OutputCheck& outputs = {});

// Converts every picture of the plan in turn, each one's text handed to `sinks` and its bytes
// let go before the next is read. The first picture is kept when `keep_first` (for a
// preview); with `keep_bytes` every picture's bytes are kept too, one after another.
struct Written {
    std::optional<Conversion> first;
    std::vector<std::uint8_t> bytes;
};
std::variant<Written, Outcome> write_pictures(const Plan& plan, PictureSource& source,
                                              const ConvertSinks& sinks, bool keep_first,
                                              bool keep_bytes);

} // namespace dotlane::engine
