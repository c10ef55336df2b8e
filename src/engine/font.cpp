#include "engine/font.h"

#include "declare/c_array.h"
#include "engine/convert_plan.h"
#include "fonts/characters.h"
#include "shared/text.h"

namespace dotlane::engine {

namespace {

using K = ValueKind;
using fonts::FontFormat;

constexpr const char* kTargetNames = "adafruit-gfx, u8g2, micropython, rows-msb, rows-lsb, "
                                     "pages-lsb or pages-msb";

const OptionSpec kFont[] = {
    {"target", K::word, "adafruit-gfx, u8g2, micropython, rows-msb, rows-lsb, pages-lsb, pages-msb",
     "the draw call's format, or fixed cells in a layout"},
    {"size", K::number, "", "the pixel size, 4 to 255"},
    {"chars", K::text, "", "code points and ranges: 32-126,0xB0"},
    {"text", K::text, "", "the characters of this text instead"},
    {"missing", K::word, "fail, skip", "what a character the font lacks does"},
    {"hinting", K::word, "mono, none", "outlines hinted or as they are"},
    {"antialias", K::flag, "", "grey rendering cut at the threshold"},
    {"threshold", K::number, "", "with antialias: set from this grey on, 1 to 255"},
    {"style", K::word, "hex, c, arduino, u8g2, python, asm, bin", "how the cells are written"},
    {"layout", K::word, "rows-msb, rows-lsb, pages-lsb", "micropython's framebuf format"},
    {"compress", K::word, "rle", "cells run-length encoded, with their decoder"},
    {"name", K::text, "", "the declarations' name"},
    {"o", K::file, "", "the output file"},
    {"preview", K::file, "", "a PNG file of a line drawn back from the data"},
    {"preview-text", K::text, "", "the preview's line"},
    {"preview-scale", K::number, "", "screen pixels a dot in the preview, 1 to 16"},
    {"preview-look", K::word, "lcd, oled-white, oled-blue, oled-yellow, epaper",
     "the glass the preview shows"},
};

std::optional<std::string> choose_target(const Arguments& a, fonts::FontPlan& plan) {
    const auto target = a.value("--target");
    if (!target) return "give --target: " + std::string(kTargetNames);
    const auto style = a.value("--style");
    const auto layout = a.value("--layout");
    if (const auto compress = a.value("--compress")) {
        if (*compress != "rle") return "--compress takes rle, not \"" + *compress + "\"";
        plan.compress = true;
    }
    if (plan.compress && !bit_layout_named(*target))
        return *target + " has a format of its own, which its draw call reads as it is; "
                         "--compress rle is for the layouts' cells";
    if (*target == "adafruit-gfx" || *target == "micropython") {
        const bool gfx = *target == "adafruit-gfx";
        plan.format = gfx ? FontFormat::gfx : FontFormat::python;
        if (style && *style != (gfx ? "arduino" : "python"))
            return *target + " writes its own " + (gfx ? "GFXfont declarations" : "module") +
                   "; --style is for the layouts' cells";
        if (layout && gfx) return "adafruit-gfx packs its glyphs one way; --layout is not for it";
        if (layout) {
            const auto chosen = bit_layout_named(*layout);
            if (!chosen || *chosen == BitLayout::pages_msb)
                return "micropython takes --layout rows-msb (MONO_HLSB), rows-lsb (MONO_HMSB) or "
                       "pages-lsb (MONO_VLSB), not \"" +
                       *layout + "\"";
            plan.layout = *chosen;
        }
        return std::nullopt;
    }
    if (*target == "u8g2") {
        plan.format = FontFormat::u8g2;
        if ((style && *style != "u8g2") || layout)
            return std::string("u8g2 writes its own font format; --style and --layout are for "
                               "the layouts' cells");
        return std::nullopt;
    }
    const auto cells = bit_layout_named(*target);
    if (!cells) return "unknown target \"" + *target + "\"; the targets are " + kTargetNames;
    plan.format = FontFormat::cells;
    plan.layout = *cells;
    const auto chosen = style_named(style.value_or("c"));
    if (!chosen) return "unknown style \"" + *style + "\"; the styles are " + kStyleNames;
    plan.style = *chosen;
    if (plan.compress && !c_flavour(plan.style))
        return "--compress rle writes C arrays with their decoder: it takes --style c, arduino "
               "or u8g2";
    return std::nullopt;
}

std::optional<std::string> choose_rendering(const Arguments& a, fonts::RenderOptions& render) {
    if (const auto size = a.value("--size")) {
        const auto n = whole_number(*size);
        if (!n || *n < fonts::kMinSize || *n > fonts::kMaxSize)
            return "--size takes a pixel size from " + std::to_string(fonts::kMinSize) + " to " +
                   std::to_string(fonts::kMaxSize) + ", not \"" + *size + "\"";
        render.size = int(*n);
    }
    if (const auto hinting = a.value("--hinting")) {
        if (*hinting != "mono" && *hinting != "none")
            return "--hinting takes mono or none, not \"" + *hinting + "\"";
        render.hinting = *hinting == "none" ? fonts::Hinting::none : fonts::Hinting::mono;
    }
    render.antialias = a.has("--antialias");
    if (const auto threshold = a.value("--threshold")) {
        if (!render.antialias) return std::string("--threshold goes with --antialias");
        const auto n = whole_number(*threshold);
        if (!n || *n < 1 || *n > 255)
            return "--threshold takes a grey level from 1 to 255, not \"" + *threshold + "\"";
        render.threshold = int(*n);
    }
    return std::nullopt;
}

std::optional<std::string> choose_characters(const Arguments& a, FontRequest& r,
                                             bool preview_asked) {
    const auto chars = a.value("--chars"), text = a.value("--text");
    if (chars && text) return std::string("give --chars or --text, not both");
    const fonts::Characters codes = text    ? fonts::characters_of_text(*text)
                                    : chars ? fonts::parse_ranges(*chars)
                                            : fonts::parse_ranges("32-126");
    if (const auto* problem = std::get_if<std::string>(&codes)) return *problem;
    r.codes = std::get<std::vector<char32_t>>(codes);
    if (const auto missing = a.value("--missing")) {
        if (*missing != "fail" && *missing != "skip")
            return "--missing takes fail or skip, not \"" + *missing + "\"";
        r.skip_missing = *missing == "skip";
    }
    if (const auto line = a.value("--preview-text")) {
        if (!preview_asked) return std::string("--preview-text goes with --preview OUT.png");
        r.preview_text = fonts::decode_utf8(*line);
        if (!r.preview_text) return std::string("--preview-text is not valid UTF-8");
    } else if (preview_asked) {
        r.preview_text = std::u32string(
            r.codes.begin(),
            r.codes.begin() + std::min<std::ptrdiff_t>(std::ptrdiff_t(r.codes.size()), 64));
    }
    return std::nullopt;
}

FontMade refused(Outcome why) {
    FontMade made;
    made.error = std::move(why.error);
    made.fault = why.fault;
    return made;
}

// Every lacking character in one message, the first 24 by name.
std::string missing_message(const std::vector<char32_t>& missing, const std::string& file_name,
                            bool skipped) {
    std::string text = quoted_name(file_name) + " lacks " + std::to_string(missing.size()) +
                       " of the characters asked for:";
    for (std::size_t i = 0; i < missing.size() && i < 24; ++i)
        text += (i ? ", " : " ") + fonts::code_name(missing[i]);
    if (missing.size() > 24) text += " and " + std::to_string(missing.size() - 24) + " more";
    return text + (skipped ? "; they are left out"
                           : "; nothing is written (--missing skip leaves them out)");
}

} // namespace

std::span<const OptionSpec> font_options() {
    return kFont;
}

std::variant<FontRequest, Outcome> plan_font(const Arguments& a, const std::string& file_name,
                                             bool preview_asked) {
    FontRequest r;
    std::optional<std::string> problem = choose_target(a, r.plan);
    if (!problem) problem = choose_rendering(a, r.render);
    if (!problem) problem = choose_characters(a, r, preview_asked);
    if (problem) return usage_error(*problem);
    r.plan.source = file_name;
    // "6x13.pcf.gz" is named as "6x13.pcf" would be.
    std::string path = file_name;
    if (path.size() > 3 && path.ends_with(".gz")) path.resize(path.size() - 3);
    r.plan.name = a.value("--name").value_or(default_name(path));
    if (r.plan.format != FontFormat::python)
        if (auto bad = name_problem(r.plan.format == FontFormat::gfx ? Style::c : r.plan.style,
                                    r.plan.name))
            return usage_error(*bad);
    auto preview = preview_options(a);
    if (auto* refused = std::get_if<Outcome>(&preview)) return *refused;
    return r;
}

FontMade make_font(const FontRequest& r, std::span<const std::uint8_t> font_file,
                   const std::string& file_name) {
    FontMade made;
    fonts::FontPlan plan = r.plan;
    plan.file_size = font_file.size();
    fonts::FontRead read = fonts::read_font(font_file, r.codes, r.render, quoted_name(file_name));
    if (read.error) {
        made.error = *read.error;
        made.fault = Fault::input;
        return made;
    }
    if (!read.missing.empty()) {
        const std::string message = missing_message(read.missing, file_name, r.skip_missing);
        if (!r.skip_missing) return refused(input_error(message));
        made.warning = message;
    }
    if (read.set.glyphs.empty())
        return refused(input_error("no character asked for is in " + quoted_name(file_name) +
                                   "; nothing is written"));
    auto output = fonts::font_output(read.set, plan, r.preview_text);
    if (const auto* problem = std::get_if<std::string>(&output))
        return refused(input_error(*problem));
    auto& written = std::get<fonts::FontOutput>(output);
    if (written.preview && (written.preview->width == 0 || written.preview->height == 0))
        return refused(input_error("the preview text holds no character of the font"));
    made.data = std::move(written.data);
    made.preview = std::move(written.preview);
    return made;
}

FontSheet font_sheet(const Arguments& a, std::string_view c_source) {
    FontSheet made;
    const auto scale = picture_scale(a.value("--render-scale"), "--render-scale", 1);
    if (const auto* problem = std::get_if<std::string>(&scale)) {
        made.error = *problem, made.fault = Fault::usage;
        return made;
    }
    made.scale = std::get<int>(scale);
    auto found = fonts::find_source_font(c_source, a.value("--name"));
    if (const auto* problem = std::get_if<std::string>(&found)) {
        made.error = *problem, made.fault = Fault::input;
        return made;
    }
    const auto& font = std::get<fonts::SourceFont>(found);
    made.name = font.name;
    auto sheet = fonts::font_sheet(font);
    if (const auto* problem = std::get_if<std::string>(&sheet)) {
        made.error = *problem, made.fault = Fault::input;
        return made;
    }
    made.bits = std::move(std::get<fonts::Sheet>(sheet).bits);
    made.glyphs = std::get<fonts::Sheet>(sheet).glyphs;
    return made;
}

FontMade font(const Options& options, std::span<const std::uint8_t> font_file,
              const std::string& file_name) {
    auto a = arguments_of(kFont, options);
    if (auto* problem = std::get_if<Outcome>(&a)) return refused(*problem);
    const Arguments& args = std::get<Arguments>(a);
    if (args.value("-o") || args.value("--preview"))
        return refused(usage_error("-o and --preview name files, which the front end writes"));
    auto request = plan_font(args, file_name, args.value("--preview-text").has_value());
    if (auto* problem = std::get_if<Outcome>(&request)) return refused(*problem);
    return make_font(std::get<FontRequest>(request), font_file, file_name);
}

} // namespace dotlane::engine
