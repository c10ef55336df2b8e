#include "web/tables.h"

#include <string_view>
#include <vector>

#include "declare/targets.h"
#include "engine/dotlane.h"
#include "layout/colour_layouts.h"

namespace dotlane::web {

namespace {

std::vector<std::string> words_of(std::string_view list) {
    std::vector<std::string> words;
    while (!list.empty()) {
        const std::size_t comma = list.find(", ");
        words.emplace_back(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 2);
    }
    return words;
}

// A user looks for the kind of glass first, then the library that draws on it.
std::string_view target_group(const Target& t) {
    if (t.lvgl) return t.lvgl == 9 ? "LVGL 9" : "LVGL 8";
    const ColourLayout* colour =
        t.colour_layout.empty() ? nullptr : colour_layout_named(t.colour_layout);
    if (!colour) {
        if (t.glass == Glass::oled) return "OLED, one bit";
        return t.style == "c" ? "LCD, one bit" : "Draw calls, one bit";
    }
    if (t.glass == Glass::epaper) return "E-paper";
    return colour->grey ? "Grey OLED" : "Colour TFT";
}

std::string_view layout_group(std::string_view name) {
    if (bit_layout_named(name)) return "One bit";
    const ColourLayout* l = colour_layout_named(name);
    if (!l) return "The window's listings";
    if (l->planes == 2) return "E-paper planes";
    if (l->indexed) return "Indexed colours";
    if (l->alpha) return "Alpha masks";
    return l->grey ? "Grey" : "Colour";
}

std::string layout_description(std::string_view name) {
    if (const auto bits = bit_layout_named(name)) return dotlane::layout_description(*bits);
    if (const ColourLayout* l = colour_layout_named(name)) return std::string(l->description);
    return "the window's listing of a 1-bit BMP file";
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words)
        text += (text.empty() ? "" : ",") + w;
    return text;
}

} // namespace

std::string tables_text() {
    std::string text;
    for (const std::string& name : words_of(target_names())) {
        const Target& t = *target_named(name);
        const std::string layout = t.colour_layout.empty() ? std::string(layout_name(t.layout))
                                                           : std::string(t.colour_layout);
        text += "target\t" + name + "\t" + layout + "\t" + std::string(target_group(t)) + "\t" +
                std::string(t.style) + "\t" + std::string(t.reader) + "\n";
    }
    for (const engine::OptionSpec& spec : engine::convert_options()) {
        if (spec.kind != engine::ValueKind::word || spec.words.empty()) continue;
        const std::vector<std::string> words = words_of(spec.words);
        text += "words\t" + std::string(spec.name) + "\t" + joined(words) + "\n";
        if (spec.name == "layout")
            for (const std::string& name : words)
                text += "layout\t" + name + "\t" + std::string(layout_group(name)) + "\t" +
                        layout_description(name) + "\n";
    }
    for (const engine::OptionSpec& spec : engine::render_options())
        if (spec.name == "layout") text += "render\t" + joined(words_of(spec.words)) + "\n";
    return text;
}

} // namespace dotlane::web
