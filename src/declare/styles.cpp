#include "declare/styles.h"

#include <array>
#include <cstdio>

#include "shared/text.h"

namespace dotlane {

namespace {

constexpr std::array<std::pair<std::string_view, Style>, 7> kStyles{{{"hex", Style::hex},
                                                                     {"c", Style::c},
                                                                     {"arduino", Style::arduino},
                                                                     {"u8g2", Style::u8g2},
                                                                     {"python", Style::python},
                                                                     {"asm", Style::assembly},
                                                                     {"bin", Style::bin}}};

// Python's keywords, and the two names the declaration itself calls.
constexpr std::string_view kPythonRefused =
    " False None True as assert async await def del elif except finally from global import in "
    "is lambda nonlocal pass raise with yield bytearray framebuf ";

// `first`: the one array, or the first of several, which imports what they all need.
void append_python(std::string& text, const CArray& a, bool first, const Flush& flush) {
    for (const std::string& line : comment_lines(a))
        text += "# " + line + "\n";
    const bool framebuf = a.target && !a.target->framebuf.empty();
    if (framebuf && first) text += "import framebuf\n";
    text += "\n" + a.name + " = bytearray(";
    reserve_for(text, a.bytes.size() * 4 + a.bytes.size() / 16 * 8 + 100, flush);
    for (std::size_t i = 0; i < a.bytes.size(); ++i) {
        if (i % 16 == 0) flush_at_line(text, flush);
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02X", a.bytes[i]);
        text += i % 16 == 0 ? (i ? "'\n    b'" : "\n    b'") : "";
        text += escape;
    }
    text += "'\n)\n";
    if (framebuf)
        text += a.name + "_fb = framebuf.FrameBuffer(" + a.name + ", " + std::to_string(a.width) +
                ", " + std::to_string(a.height) + ", framebuf." + std::string(a.target->framebuf) +
                ")\n";
}

// "%object" rather than "@object": "@" starts a comment on ARM, and every ELF target of the
// GNU assembler takes "%".
void append_assembly(std::string& text, const CArray& a, bool first, const Flush& flush) {
    text += "/* ";
    bool more = false;
    for (const std::string& line : comment_lines(a)) {
        text += (more ? "\n * " : "") + line;
        more = true;
    }
    text += std::string(" */\n") + (first ? "    .section .rodata\n" : "") + "    .global " +
            a.name + "\n    .type " + a.name + ", %object\n" + a.name + ":";
    reserve_for(text, a.bytes.size() * 6 + a.bytes.size() / 16 * 12 + 200, flush);
    for (std::size_t i = 0; i < a.bytes.size(); ++i) {
        if (i % 16 == 0) flush_at_line(text, flush);
        char value[5];
        std::snprintf(value, sizeof value, "0x%02X", a.bytes[i]);
        text += i % 16 == 0 ? "\n    .byte " : ", ";
        text += value;
    }
    text += "\n    .size " + a.name + ", . - " + a.name + "\n";
    for (const auto& [suffix, value] :
         {std::pair{"_width", a.width}, {"_height", a.rows}, {"_size", int(a.bytes.size())}})
        text += "    .global " + a.name + suffix + "\n    .set " + a.name + suffix + ", " +
                std::to_string(value) + "\n";
}

} // namespace

std::optional<Style> style_named(std::string_view name) {
    for (const auto& [style_name, style] : kStyles)
        if (name == style_name) return style;
    return std::nullopt;
}

std::optional<std::string> name_problem(Style style, std::string_view name) {
    if (auto problem = c_name_problem(name)) return problem;
    if (style == Style::python &&
        kPythonRefused.find(" " + std::string(name) + " ") != std::string_view::npos)
        return "\"" + std::string(name) + "\" cannot name the array in Python";
    return std::nullopt;
}

std::string default_name(const std::string& path) {
    std::string base = path.substr(path.rfind('/') + 1);
    if (const auto dot = base.rfind('.'); dot != std::string::npos && dot > 0) base.resize(dot);
    std::string name;
    for (const char c : base) {
        const bool word = is_word_char(c) && c != '_';
        if (word)
            name += c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    if (name.empty()) return "image";
    if (name_problem(Style::python, name)) name = "image_" + name;
    return name;
}

std::optional<CFlavour> c_flavour(Style style) {
    switch (style) {
    case Style::c:
        return kPlainC;
    case Style::arduino:
        return CFlavour{"#include <Arduino.h>\n", "const uint8_t", " PROGMEM", "pgm_read_byte"};
    case Style::u8g2:
        return CFlavour{"#include <U8g2lib.h>\n", "const unsigned char", " U8X8_PROGMEM",
                        "u8x8_pgm_read"};
    default:
        return std::nullopt;
    }
}

std::string declaration_text(Style style, const CArray& a) {
    return declarations_text(style, {&a, 1});
}

std::string declarations_text(Style style, std::span<const CArray> arrays) {
    std::string text;
    for (std::size_t i = 0; i < arrays.size(); ++i)
        text += declaration_in_run(style, arrays[i], i == 0);
    return text;
}

std::string declaration_in_run(Style style, const CArray& array, bool first, const Flush& flush) {
    std::string text = first ? "" : "\n";
    if (const auto flavour = c_flavour(style))
        append_c_declaration(text, array, *flavour, flush);
    else if (style == Style::python)
        append_python(text, array, first, flush);
    else
        append_assembly(text, array, first, flush);
    return text;
}

} // namespace dotlane
