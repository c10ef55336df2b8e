#pragma once
// The engine's font call: a font file's bytes made into the font data of a draw call, or
// into fixed cells, and a line of text read back from that data. It lives in the dotlane_fonts
// library (src/fonts and this call), which brings FreeType; the rest of the engine does not
// need it. dotlane-cli's font and preview --font commands are thin over it.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "engine/options.h"
#include "fonts/font_outputs.h"
#include "fonts/font_reader.h"
#include "fonts/font_sheet.h"

namespace dotlane::engine {

// font's options, named as convert's are.
std::span<const OptionSpec> font_options();

// What the options ask for, checked before any font is read.
struct FontRequest {
    fonts::FontPlan plan;
    fonts::RenderOptions render;
    std::vector<char32_t> codes;
    bool skip_missing = false;
    std::optional<std::u32string> preview_text; // the line to read back, when one is asked for
};

// The request, or wrong usage. `file_name` is the font's path, for the default name and the
// comments; `preview_asked` is whether the front end will show a preview line.
std::variant<FontRequest, Outcome> plan_font(const Arguments& a, const std::string& file_name,
                                             bool preview_asked);

struct FontMade : Outcome {
    std::string data;                   // the text, or with --style bin the raw cells
    std::optional<Bitmap> preview;      // the preview line as the draw call reads the data back
    std::optional<std::string> warning; // the characters left out with "missing" "skip"
};

// The font made from `font_file`'s bytes; `file_name` names it in messages.
FontMade make_font(const FontRequest& request, std::span<const std::uint8_t> font_file,
                   const std::string& file_name);

// render --font: every glyph of the GFXfont or u8g2 font that C source declares ("name"
// picks one of several), in a sheet under their code points; "render-scale" as for render.
struct FontSheet : Outcome {
    Bitmap bits;
    std::size_t glyphs = 0;
    std::string name; // the font drawn
    int scale = 1;
};
FontSheet font_sheet(const Arguments& a, std::string_view c_source);

// Both in one, for a front end without a command line: options named without dashes.
FontMade font(const Options& options, std::span<const std::uint8_t> font_file,
              const std::string& file_name);

} // namespace dotlane::engine
