// The font command: a font file (TrueType, OpenType, BDF, PCF, gzip-compressed too) made into
// the font data of a draw call, or into cells in one of the layouts; the characters it lacks
// named in one message; and a line of text drawn back from the data written. preview --font
// draws that line in the terminal, render --font the glyphs of a font header in a sheet.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <ostream>
#include <unistd.h>

#include "back/terminal_text.h"
#include "cli/commands.h"
#include "cli/picture_output.h"
#include "cli/preview.h"
#include "cli/support.h"
#include "engine/font.h"
#include "shared/text.h"
#include "write/output_file.h"

namespace dotlane::cli {

namespace {

std::optional<std::vector<std::uint8_t>> font_bytes(const std::string& path, std::ostream& err) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        err << "cannot open " << quoted_name(path) << "\n";
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes;
    char buffer[65536];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        bytes.insert(bytes.end(), buffer, buffer + file.gcount());
        if (bytes.size() > fonts::kMaxFontBytes) {
            err << quoted_name(path) << " is larger than 64 MiB, more than any font for a small "
                << "display\n";
            return std::nullopt;
        }
    }
    if (file.bad()) {
        err << "cannot read " << quoted_name(path) << "\n";
        return std::nullopt;
    }
    return bytes;
}

// The preview line as a one-picture conversion, which preview's PNG and terminal text take.
Conversion line_conversion(const Bitmap& line) {
    Conversion c;
    c.width = line.width;
    c.height = line.height;
    c.rows = line.height;
    c.listing.bytes = layout_bytes(line, BitLayout::rows_msb);
    return c;
}

// The font read and made, its warning said; the status when it was refused.
std::variant<engine::FontMade, int> made_font(const Arguments& a, const std::string& path,
                                              bool preview_asked, std::ostream& err) {
    auto request = engine::plan_font(a, path, preview_asked);
    if (auto* problem = std::get_if<engine::Outcome>(&request)) return fault(*problem, err);
    const auto bytes = font_bytes(path, err);
    if (!bytes) return kBadInput;
    engine::FontMade made = engine::make_font(std::get<engine::FontRequest>(request), *bytes, path);
    if (!made.ok()) return fault(made, err);
    if (made.warning) err << *made.warning << "\n";
    return made;
}

} // namespace

int font_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto table = engine::font_options();
    const Arguments a = parse(args, engine::flag_names(table), engine::valued_names(table));
    if (a.error) return usage(err, *a.error);
    if (a.operands.size() != 1) return usage(err, "give exactly one font file");
    // Raw cells would only garble a terminal, as convert's raw bytes would.
    const auto* descriptor = dynamic_cast<const DescriptorOutput*>(out.rdbuf());
    if (a.value("--style") == "bin" && a.value("-o").value_or("-") == "-" && descriptor &&
        ::isatty(descriptor->fd()))
        return usage(err, "--style bin writes raw bytes, which a terminal cannot show; give -o "
                          "FILE or send standard output to a file or a pipe");
    const auto preview = engine::preview_options(a);
    if (auto* problem = std::get_if<engine::Outcome>(&preview)) return fault(*problem, err);
    const auto& options = std::get<engine::PreviewOptions>(preview);
    auto made = made_font(a, a.operands[0], options.path.has_value(), err);
    if (const int* status = std::get_if<int>(&made)) return *status;
    const engine::FontMade& font = std::get<engine::FontMade>(made);
    std::optional<std::vector<std::uint8_t>> png;
    if (font.preview) {
        auto drawn = preview_png(line_conversion(*font.preview), options);
        if (const auto* problem = std::get_if<std::string>(&drawn)) {
            err << *problem << "\n";
            return kBadInput;
        }
        png = std::move(std::get<std::vector<std::uint8_t>>(drawn));
    }
    // A file that already holds the data is left untouched, so a build does not compile
    // again what includes it.
    const auto path = a.value("-o");
    if (path && *path != "-") {
        const auto* data = reinterpret_cast<const std::uint8_t*>(font.data.data());
        if (const auto error = write_file_unless_same(*path, {data, font.data.size()})) {
            err << *error << "\n";
            return kBadInput;
        }
    } else if (const int status = emit(font.data, a, out, err)) {
        return status;
    }
    return png ? write_preview(*png, *options.path, out, err) : kOk;
}

