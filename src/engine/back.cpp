// render, guess and check: arrays of any layout back into pictures, and an array against
// what convert makes of its picture.
#include "engine/back.h"

#include <algorithm>
#include <iomanip>
#include <sstream>

#include "back/render.h"
#include "back/terminal_text.h"
#include "layout/unpack.h"
#include "shared/text.h"

namespace dotlane::engine {

namespace {

constexpr const char* kRenderLayouts =
    "rows-msb, rows-lsb, pages-lsb, pages-msb, sed1565, t6963c or a layout of more than one bit";
// The bytes of the largest picture render paints: 4096 x 4096 pixels.
constexpr std::size_t kMaxPictureBytes = std::size_t(kMaxRenderSide) * kMaxRenderSide / 8;

template <class Result> Result failed(Outcome problem) {
    Result result;
    static_cast<Outcome&>(result) = std::move(problem);
    return result;
}

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

// A T6963C listing's first line gives the size, or must agree with the one given.
std::optional<std::string> t6963c_size(const std::optional<T6963cHead>& head, bool sized,
                                       Shape& shape) {
    std::ostringstream err;
    if (!head) {
        if (sized) return std::nullopt;
        return "The input does not start with a T6963C listing's line \"rows,bytes per row,\"; "
               "give --width and --height.";
    }
    const int per_row = (shape.width + 7) / 8;
    if (sized && (head->rows != shape.height || head->bytes_per_row != per_row)) {
        err << "The listing's first line says " << head->rows << " rows of " << head->bytes_per_row
            << " bytes, but " << shape.width << " x " << shape.height << " pixels are "
            << shape.height << " rows of " << per_row << ".";
        return err.str();
    }
    if (!sized && (head->rows < 1 || head->rows > kMaxRenderSide || head->bytes_per_row < 1 ||
                   head->bytes_per_row > kMaxRenderSide / 8)) {
        err << "The listing's first line says " << head->rows << " rows of " << head->bytes_per_row
            << " bytes: render paints pictures up to 4096 x 4096 pixels.";
        return err.str();
    }
    if (!sized) shape = {shape.layout, true, head->bytes_per_row * 8, head->rows};
    return std::nullopt;
}

std::string shape_text(const Shape& s) {
    return shape_layout_name(s) + " " + std::to_string(s.width) + " x " + std::to_string(s.height);
}

// --diff: clear in both, set in both, set only in the array, set only in the picture.
std::uint8_t diff_index(int want, int have) {
    return std::uint8_t(want == have ? want : have ? 2 : 3);
}

} // namespace

std::string message_of(const std::string& written) {
    return written.ends_with('\n') ? written.substr(0, written.size() - 1) : written;
}

std::optional<std::string> array_source(const Arguments& a, const std::string& path,
                                        ArraySource& source) {
    source.path = path;
    source.name = a.value("--name");
    const std::string format = a.value("--input").value_or(source.name ? "c" : "hex");
    if (format == "hex")
        source.format = ArrayFormat::hex;
    else if (format == "c")
        source.format = ArrayFormat::c;
    else if (format == "bin")
        source.format = ArrayFormat::bin;
    else
        return "--input takes hex, c or bin, not \"" + format + "\"";
    if (source.name && source.format != ArrayFormat::c)
        return "--name reads a C array: it goes with --input c";
    return std::nullopt;
}

Rendered render_array(const Arguments& a, const Pieces& pieces, bool output_required) {
    const auto wrong = [](std::string why) {
        return failed<Rendered>(usage_error(std::move(why)));
    };
    const bool paged_form = a.value("--pages").has_value();
    if (!a.value("--layout") && !paged_form)
        return wrong(std::string("render needs --layout: ") + kRenderLayouts);
    const std::string layout_text = a.value("--layout").value_or("pages-lsb");
    if (const ColourLayout* colour = colour_layout_named(layout_text); colour && !paged_form)
        return render_colour(a, *colour, pieces, output_required);
    auto shape = shape_named(layout_text);
    if (!shape)
        return wrong("unknown layout \"" + layout_text + "\"; render paints " + kRenderLayouts);
    if (paged_form && (layout_text != "pages-lsb" || a.value("--height")))
        return wrong("--pages P means --layout pages-lsb and --height 8P");
    const auto light = light_ink(a);
    if (!light) return wrong("--ink takes dark or light");
    if (output_required && !a.value("-o")) return wrong("render needs -o OUT");
    const auto scale = picture_scale(a.value("--render-scale"), "--render-scale", 1);
    if (const auto* problem = std::get_if<std::string>(&scale)) return wrong(*problem);
    if (a.operands.size() > 1) return wrong("give at most one input file");
    ArraySource source;
    if (const auto problem = array_source(a, a.operands.empty() ? "-" : a.operands[0], source))
        return wrong(*problem);
    source.head = shape->t6963c;
    const int pages = side(a, "--pages");
    shape->width = side(a, "--width");
    shape->height = paged_form ? (pages > 0 && pages * 8 <= kMaxRenderSide ? pages * 8 : -1)
                               : side(a, "--height");
    if (shape->width < 0 || shape->height < 0)
        return wrong("--width and --height take whole numbers of pixels from 1 to 4096 "
                     "(--pages from 1 to 512)");
    const bool sized = shape->width > 0 && shape->height > 0;
    if (!sized && (!shape->t6963c || shape->width > 0 || shape->height > 0))
        return wrong("render --layout needs --width and --height (t6963c: both or neither)");

    // Extra bytes are counted to name them, unless they are allowed: then they are not read.
    const bool allow_extra = a.has("--allow-extra") || paged_form;
    const std::size_t needed =
        sized ? layout_byte_count(shape->layout, shape->width, shape->height) : kMaxPictureBytes;
    std::ostringstream err;
    auto array = read_array(source, pieces, needed,
                            allow_extra && sized ? needed : needed + kSurplusCounted, err);
    if (!array) return failed<Rendered>(input_error(message_of(err.str())));
    if (shape->t6963c)
        if (auto problem = t6963c_size(array->head, sized, *shape))
            return failed<Rendered>(input_error(*problem));
    const std::size_t expected = layout_byte_count(shape->layout, shape->width, shape->height);
    const std::string picture = std::to_string(shape->width) + " x " +
                                std::to_string(shape->height) + " pixels take in " + layout_text;
    Rendered rendered;
    if (array->count > expected && !allow_extra) {
        err << "The input holds " << (array->count >= needed + kSurplusCounted ? "at least " : "")
            << array->count << " bytes, more than the " << expected << " that " << picture
            << "; --allow-extra paints the first " << expected << ".";
        return failed<Rendered>(input_error(err.str()));
    }
    if (array->count < expected)
        rendered.warning = "The input holds " + std::to_string(array->count) +
                           " bytes, fewer than the " + std::to_string(expected) + " that " +
                           picture + ": the pixels of the missing ones stay clear.";
    rendered.bits =
        unpack_bits(array->bytes, shape->layout, shape->width, shape->height, shape->t6963c);
    rendered.light_ink = *light;
    rendered.scale = std::get<int>(scale);
    return rendered;
}

Guessed guess_array(const Arguments& a, const Pieces& pieces) {
    const auto wrong = [](std::string why) { return failed<Guessed>(usage_error(std::move(why))); };
    if (a.operands.size() > 1) return wrong("give at most one input file");
    const auto light = light_ink(a);
    if (!light) return wrong("--ink takes dark or light");
    if (a.value("--render") == "-")
        return wrong("--render needs a file: standard output shows the list");
    const auto scale = picture_scale(a.value("--render-scale"), "--render-scale", 1);
    if (const auto* problem = std::get_if<std::string>(&scale)) return wrong(*problem);
    ArraySource source;
    if (const auto problem = array_source(a, a.operands.empty() ? "-" : a.operands[0], source))
        return wrong(*problem);
    source.head = true;
    source.command = "guess";
    std::ostringstream err;
    auto array = read_array(source, pieces, kMaxPictureBytes, kMaxPictureBytes + 1, err);
    if (!array) return failed<Guessed>(input_error(message_of(err.str())));
    if (array->count > kMaxPictureBytes)
        return failed<Guessed>(input_error("The input holds more than " +
                                           std::to_string(kMaxPictureBytes) +
                                           " bytes, the most a picture of 4096 x 4096 pixels "
                                           "takes."));
    const std::vector<Candidate> found = guess_shapes(array->bytes, array->head);
    if (found.empty())
        return failed<Guessed>(input_error("No picture from 8 to 4096 pixels wide and high takes " +
                                           std::to_string(array->count) +
                                           (array->count == 1 ? " byte." : " bytes.")));
    Guessed guessed;
    guessed.byte_count = array->count;
    guessed.light_ink = *light;
    guessed.scale = std::get<int>(scale);
    for (const Candidate& c : found)
        guessed.readings.push_back(
            {shape_layout_name(c.shape), c.shape.width, c.shape.height, c.score});
    auto bytes = std::make_shared<const std::vector<std::uint8_t>>(std::move(array->bytes));
    guessed.bits = [bytes, found](std::size_t i) {
        const Shape& s = found.at(i).shape;
        return unpack_bits(*bytes, s.layout, s.width, s.height, s.t6963c);
    };
    std::ostringstream text;
    text << array->count << (array->count == 1 ? " byte, " : " bytes, ") << found.size()
         << " shapes scored; the best:\n";
    for (std::size_t i = 0; i < found.size() && i < 5; ++i)
        text << std::setw(4) << i + 1 << "  " << std::left << std::setw(24)
             << shape_text(found[i].shape) << std::right << "score " << std::fixed
             << std::setprecision(3) << found[i].score << "\n";
    const Bitmap bits = guessed.bits(0);
    // At most 128 characters a side, so a tall candidate prints a page, not thousands of lines.
    const int step = (std::max(bits.width, bits.height) + 127) / 128;
    text << "\n" << shape_text(found.front().shape);
    if (step > 1) text << " (a character for " << step << " x " << step << " pixels)";
    text << ":\n" << terminal_text(bits, a.has("--ascii"), step);
    guessed.text = text.str();
    return guessed;
}

Checked check_array(const Arguments& a, ArraySource source, PictureSource& pictures,
                    const Pieces& pieces) {
    Arguments picture_args = a;
    picture_args.operands.pop_back();
    auto made = convert_picture(picture_args, pictures);
    if (auto* problem = std::get_if<Outcome>(&made)) return failed<Checked>(*problem);
    const Conversion& converted = std::get<Conversion>(made);
    if (converted.colour) return check_colour(a, converted, std::move(source), pieces);
    const Shape shape{converted.reads_as, converted.layout == "t6963c", converted.width,
                      converted.height};
    source.head = shape.t6963c;
    const std::vector<std::uint8_t>& expected = converted.listing.bytes;
    std::ostringstream err;
    const auto array =
        read_array(source, pieces, expected.size(), expected.size() + kSurplusCounted, err);
    if (!array) return failed<Checked>(input_error(message_of(err.str())));

    const bool bottom_first = shape.t6963c && converted.rows_from_bottom;
    Bitmap want = unpack_bits(expected, shape.layout, shape.width, shape.height, bottom_first);
    const Bitmap have =
        unpack_bits(array->bytes, shape.layout, shape.width, shape.height, bottom_first);
    Checked checked;
    checked.width = shape.width;
    checked.height = shape.height;
    std::ostringstream first;
    // The picture's bits become the map of differences in place: no third full-size copy.
    for (std::size_t i = 0; i < want.bits.size(); ++i) {
        const int w = want.bits[i], h = have.bits[i];
        want.bits[i] = diff_index(w, h);
        if (w == h) continue;
        if (checked.differ++ < kShownPixels)
            first << " " << i % std::size_t(shape.width) << "," << i / std::size_t(shape.width);
    }
    checked.diff = std::move(want.bits);
    finish_check(checked, a, shape.width, shape.height, converted.layout, expected, *array,
                 first.str());
    return checked;
}

void finish_check(Checked& checked, const Arguments& a, int width, int height,
                  const std::string& layout, const std::vector<std::uint8_t>& expected,
                  const ArrayBytes& array, const std::string& first) {
    const std::string picture = quoted_name(a.operands[0]), name = quoted_name(a.operands[1]);
    const std::string described =
        std::to_string(width) + " x " + std::to_string(height) + " pixels in " + layout;
    std::ostringstream out;
    if (checked.differ)
        out << name << " differs from " << picture << " in " << checked.differ << " of "
            << checked.diff.size() << " pixels (" << described << "); x,y of the first:" << first
            << (checked.differ > kShownPixels ? " ..." : "") << "\n";
    // Counting stops at the surplus counted, so a count that reached it is a floor.
    if (array.count != expected.size())
        out << name << " holds "
            << (array.count >= expected.size() + kSurplusCounted ? "at least " : "") << array.count
            << " bytes, " << picture << " makes " << expected.size() << ".\n";
    else if (!checked.differ && array.bytes != expected)
        out << name << " sets bits past the picture's " << described << ", which " << picture
            << " leaves clear.\n";
    checked.agree = !checked.differ && array.count == expected.size() && array.bytes == expected;
    if (checked.agree)
        out << name << " agrees with " << picture << ": " << described << ", " << expected.size()
            << " bytes.\n";
    else
        checked.mismatch = name + " does not match " + picture + " (" + described + ").";
    checked.text = out.str();
}

} // namespace dotlane::engine
