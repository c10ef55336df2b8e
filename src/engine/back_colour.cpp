// render and check in the layouts of more than one bit: the bytes unpacked a row at a time
// into levels, painted as the colours the levels stand for, or compared level by level.
#include <sstream>

#include "back/render.h"
#include "engine/back.h"
#include "engine/convert_colour.h"
#include "shared/text.h"

namespace dotlane::engine {

namespace {

template <class Result> Result failed(Outcome problem) {
    Result result;
    static_cast<Outcome&>(result) = std::move(problem);
    return result;
}

int side(const Arguments& a, const std::string& option) {
    const auto text = a.value(option);
    if (!text) return 0;
    const auto value = whole_number(*text);
    return value && *value >= 1 && *value <= kMaxRenderSide ? int(*value) : -1;
}

} // namespace

Rendered render_colour(const Arguments& a, const ColourLayout& layout, const Pieces& pieces,
                       bool output_required) {
    const auto wrong = [](std::string why) {
        return failed<Rendered>(usage_error(std::move(why)));
    };
    if (a.value("--ink"))
        return wrong("--ink applies to the layouts of one bit; " + std::string(layout.name) +
                     " holds " + (layout.grey ? "grey levels" : "colours"));
    if (output_required && !a.value("-o")) return wrong("render needs -o OUT");
    const auto scale = picture_scale(a.value("--render-scale"), "--render-scale", 1);
    if (const auto* problem = std::get_if<std::string>(&scale)) return wrong(*problem);
    if (a.operands.size() > 1) return wrong("give at most one input file");
    const int width = side(a, "--width"), height = side(a, "--height");
    if (width <= 0 || height <= 0)
        return wrong("render --layout " + std::string(layout.name) +
                     " needs --width and --height, whole numbers of pixels from 1 to 4096");
    ArraySource source;
    if (const auto problem = array_source(a, a.operands.empty() ? "-" : a.operands[0], source))
        return wrong(*problem);
    source.words = layout.pixel_bits == 16 && layout.low_first;
    const std::size_t expected = colour_byte_count(layout, width, height);
    const bool allow_extra = a.has("--allow-extra");
    std::ostringstream err;
    auto array = read_array(source, pieces, expected,
                            allow_extra ? expected : expected + kSurplusCounted, err);
    if (!array) return failed<Rendered>(input_error(message_of(err.str())));
    const std::string picture = std::to_string(width) + " x " + std::to_string(height) +
                                " pixels take in " + std::string(layout.name);
    Rendered rendered;
    if (array->count > expected && !allow_extra)
        return failed<Rendered>(
            input_error("The input holds " +
                        std::string(array->count >= expected + kSurplusCounted ? "at least " : "") +
                        std::to_string(array->count) + " bytes, more than the " +
                        std::to_string(expected) + " that " + picture +
                        "; --allow-extra paints the first " + std::to_string(expected) + "."));
    if (array->count < expected)
        rendered.warning = "The input holds " + std::to_string(array->count) +
                           " bytes, fewer than the " + std::to_string(expected) + " that " +
                           picture + ": the missing ones are taken as 0.";
    Conversion c;
    c.width = width;
    c.height = height;
    c.colour = &layout;
    c.listing.bytes = std::move(array->bytes);
    c.listing.bytes.resize(expected, 0);
    rendered.colours = shown_colours(c);
    rendered.bits = dark_half(rendered.colours);
    rendered.scale = std::get<int>(scale);
    return rendered;
}

Checked check_colour(const Arguments& a, const Conversion& converted, ArraySource source,
                     const Pieces& pieces) {
    const ColourLayout& l = *converted.colour;
    const Target* t = converted.target;
    source.words =
        t && t->words && converted.layout == t->colour_layout && source.format == ArrayFormat::c;
    const std::vector<std::uint8_t>& expected = converted.listing.bytes;
    std::ostringstream err;
    const auto array =
        read_array(source, pieces, expected.size(), expected.size() + kSurplusCounted, err);
    if (!array) return failed<Checked>(input_error(message_of(err.str())));
    std::vector<std::uint8_t> have = array->bytes;
    have.resize(expected.size(), 0);
    const int w = converted.width, h = converted.height, ch = level_count(l);
    const std::size_t row_bytes = colour_row_bytes(l, w);
    std::vector<std::uint8_t> want_row(std::size_t(w) * std::size_t(ch)), have_row(want_row);
    Checked checked;
    checked.width = w;
    checked.height = h;
    checked.diff.assign(std::size_t(w) * std::size_t(h), 0);
    std::ostringstream first;
    for (int y = 0; y < h; ++y) {
        const std::size_t plane = plane_distance(l, w, h, y);
        const std::size_t at = colour_table_bytes(l) + row_bytes * std::size_t(y);
        unpack_row(l, expected.data() + at, w, want_row.data(), plane);
        unpack_row(l, have.data() + at, w, have_row.data(), plane);
        for (int x = 0; x < w; ++x) {
            bool same = true;
            for (int k = 0; k < ch; ++k)
                same &= want_row[std::size_t(x * ch + k)] == have_row[std::size_t(x * ch + k)];
            if (same) continue;
            checked.diff[std::size_t(y) * std::size_t(w) + std::size_t(x)] = 2;
            if (checked.differ++ < kShownPixels) first << " " << x << "," << y;
        }
    }
    finish_check(checked, a, w, h, converted.layout, expected, *array, first.str());
    return checked;
}

} // namespace dotlane::engine
