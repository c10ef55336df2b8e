// The font command: a font file (TrueType, OpenType, BDF, PCF, gzip-compressed too) made into
// the font data of a draw call, or into cells in one of the layouts; the characters it lacks
// named in one message; and a line of text drawn back from the data written.
#include <fstream>
#include <iterator>
#include <ostream>
#include <unistd.h>

#include "commands.h"
#include "font_outputs.h"
#include "fonts/characters.h"
#include "fonts/font_reader.h"
#include "preview.h"
#include "shared/text.h"

namespace dotlane::cli {

namespace {

constexpr const char* kTargetNames = "adafruit-gfx, u8g2, micropython, rows-msb, rows-lsb, "
                                     "pages-lsb or pages-msb";

struct FontRequest {
    FontPlan plan;
    fonts::RenderOptions render;
    std::vector<char32_t> codes;
    bool skip_missing = false;
    std::optional<std::u32string> preview_text;
    PreviewOptions preview;
};

std::optional<std::string> choose_target(const Arguments& a, FontPlan& plan) {
    const auto target = a.value("--target");
    if (!target) return "give --target: " + std::string(kTargetNames);
    const auto style = a.value("--style");
    const auto layout = a.value("--layout");
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

std::optional<std::string> choose_characters(const Arguments& a, FontRequest& r) {
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
        if (!a.value("--preview")) return std::string("--preview-text goes with --preview OUT.png");
        r.preview_text = fonts::decode_utf8(*line);
        if (!r.preview_text) return std::string("--preview-text is not valid UTF-8");
    } else if (a.value("--preview")) {
        r.preview_text = std::u32string(
            r.codes.begin(),
            r.codes.begin() + std::min<std::ptrdiff_t>(std::ptrdiff_t(r.codes.size()), 64));
    }
    return std::nullopt;
}

std::variant<FontRequest, int> font_request(const Arguments& a, std::ostream& err) {
    FontRequest r;
    if (a.operands.size() != 1) return usage(err, "give exactly one font file");
    std::optional<std::string> problem = choose_target(a, r.plan);
    if (!problem) problem = choose_rendering(a, r.render);
    if (!problem) problem = choose_characters(a, r);
    if (problem) return usage(err, *problem);
    r.plan.source = a.operands[0];
    // "6x13.pcf.gz" is named as "6x13.pcf" would be.
    std::string path = a.operands[0];
    if (path.size() > 3 && path.ends_with(".gz")) path.resize(path.size() - 3);
    r.plan.name = a.value("--name").value_or(default_name(path));
    if (r.plan.format != FontFormat::python)
        if (auto bad = name_problem(r.plan.format == FontFormat::gfx ? Style::c : r.plan.style,
                                    r.plan.name))
            return usage(err, *bad);
    auto preview = preview_options(a, err);
    if (std::holds_alternative<int>(preview)) return std::get<int>(preview);
    r.preview = std::get<PreviewOptions>(preview);
    return r;
}

std::optional<std::vector<std::uint8_t>> font_bytes(const std::string& path, std::ostream& err) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        err << "dotlane-cli: cannot open " << quoted_name(path) << "\n";
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    char buffer[65536];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        bytes.insert(bytes.end(), buffer, buffer + file.gcount());
        if (bytes.size() > fonts::kMaxFontBytes) {
            err << "dotlane-cli: " << quoted_name(path) << " is larger than 64 MiB, more than "
                << "any font for a small display\n";
            return std::nullopt;
        }
    }
    if (file.bad()) {
        err << "dotlane-cli: cannot read " << quoted_name(path) << "\n";
        return std::nullopt;
    }
    return bytes;
}

// Every lacking character in one message, the first 24 by name.
void tell_missing(const std::vector<char32_t>& missing, const std::string& path, bool skipped,
                  std::ostream& err) {
    err << "dotlane-cli: " << quoted_name(path) << " lacks " << missing.size() << " of the "
        << "characters asked for:";
    for (std::size_t i = 0; i < missing.size() && i < 24; ++i)
        err << (i ? ", " : " ") << fonts::code_name(missing[i]);
    if (missing.size() > 24) err << " and " << missing.size() - 24 << " more";
    err << (skipped ? "; they are left out\n"
                    : "; nothing is written (--missing skip leaves them out)\n");
}

std::variant<std::vector<std::uint8_t>, std::string> preview_of(const Bitmap& line,
                                                                const PreviewOptions& options) {
    if (line.width == 0 || line.height == 0)
        return std::string("the preview text holds no character of the font");
    Conversion c;
    c.width = line.width;
    c.height = line.height;
    c.rows = line.height;
    c.listing.bytes = layout_bytes(line, BitLayout::rows_msb);
    return preview_png(c, options);
}

} // namespace

