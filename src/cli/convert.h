#pragma once
// The way from a picture file to its bytes that convert and preview share: the options that
// choose the layout, the preparation and the ink, the reading, and the bytes with what
// describes them. Every picture of one command, and every frame of an animation, goes this
// one way.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "import/layouts.h"
#include "preparation_options.h"
#include "support.h"
#include "targets.h"

namespace dotlane::cli {

// The options of both commands; preview adds --ascii, convert --frames and the options of
// several pictures (convert_command.cpp).
inline const std::vector<std::string> kConvertFlags = {"--invert-colors"};
inline const std::vector<std::string> kConvertValued = [] {
    std::vector<std::string> valued = {"--layout",        "--target", "--c-array",
                                       "--style",         "--name",   "--preview",
                                       "--preview-scale", "-o",       "--preview-look"};
    valued.insert(valued.end(), kPreparationOptions.begin(), kPreparationOptions.end());
    return valued;
}();

struct Conversion {
    std::string path;
    std::uint64_t file_size = 0;
    int width = 0, height = 0; // the picture's pixels
    int rows = 0;              // the rows the bytes cover: whole pages for the page layouts
    std::string layout;        // as --layout names it
    std::string description;
    bool invert = false; // light pixels are the set bits
    const Target* target = nullptr;
    Listing listing; // the bytes, and the text of the window's own listings
    // How the bytes read back: the window's T6963C listing is rows-msb, from the bottom when
    // the file stores its rows so; its SED1565 listing is pages-lsb.
    BitLayout reads_as = BitLayout::rows_msb;
    bool rows_from_bottom = false;
    // With --frames, ms, one a frame: the bytes are then every frame's, one after another.
    std::vector<int> delays;
};

// What every picture of one command shares.
struct Request {
    std::string layout;                  // as --layout names it, or the target's
    std::optional<BitLayout> bit_layout; // none for the window's two listings
    PreparationChoice choice;
    const Target* target = nullptr;
    bool frames = false; // every frame of an animation
};

// The request the arguments make, or the exit status after the usage text.
std::variant<Request, int> conversion_request(const Arguments& args, std::ostream& err);

// The bytes of one picture file, or nullopt after a message on `err` (bad input). `bare` asks
// for the listing's text too.
std::optional<Conversion> convert_file(const std::string& path, const Request& request, bool bare,
                                       std::ostream& err);

// The bytes of the one picture the arguments name, or the exit status after a message on
// `err` (the usage text for wrong usage). `bare` asks for the listing's text too.
std::variant<Conversion, int> convert_picture(const Arguments& args, bool bare, std::ostream& err);

} // namespace dotlane::cli
