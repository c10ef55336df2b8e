#pragma once
// dotlane-cli: the window's import and rendering without a window, for build scripts.
#include <iosfwd>
#include <string>
#include <vector>

namespace dotlane::cli {

// Runs one command line (without the program name); `in` serves "-" and absent listings.
// Returns the exit status: 0 success, 1 bad input, 2 wrong usage.
int run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);

// The convert command: any picture in any of the layouts (convert_command.cpp).
int convert_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The preview command: the bits convert would list, drawn in the terminal (preview.cpp).
int preview_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The font command: a font file as font data for a draw call, or cells (font_command.cpp).
int font_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// Whether a word of the line names a font, which sends render and preview to their font forms.
// A word may still be another option's value ("-o --font=x"): the font forms say so.
bool names_font(const std::vector<std::string>& args);
// preview --font: a line of a font's text in the terminal, as its target's data draws it.
int font_preview_command(const std::vector<std::string>& args, std::ostream& out,
                         std::ostream& err);
// render --font: the glyphs of a font in C source as a sheet.
int font_sheet_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// render with --layout, and guess (reverse_commands.cpp); check (check_command.cpp).
int render_layout_command(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                          std::ostream& err);
int guess_command(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                  std::ostream& err);
int check_command(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                  std::ostream& err);

} // namespace dotlane::cli
