// render --layout and guess: arrays of any layout back into pictures.
#include <algorithm>
#include <cmath>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "array_input.h"
#include "commands.h"
#include "picture_output.h"
#include "preview.h"
#include "reverse/render.h"
#include "reverse/unpack.h"
#include "shared/text.h"

namespace dotlane::cli {

namespace {

constexpr const char* kRenderLayouts =
    "rows-msb, rows-lsb, pages-lsb, pages-msb, sed1565 or t6963c";
// Past the bytes a picture takes, this many more are counted to name the surplus.
constexpr std::size_t kSurplusCounted = std::size_t(64) << 20;
// The bytes of the largest picture render paints: 4096 x 4096 pixels.
constexpr std::size_t kMaxPictureBytes = std::size_t(kMaxRenderSide) * kMaxRenderSide / 8;

std::optional<Shape> shape_named(const std::string& name) {
    if (name == "t6963c") return Shape{BitLayout::rows_msb, true};
    if (name == "sed1565") return Shape{BitLayout::pages_lsb};
    if (const auto layout = bit_layout_named(name)) return Shape{*layout};
    return std::nullopt;
}

// Whether the set bits are light; nullopt for a value other than dark or light.
std::optional<bool> light_ink(const Arguments& a) {
    const std::string ink = a.value("--ink").value_or("dark");
    if (ink != "dark" && ink != "light") return std::nullopt;
    return ink == "light";
}

// A side of 1 to 4096 pixels; 0 when the option is absent, -1 when it is no such number.
int side(const Arguments& a, const std::string& option) {
    const auto text = a.value(option);
    if (!text) return 0;
    const auto value = whole_number(*text);
    return value && *value >= 1 && *value <= kMaxRenderSide ? int(*value) : -1;
}

int write_picture(Bitmap bits, bool light, int scale, const std::string& path, std::ostream& out,
                  std::ostream& err) {
    if (!enlarge(bits.bits, bits.width, bits.height, scale, "--render-scale", err))
        return kBadInput;
    const auto file = bitmap_file(std::move(bits), light, path, err);
    return file ? emit_file(*file, path, out, err) : kBadInput;
}

// A T6963C listing's first line gives the size, or must agree with the one given.
bool t6963c_size(const std::optional<T6963cHead>& head, bool sized, Shape& shape,
                 std::ostream& err) {
    if (!head) {
        if (!sized)
            err << "The input does not start with a T6963C listing's line \"rows,bytes per "
                   "row,\"; give --width and --height.\n";
        return sized;
    }
    const int per_row = (shape.width + 7) / 8;
    if (sized && (head->rows != shape.height || head->bytes_per_row != per_row)) {
        err << "The listing's first line says " << head->rows << " rows of " << head->bytes_per_row
            << " bytes, but " << shape.width << " x " << shape.height << " pixels are "
            << shape.height << " rows of " << per_row << ".\n";
        return false;
    }
    if (!sized && (head->rows < 1 || head->rows > kMaxRenderSide || head->bytes_per_row < 1 ||
                   head->bytes_per_row > kMaxRenderSide / 8)) {
        err << "The listing's first line says " << head->rows << " rows of " << head->bytes_per_row
            << " bytes: render paints pictures up to 4096 x 4096 pixels.\n";
        return false;
    }
    if (!sized) shape = {shape.layout, true, head->bytes_per_row * 8, head->rows};
    return true;
}

std::string shape_text(const Shape& s) {
    return shape_layout_name(s) + " " + std::to_string(s.width) + " x " + std::to_string(s.height);
}

} // namespace

int render_layout_command(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                          std::ostream& err) {
    const Arguments a = parse(args, {"--allow-extra"},
                              {"--layout", "--width", "--height", "--pages", "--ink", "--input",
                               "--name", "-o", "--render-scale"});
    if (a.error) return usage(err, *a.error);
    const bool paged_form = a.value("--pages").has_value();
    if (!a.value("--layout") && !paged_form)
        return usage(err, std::string("render needs --layout: ") + kRenderLayouts);
    const std::string layout_text = a.value("--layout").value_or("pages-lsb");
    auto shape = shape_named(layout_text);
    if (!shape)
        return usage(err,
                     "unknown layout \"" + layout_text + "\"; render paints " + kRenderLayouts);
    if (paged_form && (layout_text != "pages-lsb" || a.value("--height")))
        return usage(err, "--pages P means --layout pages-lsb and --height 8P");
    const auto light = light_ink(a);
    if (!light) return usage(err, "--ink takes dark or light");
    if (!a.value("-o")) return usage(err, "render needs -o OUT");
    const auto scale = picture_scale(a.value("--render-scale"), "--render-scale", 1);
    if (const auto* problem = std::get_if<std::string>(&scale)) return usage(err, *problem);
    if (a.operands.size() > 1) return usage(err, "give at most one input file");
    ArraySource source;
    if (const auto problem = array_source(a, a.operands.empty() ? "-" : a.operands[0], source))
        return usage(err, *problem);
    source.head = shape->t6963c;
    const int pages = side(a, "--pages");
    shape->width = side(a, "--width");
    shape->height = paged_form ? (pages > 0 && pages * 8 <= kMaxRenderSide ? pages * 8 : -1)
                               : side(a, "--height");
    if (shape->width < 0 || shape->height < 0)
        return usage(err, "--width and --height take whole numbers of pixels from 1 to 4096 "
                          "(--pages from 1 to 512)");
    const bool sized = shape->width > 0 && shape->height > 0;
    if (!sized && (!shape->t6963c || shape->width > 0 || shape->height > 0))
        return usage(err, "render --layout needs --width and --height (t6963c: both or neither)");

    // Extra bytes are counted to name them, unless they are allowed: then they are not read.
    const bool allow_extra = a.has("--allow-extra") || paged_form;
    const std::size_t needed =
        sized ? layout_byte_count(shape->layout, shape->width, shape->height) : kMaxPictureBytes;
    auto array = read_array(source, in, needed,
                            allow_extra && sized ? needed : needed + kSurplusCounted, err);
    if (!array) return kBadInput;
    if (shape->t6963c && !t6963c_size(array->head, sized, *shape, err)) return kBadInput;
    const std::size_t expected = layout_byte_count(shape->layout, shape->width, shape->height);
    const std::string picture = std::to_string(shape->width) + " x " +
                                std::to_string(shape->height) + " pixels take in " + layout_text;
    if (array->count > expected && !allow_extra) {
        err << "The input holds " << (array->count >= needed + kSurplusCounted ? "at least " : "")
            << array->count << " bytes, more than the " << expected << " that " << picture
            << "; --allow-extra paints the first " << expected << ".\n";
        return kBadInput;
    }
    if (array->count < expected)
        err << "The input holds " << array->count << " bytes, fewer than the " << expected
            << " that " << picture << ": the pixels of the missing ones stay clear.\n";
    const Bitmap bits =
        unpack_bits(array->bytes, shape->layout, shape->width, shape->height, shape->t6963c);
    array->bytes = {};
    return write_picture(bits, *light, std::get<int>(scale), *a.value("-o"), out, err);
}

int guess_command(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                  std::ostream& err) {
    const Arguments a =
        parse(args, {"--ascii"}, {"--input", "--name", "--render", "--ink", "--render-scale"});
    if (a.error) return usage(err, *a.error);
    if (a.operands.size() > 1) return usage(err, "give at most one input file");
    const auto light = light_ink(a);
    if (!light) return usage(err, "--ink takes dark or light");
    if (a.value("--render") == "-")
        return usage(err, "--render needs a file: standard output shows the list");
    const auto scale = picture_scale(a.value("--render-scale"), "--render-scale", 1);
    if (const auto* problem = std::get_if<std::string>(&scale)) return usage(err, *problem);
    ArraySource source;
    if (const auto problem = array_source(a, a.operands.empty() ? "-" : a.operands[0], source))
        return usage(err, *problem);
    source.head = true;
    source.command = "guess";
    auto array = read_array(source, in, kMaxPictureBytes, kMaxPictureBytes + 1, err);
    if (!array) return kBadInput;
    if (array->count > kMaxPictureBytes) {
        err << "The input holds more than " << kMaxPictureBytes
            << " bytes, the most a picture of 4096 x 4096 pixels takes.\n";
        return kBadInput;
    }
    const std::vector<Candidate> found = guess_shapes(array->bytes, array->head);
    if (found.empty()) {
        err << "No picture from 8 to 4096 pixels wide and high takes " << array->count
            << (array->count == 1 ? " byte" : " bytes") << ".\n";
        return kBadInput;
    }
    std::ostringstream text;
    text << array->count << (array->count == 1 ? " byte, " : " bytes, ") << found.size()
         << " shapes scored; the best:\n";
    for (std::size_t i = 0; i < found.size() && i < 5; ++i)
        text << std::setw(4) << i + 1 << "  " << std::left << std::setw(24)
             << shape_text(found[i].shape) << std::right << "score " << std::fixed
             << std::setprecision(3) << found[i].score << "\n";
    const Shape& best = found.front().shape;
    const Bitmap bits =
        unpack_bits(array->bytes, best.layout, best.width, best.height, best.t6963c);
    // At most 128 characters a side, so a tall candidate prints a page, not thousands of lines.
    const int step = (std::max(bits.width, bits.height) + 127) / 128;
    text << "\n" << shape_text(best);
    if (step > 1) text << " (a character for " << step << " x " << step << " pixels)";
    text << ":\n" << terminal_text(bits, a.has("--ascii"), step);
    if (const auto path = a.value("--render")) {
        if (const int status = write_picture(bits, *light, std::get<int>(scale), *path, out, err))
            return status;
    }
    out << text.str();
    return check_output(out, err);
}

} // namespace dotlane::cli
