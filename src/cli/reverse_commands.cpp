// render --layout and guess: arrays of any layout back into pictures.
#include <ostream>

#include "cli/array_files.h"
#include "cli/commands.h"
#include "cli/picture_output.h"
#include "cli/support.h"
#include "engine/back.h"

namespace dotlane::cli {

namespace {

int write_picture(Bitmap bits, bool light, int scale, const std::string& path, std::ostream& out,
                  std::ostream& err) {
    if (!enlarge(bits.bits, bits.width, bits.height, scale, "--render-scale", err))
        return kBadInput;
    const auto file = bitmap_file(std::move(bits), light, path, err);
    return file ? emit_file(*file, path, out, err) : kBadInput;
}

} // namespace

int render_layout_command(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                          std::ostream& err) {
    const auto table = engine::render_options();
    const Arguments a = parse(args, engine::flag_names(table), engine::valued_names(table));
    if (a.error) return usage(err, *a.error);
    FileInput input(a.operands.empty() ? "-" : a.operands[0], in);
    engine::Rendered made = engine::render_array(a, input.pieces(), true);
    if (!made.ok()) return fault(made, err);
    if (made.warning) err << *made.warning << "\n";
    if (!made.colours.pixels.empty()) {
        const std::string path = *a.value("-o");
        if (path != "-" && !names_png(path)) {
            err << "render writes the colours of " << *a.value("--layout")
                << " as a PNG file: name it \"....png\", or give -o -.\n";
            return kUsage;
        }
        const auto file = colour_png(made.colours, made.scale, false, 0, "--render-scale", err);
        return file ? emit_file(*file, path, out, err) : kBadInput;
    }
    return write_picture(std::move(made.bits), made.light_ink, made.scale, *a.value("-o"), out,
                         err);
}

int guess_command(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                  std::ostream& err) {
    const auto table = engine::guess_options();
    const Arguments a = parse(args, engine::flag_names(table), engine::valued_names(table));
    if (a.error) return usage(err, *a.error);
    FileInput input(a.operands.empty() ? "-" : a.operands[0], in);
    const engine::Guessed made = engine::guess_array(a, input.pieces());
    if (!made.ok()) return fault(made, err);
    if (const auto path = a.value("--render")) {
        if (const int status =
                write_picture(made.bits(0), made.light_ink, made.scale, *path, out, err))
            return status;
    }
    out << made.text;
    return check_output(out, err);
}

} // namespace dotlane::cli