int font_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments a = parse(args, {"--antialias"},
                              {"--target", "--size", "--chars", "--text", "--name", "-o", "--style",
                               "--layout", "--missing", "--threshold", "--hinting", "--preview",
                               "--preview-text", "--preview-scale", "--preview-look"});
    if (a.error) return usage(err, *a.error);
    auto requested = font_request(a, err);
    if (std::holds_alternative<int>(requested)) return std::get<int>(requested);
    const FontRequest& r = std::get<FontRequest>(requested);
    // Raw cells would only garble a terminal, as convert's raw bytes would.
    const auto* descriptor = dynamic_cast<const DescriptorOutput*>(out.rdbuf());
    if (r.plan.format == FontFormat::cells && r.plan.style == Style::bin &&
        a.value("-o").value_or("-") == "-" && descriptor && ::isatty(descriptor->fd()))
        return usage(err, "--style bin writes raw bytes, which a terminal cannot show; give -o "
                          "FILE or send standard output to a file or a pipe");

    const auto bytes = font_bytes(a.operands[0], err);
    if (!bytes) return kBadInput;
    FontPlan plan = r.plan;
    plan.file_size = bytes->size();
    fonts::FontRead read = fonts::read_font(*bytes, r.codes, r.render, quoted_name(a.operands[0]));
    if (read.error) {
        err << "dotlane-cli: " << *read.error << "\n";
        return kBadInput;
    }
    if (!read.missing.empty()) {
        tell_missing(read.missing, a.operands[0], r.skip_missing, err);
        if (!r.skip_missing) return kBadInput;
    }
    if (read.set.glyphs.empty()) {
        err << "dotlane-cli: no character asked for is in " << quoted_name(a.operands[0])
            << "; nothing is written\n";
        return kBadInput;
    }
    auto made = font_output(read.set, plan, r.preview_text);
    if (const auto* problem = std::get_if<std::string>(&made)) {
        err << "dotlane-cli: " << *problem << "\n";
        return kBadInput;
    }
    const FontOutput& output = std::get<FontOutput>(made);
    std::optional<std::vector<std::uint8_t>> png;
    if (output.preview) {
        auto drawn = preview_of(*output.preview, r.preview);
        if (const auto* problem = std::get_if<std::string>(&drawn)) {
            err << "dotlane-cli: " << *problem << "\n";
            return kBadInput;
        }
        png = std::move(std::get<std::vector<std::uint8_t>>(drawn));
    }
    if (const int status = emit(output.data, a, out, err)) return status;
    return png ? write_preview(*png, *r.preview.path, out, err) : kOk;
}

} // namespace dotlane::cli

namespace dotlane::cli {

std::string font_help() {
    return R"(Usage: dotlane-cli font --target T [--size N] [--chars RANGES | --text TEXT]
                        [--missing fail|skip] [--hinting mono|none]
                        [--antialias [--threshold N]] [--style S] [--layout L]
                        [--name NAME] [--preview OUT.png [--preview-text TEXT]
                        [--preview-scale N] [--preview-look LOOK]] [-o OUT] FONT

Makes the glyphs of FONT (TrueType, OpenType, BDF or PCF, also gzip-compressed) into
the font data that draw call T reads, or into fixed cells in a layout. Outline fonts are
drawn at --size pixels with FreeType's monochrome hinting, crisp at small sizes; bitmap
fonts are taken pixel for pixel with their own metrics (--size picks a strike).

Options:
  --target T       adafruit-gfx  a GFXfont in PROGMEM for setFont() and print() (codes
                                 up to 0xFF, one byte a character)
                   u8g2          a font in u8g2's own format for setFont(), drawn with
                                 drawStr() or, past 0x7F, drawUTF8() (codes up to 0xFFFF)
                   micropython   a module: glyph(ch) gives a glyph's bytes, width and
                                 height for framebuf (MONO_HLSB; --layout rows-lsb gives
                                 MONO_HMSB, pages-lsb MONO_VLSB), text() draws a line
                   rows-msb, rows-lsb, pages-lsb, pages-msb   fixed cells in that layout
                                 (below), each the widest glyph wide and the ascent and
                                 descent high, in code order, declared in --style S
                                 (default c) with NAME_first, NAME_count, NAME_cell_width,
                                 NAME_cell_height, NAME_cell_bytes, NAME_baseline, and
                                 NAME_codes when the codes have gaps; --style bin writes the
                                 cells alone, hex the bare listing
  --size N         the pixel size, 4 to 255 (outline fonts need it)
  --chars RANGES   code points and ranges, decimal or 0x hex: 32-126,0xB0,0x2026 (the
                   default is 32-126; at most 65536 characters)
  --text TEXT      the characters of TEXT (UTF-8) instead
  --missing fail|skip  characters the font lacks are named in one message; fail (the
                   default) then writes nothing, skip leaves them out
  --hinting none   outlines as they are, without hinting
  --antialias      FreeType's grey rendering, a pixel set from --threshold N (1 to 255,
                   default 128) on
  --name NAME      the declarations' name (default: the font file's name)
  --preview OUT.png  also draw a line of text from the data written, read back as the
                   draw call reads it; --preview-text TEXT is the line (default: the
                   characters, up to 64); --preview-scale and --preview-look as for convert
)";
}

} // namespace dotlane::cli
