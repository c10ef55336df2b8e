// The font reader over arbitrary bytes, as the font command gives it a file's bytes: every
// answer is glyphs within their set's ascent and descent, or a refusal with its reason;
// the glyphs then go through every format and its decoder, which must draw the set's own line.
// The bytes are also read as C source declaring a font, as render --font reads a header.
#include <cstdint>

#include "fonts/cell_table.h"
#include "fonts/font_outputs.h"
#include "fonts/font_reader.h"
#include "fonts/font_sheet.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace dotlane;
    static const std::vector<char32_t> codes = {' ', '0', '1', 'A', 'g', 'j', 0xB0};
    // The first byte picks the rendering, so every path of the reader is reached.
    fonts::RenderOptions options;
    if (size > 0) {
        options.size = 4 + data[0] % 40;
        options.antialias = data[0] & 0x40;
        options.hinting = data[0] & 0x80 ? fonts::Hinting::none : fonts::Hinting::mono;
        ++data;
        --size;
    }
    // The same bytes as C source for render --font: a font found draws its sheet, within
    // its bound, or is refused with why.
    const auto found = fonts::find_source_font({reinterpret_cast<const char*>(data), size}, {});
    if (const auto* font = std::get_if<fonts::SourceFont>(&found)) {
        const auto sheet = fonts::font_sheet(*font);
        if (const auto* drawn = std::get_if<fonts::Sheet>(&sheet))
            FUZZ_CHECK(drawn->bits.width <= 4096 * 4096 / std::max(drawn->bits.height, 1));
    }
    const fonts::FontRead read = fonts::read_font({data, size}, codes, options, "fuzz");
    if (read.error) {
        FUZZ_CHECK(!read.error->empty());
        return 0;
    }
    FUZZ_CHECK(read.set.glyphs.size() + read.missing.size() == codes.size());
    for (const fonts::Glyph& g : read.set.glyphs) {
        FUZZ_CHECK(g.top <= read.set.ascent && g.bits.height - g.top <= read.set.descent);
        FUZZ_CHECK(g.bits.bits.size() == std::size_t(g.bits.width) * std::size_t(g.bits.height));
    }
    if (read.set.glyphs.empty()) return 0;
    const std::u32string line = U"0A1gj ";
    using fonts::FontFormat;
    for (const auto format : {FontFormat::python, FontFormat::cells, FontFormat::u8g2}) {
        const fonts::FontPlan plan{format, BitLayout::pages_lsb, Style::c, "font", "fuzz", size};
        const auto made = fonts::font_output(read.set, plan, line);
        // u8g2's fields are narrow: a refusal says why; the others take any glyphs.
        if (const auto* problem = std::get_if<std::string>(&made)) {
            FUZZ_CHECK(format == FontFormat::u8g2 && !problem->empty());
            continue;
        }
        const Bitmap& drawn = *std::get<fonts::FontOutput>(made).preview;
        const int cell =
            format == FontFormat::cells ? fonts::make_cells(read.set, plan.layout).cell_width : 0;
        FUZZ_CHECK(drawn ==
                   fonts::draw_glyphs(read.set, line, fonts::text_box(read.set, line, cell), cell));
    }
    return 0;
}
