#pragma once
// The ways convert writes the bytes (--style): the bare listing, declarations for C, Arduino,
// u8g2, MicroPython and the GNU assembler, and the raw bytes. Each writer takes the plain
// facts of one array and returns its text, so several arrays can share one output.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "declare/c_array.h"

namespace dotlane {

enum class Style { hex, c, arduino, u8g2, python, assembly, bin };

std::optional<Style> style_named(std::string_view name);
inline constexpr const char* kStyleNames = "hex, c, arduino, u8g2, python, asm or bin";

// Why `name` cannot name the array in this style's language, if it cannot.
std::optional<std::string> name_problem(Style style, std::string_view name);

// A name for the array when none is given: the file name's last part without its extension,
// made an identifier every style takes ("logo 2.png" gives logo_2, "8x8.bmp" image_8x8).
std::string default_name(const std::string& path);

// How the C-family styles (c, arduino, u8g2) declare an array.
std::optional<CFlavour> c_flavour(Style style);

// The declaration in a style that declares (c, arduino, u8g2, python, assembly).
std::string declaration_text(Style style, const CArray& array);
// Several, one after another, a blank line between them; what a language needs once (Python's
// import, the assembler's section) only before the first.
std::string declarations_text(Style style, std::span<const CArray> arrays);
// One of them: the first, or one after others.
// With `flush`, the text is handed on in pieces as it is made; the rest is returned.
std::string declaration_in_run(Style style, const CArray& array, bool first,
                               const Flush& flush = {});

} // namespace dotlane
