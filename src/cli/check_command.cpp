// check: whether an array still holds what convert makes of its picture, for a firmware
// repository's continuous integration.
#include <ostream>

#include "back/input_kinds.h"
#include "cli/array_files.h"
#include "cli/commands.h"
#include "cli/file_pictures.h"
#include "cli/picture_output.h"
#include "cli/support.h"
#include "engine/back.h"

namespace dotlane::cli {

namespace {

// --diff: white where both are clear, grey where both are set, red where only the array
// is, blue where only the picture is.
constexpr std::uint32_t kDiffPalette[] = {0xFFFFFF, 0xC0C0C0, 0xE00000, 0x0050FF};

} // namespace

int check_command(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                  std::ostream& err) {
    const auto table = engine::check_options();
    const Arguments a = parse(args, engine::flag_names(table), engine::valued_names(table));
    if (a.error) return usage(err, *a.error);
    if (a.operands.size() != 2) return usage(err, "check needs a picture and an array");
    if (!a.value("--layout") && !a.value("--target"))
        return usage(err, "check needs --layout or --target: the layout of the array");
    const auto diff_path = a.value("--diff");
    if (diff_path && !names_png(*diff_path))
        return usage(err, "--diff writes a PNG file: its name ends in .png");
    const auto scale = picture_scale(a.value("--diff-scale"), "--diff-scale", 1);
    if (const auto* problem = std::get_if<std::string>(&scale)) return usage(err, *problem);
    ArraySource source;
    if (const auto problem = engine::array_source(a, a.operands[1], source))
        return usage(err, *problem);
    source.command = "check";
    // An array and a picture given the other way round: say so before reading either.
    if (const auto kind =
            source.format == ArrayFormat::bin ? std::nullopt : picture_file_kind(source.path)) {
        err << picture_given(source, *kind) << "\n";
        return kBadInput;
    }
    FilePictures pictures;
    FileInput input(source.path, in);
    engine::Checked checked = engine::check_array(a, source, pictures, input.pieces());
    if (!checked.ok()) return fault(checked, err);
    if (diff_path) {
        IndexedPicture diff{checked.width,
                            checked.height,
                            std::move(checked.diff),
                            {std::begin(kDiffPalette), std::end(kDiffPalette)}};
        if (!enlarge(diff.indices, diff.width, diff.height, std::get<int>(scale), "--diff-scale",
                     err))
            return kBadInput;
        const auto png = png_file(diff, err);
        if (!png) return kBadInput;
        if (const int written = emit_file(*png, *diff_path, out, err)) return written;
    }
    out << checked.text;
    if (const int written = check_output(out, err)) return written;
    if (checked.agree) return kOk;
    // Standard error too, where a CI log shows why the step failed.
    err << checked.mismatch << "\n";
    return kBadInput;
}

} // namespace dotlane::cli
