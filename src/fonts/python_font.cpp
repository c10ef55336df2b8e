#include "python_font.h"

#include <algorithm>
#include <cstdio>

#include "characters.h"
#include "layout/unpack.h"

namespace dotlane::fonts {

PackedFont pack_font(const GlyphSet& set, BitLayout layout) {
    PackedFont font{layout, {}, {}, set.ascent + set.descent, set.ascent, set.line_height};
    for (const Glyph& g : set.glyphs) {
        const std::vector<std::uint8_t> bytes = g.bits.width && g.bits.height
                                                    ? layout_bytes(g.bits, layout)
                                                    : std::vector<std::uint8_t>{};
        font.glyphs.push_back({g.code, font.bytes.size(), bytes.size(), g.bits.width, g.bits.height,
                               g.left, set.ascent - g.top, g.advance});
        font.bytes.insert(font.bytes.end(), bytes.begin(), bytes.end());
    }
    return font;
}

// The module reads its glyphs through memoryview slices, so no glyph is copied until a
// FrameBuffer needs a bytearray of its own.
std::string python_module(const PackedFont& font, std::string_view format,
                          const std::string& about) {
    std::string text = "# " + about +
                       "\n# glyph(ch): (bytes, width, height, x_offset, "
                       "y_offset, advance) or None; the bytes are a framebuf." +
                       std::string(format) +
                       " picture, drawn with its top-left pixel at the pen plus the offsets,\n"
                       "# the pen at the line's top; text(fb, s, x, y) draws a line.\n"
                       "import framebuf\n\n";
    text += "HEIGHT = " + std::to_string(font.height) +
            "\nBASELINE = " + std::to_string(font.baseline) +
            "\nLINE_HEIGHT = " + std::to_string(font.line_height) + "\nFORMAT = framebuf." +
            std::string(format) + "\n\n_DATA = (";
    for (std::size_t i = 0; i < font.bytes.size(); ++i) {
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02X", font.bytes[i]);
        text += i % 16 == 0 ? (i ? "'\n    b'" : "\n    b'") : "";
        text += escape;
    }
    text += font.bytes.empty() ? "b''\n)\n" : "'\n)\n";
    text += "\n# code: (offset, length, width, height, x_offset, y_offset, advance)\n_GLYPHS = {\n";
    for (const PackedGlyph& g : font.glyphs) {
        char line[128];
        std::snprintf(line, sizeof line, "    %u: (%zu, %zu, %d, %d, %d, %d, %d),  # ",
                      unsigned(g.code), g.offset, g.length, g.width, g.height, g.x_offset,
                      g.y_offset, g.advance);
        text += line + code_name(g.code) + "\n";
    }
    text += "}\n\n_VIEW = memoryview(_DATA)\n\n\n"
            "def glyph(ch):\n"
            "    g = _GLYPHS.get(ord(ch))\n"
            "    if g is None:\n"
            "        return None\n"
            "    return (_VIEW[g[0]:g[0] + g[1]],) + g[2:]\n\n\n"
            "def text(fb, s, x, y, key=0):\n"
            "    for ch in s:\n"
            "        g = _GLYPHS.get(ord(ch))\n"
            "        if g is None:\n"
            "            continue\n"
            "        if g[2] and g[3]:\n"
            "            pixels = bytearray(_VIEW[g[0]:g[0] + g[1]])\n"
            "            fb.blit(framebuf.FrameBuffer(pixels, g[2], g[3], FORMAT), x + g[4], "
            "y + g[5], key)\n"
            "        x += g[6]\n"
            "    return x\n";
    return text;
}

Bitmap draw_packed(const PackedFont& font, std::u32string_view text, const TextBox& box) {
    Bitmap canvas(box.width, box.height);
    int pen = 0;
    const int top = box.baseline - font.baseline;
    for (const char32_t c : text) {
        const auto found =
            std::lower_bound(font.glyphs.begin(), font.glyphs.end(), c,
                             [](const PackedGlyph& g, char32_t code) { return g.code < code; });
        if (found == font.glyphs.end() || found->code != c) continue;
        const Bitmap bits = unpack_bits({font.bytes.data() + found->offset, found->length},
                                        font.layout, found->width, found->height);
        for (int y = 0; y < bits.height; ++y)
            for (int x = 0; x < bits.width; ++x)
                if (bits.at(x, y))
                    plot(canvas, pen + found->x_offset + x, top + found->y_offset + y);
        pen += found->advance;
    }
    return canvas;
}

} // namespace dotlane::fonts