// preview --font FONT: the preview line in the terminal, read back from the data the font's
// options would write, which is not written.
bool names_font(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(), [](const std::string& arg) {
        return arg == "--font" || arg.starts_with("--font=");
    });
}

int font_preview_command(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err) {
    std::vector<engine::OptionSpec> table(engine::font_options().begin(),
                                          engine::font_options().end());
    std::erase_if(table, [](const engine::OptionSpec& s) {
        return s.name.starts_with("preview") || s.name == "style" || s.name == "compress";
    });
    table.push_back({"font", engine::ValueKind::file, "", "the font file"});
    table.push_back({"preview-text", engine::ValueKind::text, "", "the line drawn"});
    table.push_back({"ascii", engine::ValueKind::flag, "", "# and . instead of blocks"});
    const Arguments a = parse(args, engine::flag_names(table), engine::valued_names(table));
    if (a.error) return usage(err, *a.error);
    if (!a.value("--font")) return usage(err, "preview --font FILE needs the font's file");
    if (!a.operands.empty())
        return usage(err, "preview --font takes no picture; --preview-text gives the line");
    auto made = made_font(a, *a.value("--font"), true, err);
    if (const int* status = std::get_if<int>(&made)) return *status;
    const Bitmap& line = *std::get<engine::FontMade>(made).preview;
    return emit(terminal_text(line, a.has("--ascii")), a, out, err);
}

// render --font FILE.h OUT.png: the glyphs of the font the C source declares, in a sheet.
int font_sheet_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments a = parse(args, {}, {"--font", "--name", "-o", "--render-scale"});
    if (a.error) return usage(err, *a.error);
    // "--font=..." may have been the value of another option, -o's say.
    if (!a.value("--font")) return usage(err, "render --font FILE.h needs the font's file");
    const auto path = a.value("-o")            ? a.value("-o")
                      : a.operands.size() == 1 ? std::optional(a.operands[0])
                                               : std::nullopt;
    if (!path || a.operands.size() > (a.value("-o") ? 0u : 1u))
        return usage(err, "render --font FILE.h takes one picture file to write: OUT.png or -o "
                          "OUT.png");
    const auto bytes = font_bytes(*a.value("--font"), err);
    if (!bytes) return kBadInput;
    const std::string text(bytes->begin(), bytes->end());
    engine::FontSheet sheet = engine::font_sheet(a, text);
    if (!sheet.ok()) {
        if (sheet.fault == engine::Fault::input)
            sheet.error = quoted_name(*a.value("--font")) + ": " + *sheet.error;
        return fault(sheet, err);
    }
    if (!enlarge(sheet.bits.bits, sheet.bits.width, sheet.bits.height, sheet.scale,
                 "--render-scale", err))
        return kBadInput;
    const auto file = bitmap_file(std::move(sheet.bits), false, *path, err);
    return file ? emit_file(*file, *path, out, err) : kBadInput;
}

} // namespace dotlane::cli

namespace dotlane::cli {

std::string font_help() {
    return R"(Usage: dotlane-cli font --target T [--size N] [--chars RANGES | --text TEXT]
                        [--missing fail|skip] [--hinting mono|none]
                        [--antialias [--threshold N]] [--style S] [--layout L]
                        [--compress rle]
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
  --compress rle   (cells in --style c, arduino or u8g2) run-length encoded, with the
                   decoder's C text and NAME_decoded_size, as convert --compress rle
  --name NAME      the declarations' name (default: the font file's name)
  --preview OUT.png  also draw a line of text from the data written, read back as the
                   draw call reads it; --preview-text TEXT is the line (default: the
                   characters, up to 64); --preview-scale and --preview-look as for convert
)";
}

} // namespace dotlane::cli
