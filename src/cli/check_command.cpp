// check: whether an array still holds what convert makes of its picture, for a firmware
// repository's continuous integration.
#include <ostream>
#include <sstream>

#include "array_input.h"
#include "commands.h"
#include "convert.h"
#include "input_kinds.h"
#include "picture_output.h"
#include "reverse/unpack.h"
#include "shared/text.h"

namespace dotlane::cli {

namespace {

// Past the bytes of the picture, this many more are counted to name the surplus.
constexpr std::size_t kSurplusCounted = std::size_t(64) << 20;
constexpr int kShownPixels = 8;

// --diff: white where both are clear, grey where both are set, red where only the array
// is, blue where only the picture is.
constexpr std::uint32_t kDiffPalette[] = {0xFFFFFF, 0xC0C0C0, 0xE00000, 0x0050FF};

Shape shape_of(const Conversion& c) {
    return {c.reads_as, c.layout == "t6963c", c.width, c.height};
}

} // namespace

int check_command(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                  std::ostream& err) {
    std::vector<std::string> valued = kConvertValued;
    valued.insert(valued.end(), {"--input", "--diff", "--diff-scale"});
    const Arguments a = parse(args, kConvertFlags, valued);
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
    if (const auto problem = array_source(a, a.operands[1], source)) return usage(err, *problem);
    source.command = "check";
    // An array and a picture given the other way round: say so before reading either.
    if (const auto kind =
            source.format == ArrayFormat::bin ? std::nullopt : picture_file_kind(source.path)) {
        err << picture_given(source, *kind) << "\n";
        return kBadInput;
    }
    Arguments picture_args = a;
    picture_args.operands.pop_back();
    auto made = convert_picture(picture_args, false, err);
    if (std::holds_alternative<int>(made)) return std::get<int>(made);
    const Conversion& converted = std::get<Conversion>(made);
    const Shape shape = shape_of(converted);
    source.head = shape.t6963c;
    const std::vector<std::uint8_t>& expected = converted.listing.bytes;
    const auto array =
        read_array(source, in, expected.size(), expected.size() + kSurplusCounted, err);
    if (!array) return kBadInput;

    const bool bottom_first = shape.t6963c && converted.rows_from_bottom;
    const Bitmap want =
        unpack_bits(expected, shape.layout, shape.width, shape.height, bottom_first);
    const Bitmap have =
        unpack_bits(array->bytes, shape.layout, shape.width, shape.height, bottom_first);
    std::size_t differ = 0;
    std::ostringstream first;
    IndexedPicture diff{
        shape.width, shape.height, {}, {std::begin(kDiffPalette), std::end(kDiffPalette)}};
    if (diff_path) diff.indices.resize(want.bits.size());
    for (std::size_t i = 0; i < want.bits.size(); ++i) {
        const int w = want.bits[i], h = have.bits[i];
        if (diff_path) diff.indices[i] = std::uint8_t(w == h ? w : h ? 2 : 3);
        if (w == h) continue;
        if (differ++ < kShownPixels)
            first << " " << i % std::size_t(shape.width) << "," << i / std::size_t(shape.width);
    }
    if (diff_path) {
        if (!enlarge(diff.indices, diff.width, diff.height, std::get<int>(scale), "--diff-scale",
                     err))
            return kBadInput;
        const auto png = png_file(diff, err);
        if (!png) return kBadInput;
        if (const int written = emit_file(*png, *diff_path, out, err)) return written;
    }
    const std::string picture = quoted_name(a.operands[0]), name = quoted_name(a.operands[1]);
    const std::string described = std::to_string(shape.width) + " x " +
                                  std::to_string(shape.height) + " pixels in " + converted.layout;
    if (differ)
        out << name << " differs from " << picture << " in " << differ << " of " << want.bits.size()
            << " pixels (" << described << "); x,y of the first:" << first.str()
            << (differ > kShownPixels ? " ..." : "") << "\n";
    // Counting stops at the surplus counted, so a count that reached it is a floor.
    if (array->count != expected.size())
        out << name << " holds "
            << (array->count >= expected.size() + kSurplusCounted ? "at least " : "")
            << array->count << " bytes, " << picture << " makes " << expected.size() << ".\n";
    else if (!differ && array->bytes != expected)
        out << name << " sets bits past the picture's " << described << ", which " << picture
            << " leaves clear.\n";
    const bool agree = !differ && array->count == expected.size() && array->bytes == expected;
    if (agree)
        out << name << " agrees with " << picture << ": " << described << ", " << expected.size()
            << " bytes.\n";
    if (const int written = check_output(out, err)) return written;
    if (agree) return kOk;
    // Standard error too, where a CI log shows why the step failed.
    err << name << " does not match " << picture << " (" << described << ").\n";
    return kBadInput;
}

} // namespace dotlane::cli
