#include "font_outputs.h"

#include "declare/bundle.h"
#include "declare/c_array.h"
#include "declare/targets.h"
#include "fonts/cell_table.h"
#include "fonts/gfx_font.h"
#include "fonts/python_font.h"
#include "fonts/u8g2_font.h"

namespace dotlane::fonts {

namespace {

const char* framebuf_format(BitLayout layout) {
    switch (layout) {
    case BitLayout::pages_lsb:
        return "MONO_VLSB";
    case BitLayout::rows_lsb:
        return "MONO_HMSB";
    default:
        return "MONO_HLSB";
    }
}

// The facts of the cells as the style's language names constants.
std::string cell_facts(const CellTable& t, Style style, const std::string& name) {
    const std::pair<const char*, std::size_t> facts[] = {
        {"_first", t.codes.front()},
        {"_count", t.codes.size()},
        {"_cell_width", std::size_t(t.cell_width)},
        {"_cell_height", std::size_t(t.cell_height)},
        {"_cell_bytes", t.cell_bytes},
        {"_baseline", std::size_t(t.ascent)}};
    std::string text;
    for (const auto& [suffix, value] : facts) {
        const std::string n = name + suffix, v = std::to_string(value);
        text += style == Style::python ? n + " = " + v + "\n"
                : style == Style::assembly
                    ? "    .global " + n + "\n    .set " + n + ", " + v + "\n"
                    : "#define " + n + " " + v + "\n";
    }
    if (t.contiguous()) return text;
    // Codes with gaps between them: the code of each cell, in order.
    std::string list;
    for (std::size_t i = 0; i < t.codes.size(); ++i)
        list += (i ? i % 12 ? ", " : ",\n    " : "    ") + std::to_string(t.codes[i]);
    if (style == Style::python) return text + name + "_codes = (\n" + list + ",\n)\n";
    if (style == Style::assembly)
        return text + "    .global " + name + "_codes\n" + name + "_codes:\n    .long " + list +
               "\n";
    const CFlavour flavour = c_flavour(style).value_or(kPlainC);
    return text + "const unsigned long " + name + "_codes[]" + std::string(flavour.attribute) +
           " = {\n" + list + "\n};\n";
}

std::string cells_text(const CellTable& t, const FontPlan& plan, const std::string& about) {
    if (plan.style == Style::bin) return {t.bytes.begin(), t.bytes.end()};
    if (plan.style == Style::hex) {
        std::string text;
        append_byte_lines(text, t.bytes);
        return text;
    }
    const CArray array{.name = plan.name,
                       .source = plan.source,
                       .file_size = plan.file_size,
                       .width = t.cell_width,
                       .height = t.cell_rows * int(t.codes.size()),
                       .rows = t.cell_rows * int(t.codes.size()),
                       .layout = layout_name(t.layout),
                       .layout_description = layout_description(t.layout),
                       .bytes = t.bytes};
    std::string text;
    if (plan.compress) {
        BundleWriter writer({.compress = true,
                             .table = std::nullopt,
                             .flavour = c_flavour(plan.style).value_or(kPlainC)},
                            [&](std::string_view piece) { text += piece; });
        writer.add({array, {}});
        writer.finish();
    } else {
        text = declaration_text(plan.style, array);
    }
    const std::string mark = plan.style == Style::python ? "# " : "// ";
    return text + "\n" + mark + about + ": a cell of " + std::to_string(t.cell_width) + " x " +
           std::to_string(t.cell_height) + " pixels a character, in code order\n" +
           cell_facts(t, plan.style, plan.name);
}

} // namespace

std::variant<FontOutput, std::string> font_output(const GlyphSet& set, const FontPlan& plan,
                                                  const std::optional<std::u32string>& preview) {
    FontOutput output;
    const std::string about = "dotlane-cli font: " + set.description + ", " +
                              std::to_string(set.glyphs.size()) + " characters";
    switch (plan.format) {
    case FontFormat::gfx: {
        auto made = make_gfx(set);
        if (const auto* problem = std::get_if<std::string>(&made)) return *problem;
        const auto& font = std::get<GfxFont>(made);
        output.data = gfx_text(font, plan.name, about);
        if (preview) output.preview = draw_gfx(font, *preview, text_box(set, *preview));
        break;
    }
    case FontFormat::u8g2: {
        auto made = make_u8g2(set);
        if (const auto* problem = std::get_if<std::string>(&made)) return *problem;
        const auto& font = std::get<std::vector<std::uint8_t>>(made);
        output.data = u8g2_text(font, plan.name, about);
        if (preview) output.preview = draw_u8g2(font, *preview, text_box(set, *preview));
        break;
    }
    case FontFormat::python: {
        const PackedFont font = pack_font(set, plan.layout);
        output.data = python_module(font, framebuf_format(plan.layout), about);
        if (preview) output.preview = draw_packed(font, *preview, text_box(set, *preview));
        break;
    }
    case FontFormat::cells: {
        const CellTable table = make_cells(set, plan.layout);
        output.data = cells_text(table, plan, about);
        if (preview)
            output.preview = draw_cells(table, *preview, text_box(set, *preview, table.cell_width));
        break;
    }
    }
    return output;
}

} // namespace dotlane::fonts
