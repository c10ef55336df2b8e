// render and check in the layouts of more than one bit: the bytes unpacked a row at a time
// into levels, painted as the colours the levels stand for, or compared level by level (an
// indexed layout's by the colour each index stands for in its own array's table).
#include <algorithm>
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

// The numbers, at most kShownPixels of them, ", " between; "entry N" or "entries N, M".
std::string entries_named(const std::vector<std::size_t>& numbers) {
    std::string text = numbers.size() == 1 ? "entry " : "entries ";
    for (std::size_t i = 0; i < numbers.size() && i < std::size_t(kShownPixels); ++i)
        text += (i ? ", " : "") + std::to_string(numbers[i]);
    if (numbers.size() > std::size_t(kShownPixels))
        text += " ... (" + std::to_string(numbers.size()) + " in all)";
    return text;
}

// The line naming the entries of the array's colour table that are not the picture's: first
// those its pixels use, then those none does; empty when the tables are the same.
std::string table_differences(const Arguments& a, const std::vector<std::uint8_t>& want,
                              const std::vector<std::uint8_t>& have, const std::vector<bool>& used,
                              bool pixels_agree) {
    std::vector<std::size_t> changed, spare;
    for (std::size_t i = 0; i < used.size(); ++i)
        if (!std::equal(want.begin() + std::ptrdiff_t(4 * i),
                        want.begin() + std::ptrdiff_t(4 * i + 4),
                        have.begin() + std::ptrdiff_t(4 * i)))
            (used[i] ? changed : spare).push_back(i);
    if (changed.empty() && spare.empty()) return "";
    const std::string picture = quoted_name(a.operands[0]);
    std::string line = "The colour table of " + quoted_name(a.operands[1]) +
                       " differs from the one " + picture + " makes in ";
    if (!changed.empty()) line += entries_named(changed);
    if (!changed.empty() && pixels_agree)
        line += ", yet every pixel shows the colour " + picture + " gives it";
    if (!spare.empty())
        line +=
            (changed.empty() ? "" : ", and in ") + entries_named(spare) + ", which no pixel uses";
    return line + ".\n";
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
    auto array =
        read_array(source, pieces, expected.size(), expected.size() + kSurplusCounted, err);
    if (!array) return failed<Checked>(input_error(message_of(err.str())));
    std::vector<std::uint8_t> have = array->bytes;
    have.resize(expected.size(), 0);
    const int w = converted.width, h = converted.height, ch = level_count(l);
    const std::size_t row_bytes = colour_row_bytes(l, w);
    std::vector<std::uint8_t> want_row(std::size_t(w) * std::size_t(ch)), have_row(want_row);
    // Which entries of the array's table its pixels use.
    std::vector<bool> used(l.indexed ? std::size_t(1) << l.pixel_bits : 0);
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
            if (l.indexed) { // the colours the indices stand for, each in its own table
                const std::size_t want = want_row[std::size_t(x)], got = have_row[std::size_t(x)];
                used[got] = true;
                same = std::equal(expected.begin() + std::ptrdiff_t(4 * want),
                                  expected.begin() + std::ptrdiff_t(4 * want + 4),
                                  have.begin() + std::ptrdiff_t(4 * got));
            }
            for (int k = 0; k < ch && !l.indexed; ++k)
                same &= want_row[std::size_t(x * ch + k)] == have_row[std::size_t(x * ch + k)];
            if (same) continue;
            checked.diff[std::size_t(y) * std::size_t(w) + std::size_t(x)] = 2;
            if (checked.differ++ < kShownPixels) first << " " << x << "," << y;
        }
    }
    if (!l.indexed) {
        finish_check(checked, a, w, h, converted.layout, expected, *array, first.str());
        return checked;
    }
    // Each pixel showing the colour the picture gives it, the table's order and the indices are
    // the array's own business: what remains to compare are the bits past each row's last
    // pixel, so the picture's bytes stand in for the rest.
    if (!checked.differ && array->bytes.size() == expected.size()) {
        const int spare_bits = int(row_bytes * 8 - std::size_t(w) * std::size_t(l.pixel_bits));
        const auto spare = std::uint8_t((1 << spare_bits) - 1);
        array->bytes = expected;
        for (int y = 1; y <= h; ++y) {
            const std::size_t last = colour_table_bytes(l) + row_bytes * std::size_t(y) - 1;
            array->bytes[last] |= std::uint8_t(have[last] & spare);
        }
    }
    finish_check(checked, a, w, h, converted.layout, expected, *array, first.str());
    checked.text += table_differences(a, expected, have, used, !checked.differ);
    return checked;
}

} // namespace dotlane::engine
