#pragma once
// What the font stage writes for each target: the text (or the raw cells), and the preview
// line drawn back from that very data by the format's own decoder. The formats themselves are
// in gfx_font.h, u8g2_font.h, python_font.h and cell_table.h; the cells are declared by
// src/declare's styles.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>

#include "declare/styles.h"
#include "fonts/glyphs.h"
#include "layout/layouts.h"

namespace dotlane::fonts {

enum class FontFormat { gfx, python, cells, u8g2 };

struct FontPlan {
    FontFormat format = FontFormat::cells;
    BitLayout layout = BitLayout::rows_msb; // of the cells, or of the MicroPython glyphs
    Style style = Style::c;                 // of the cells
    std::string name;                       // of the declarations
    std::string source;                     // the font file, for the comments
    std::uint64_t file_size = 0;            // its bytes, as read
    bool compress = false;                  // cells run-length encoded, with the decoder
};

struct FontOutput {
    std::string data;
    std::optional<Bitmap> preview; // when a preview text was given
};

// The output, or why the format cannot hold these glyphs.
std::variant<FontOutput, std::string> font_output(const GlyphSet& set, const FontPlan& plan,
                                                  const std::optional<std::u32string>& preview);

} // namespace dotlane::fonts
