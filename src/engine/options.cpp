#include "engine/options.h"

#include "layout/colour_layouts.h"
#include "shared/text.h"

namespace dotlane::engine {

namespace {

using K = ValueKind;

// Each call's options, and for convert, check and preview which of them they share.
enum Use : unsigned { kConvert = 1, kCheck = 2, kPreview = 4, kShared = 7 };

// The layouts' names from their own tables, so a layout added there is offered everywhere.
std::string_view layout_words() {
    static const std::string words =
        "t6963c, sed1565, rows-msb, rows-lsb, pages-lsb, pages-msb, " + colour_layout_names();
    return words;
}

struct Row {
    OptionSpec spec;
    unsigned use;
};

const Row kPictureOptions[] = {
    {{"layout", K::word, layout_words(), "how the bits lie in the bytes"}, kShared},
    {{"target", K::word, "", "the display or draw call; sets layout and style"}, kShared},
    {{"invert-colors", K::flag, "", "light pixels are the set bits (ink light)"}, kShared},
    {{"c-array", K::text, "", "style c with this array name"}, kShared},
    {{"style", K::word, "hex, c, arduino, u8g2, python, asm, bin", "how the bytes are written"},
     kShared},
    {{"name", K::text, "", "the array's name, once a picture", true}, kShared},
    {{"preview", K::file, "", "a PNG file of what the display shows"}, kShared},
    {{"preview-scale", K::number, "", "screen pixels a dot in the preview, 1 to 16"}, kShared},
    {{"preview-look", K::word, "lcd, oled-white, oled-blue, oled-yellow, epaper",
      "the glass the preview shows"},
     kShared},
    {{"o", K::file, "", "the output file"}, kShared},
    {{"background", K::word, "white, black", "what transparent pixels lie over"}, kShared},
    {{"rotate", K::word, "0, 90, 180, 270", "degrees clockwise"}, kShared},
    {{"flip", K::word, "h, v", "mirror after the rotation"}, kShared},
    {{"size", K::size, "", "the canvas, WxH"}, kShared},
    {{"fit", K::word, "contain, cover, stretch, none", "how the picture meets the canvas"},
     kShared},
    {{"threshold", K::number, "", "dark below it, 0 to 255"}, kShared},
    {{"dither", K::word, "floyd-steinberg, atkinson, bayer4, bayer8", "how greys become dots"},
     kShared},
    {{"ink", K::word, "dark, light", "which pixels are the set bits"}, kShared},
    {{"reduce", K::word, "truncate, round",
      "how a channel loses bits in the layouts of more than one bit: its top bits or the "
      "nearest level"},
     kShared},
    {{"frames", K::flag, "", "every frame of an animation"}, kConvert | kPreview},
    {{"table", K::text, "", "a table of the arrays under this name"}, kConvert},
    {{"header", K::file, "", "a header file, with source"}, kConvert},
    {{"source", K::file, "", "a source file, with header"}, kConvert},
    {{"compress", K::word, "rle", "run-length encoded arrays and their decoder"}, kConvert},
    {{"depfile", K::file, "", "Make's rule of the inputs"}, kConvert},
    {{"name-prefix", K::text, "", "a prefix before names made from file names"}, kConvert},
    {{"input", K::word, "hex, c, bin", "how the array is written"}, kCheck},
    {{"diff", K::file, "", "a PNG file of the differences"}, kCheck},
    {{"diff-scale", K::number, "", "screen pixels a pixel of the differences, 1 to 16"}, kCheck},
    {{"ascii", K::flag, "", "# and . instead of blocks"}, kPreview},
};

std::vector<OptionSpec> used_by(unsigned use) {
    std::vector<OptionSpec> table;
    for (const Row& row : kPictureOptions)
        if (row.use & use) table.push_back(row.spec);
    return table;
}

const OptionSpec kRender[] = {
    {"layout", K::word, layout_words(), "how the bits lie in the bytes"},
    {"width", K::number, "", "pixels, 1 to 4096"},
    {"height", K::number, "", "pixels, 1 to 4096"},
    {"pages", K::number, "", "pages-lsb with a height of 8 pages"},
    {"ink", K::word, "dark, light", "which pixels are the set bits"},
    {"input", K::word, "hex, c, bin", "how the array is written"},
    {"name", K::text, "", "the C array of that name"},
    {"o", K::file, "", "the picture file"},
    {"allow-extra", K::flag, "", "paint the first bytes of a longer array"},
    {"render-scale", K::number, "", "screen pixels a pixel of the picture, 1 to 16"},
};

const OptionSpec kGuess[] = {
    {"input", K::word, "hex, c, bin", "how the array is written"},
    {"name", K::text, "", "the C array of that name"},
    {"render", K::file, "", "a picture file of the best reading"},
    {"ink", K::word, "dark, light", "which pixels are the set bits"},
    {"ascii", K::flag, "", "# and . instead of blocks"},
    {"render-scale", K::number, "", "screen pixels a pixel of the picture, 1 to 16"},
};

std::vector<std::string> names(std::span<const OptionSpec> table, bool flags) {
    std::vector<std::string> found;
    for (const OptionSpec& spec : table)
        if ((spec.kind == K::flag) == flags) found.push_back(dashed(spec.name));
    return found;
}

} // namespace

std::span<const OptionSpec> convert_options() {
    static const std::vector<OptionSpec> table = used_by(kConvert);
    return table;
}
std::span<const OptionSpec> check_options() {
    static const std::vector<OptionSpec> table = used_by(kCheck);
    return table;
}
std::span<const OptionSpec> preview_options_table() {
    static const std::vector<OptionSpec> table = used_by(kPreview);
    return table;
}
std::span<const OptionSpec> render_options() {
    return kRender;
}
std::span<const OptionSpec> guess_options() {
    return kGuess;
}

std::string dashed(std::string_view name) {
    return (name == "o" ? "-" : "--") + std::string(name);
}

std::vector<std::string> flag_names(std::span<const OptionSpec> table) {
    return names(table, true);
}
std::vector<std::string> valued_names(std::span<const OptionSpec> table) {
    return names(table, false);
}

std::variant<Arguments, Outcome> arguments_of(std::span<const OptionSpec> table,
                                              const Options& options) {
    Arguments a;
    for (const Option& option : options) {
        const auto spec = std::find_if(table.begin(), table.end(),
                                       [&](const OptionSpec& s) { return s.name == option.name; });
        const std::string name = dashed(option.name);
        if (spec == table.end()) return usage_error("unknown option " + name);
        if (spec->kind != K::flag) {
            a.values[name] = option.value;
            a.given.emplace_back(name, option.value);
        } else if (option.value != "false" && !a.has(name)) {
            a.flags.push_back(name);
        }
    }
    return a;
}

Outcome unknown_option(std::span<const OptionSpec> table, const Options& options) {
    auto made = arguments_of(table, options);
    if (auto* problem = std::get_if<Outcome>(&made)) return *problem;
    return {};
}

std::variant<int, std::string> picture_scale(const std::optional<std::string>& text,
                                             const std::string& option, int fallback) {
    if (!text) return fallback;
    const auto scale = whole_number(*text);
    if (!scale || *scale < 1 || *scale > kMaxScale)
        return option + " takes a whole number from 1 to " + std::to_string(kMaxScale) +
               ", not \"" + *text + "\"";
    return int(*scale);
}

} // namespace dotlane::engine
