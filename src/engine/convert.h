#pragma once
// The way from a picture to its bytes that convert, preview and check share: the options
// that choose the layout, the preparation and the ink, the reading, and the bytes with what
// describes them. Every picture of one call, and every frame of an animation, goes this
// one way.
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "declare/targets.h"
#include "engine/options.h"
#include "engine/preparation_options.h"
#include "layout/colour_layouts.h"
#include "layout/layouts.h"
#include "pictures/import.h"
#include "prepare/reduce.h"

namespace dotlane::engine {

// A listing's text and the bytes it lists.
struct Listing {
    std::string text;
    std::vector<std::uint8_t> bytes;
};

// One of the window's listings of an accepted file, with "Invert Colors" set so.
Listing window_listing(const LoadedFile& file, bool sed1565, bool invert);

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
    const ColourLayout* colour = nullptr; // a layout of more than one bit a pixel
};

// What every picture of one call shares.
struct Request {
    std::string layout;                  // as --layout names it, or the target's
    std::optional<BitLayout> bit_layout; // none for the window's two listings
    PreparationChoice choice;
    const Target* target = nullptr;
    bool frames = false;                  // every frame of an animation
    const ColourLayout* colour = nullptr; // a layout of more than one bit, with its reduction
    Reduction reduction;
};

// The request the options make, or why they make none (wrong usage).
std::variant<Request, Outcome> conversion_request(const Arguments& args);

// The bytes of one picture, or why it cannot be listed (bad input). Only the window's own
// layouts make a text too; the bare listing of the others is written from the bytes, a piece
// at a time, so that a large picture's text is never held whole.
std::variant<Conversion, Outcome> convert_file(const std::string& name, const Request& request,
                                               PictureSource& source);

// The bytes of the one picture the operands name.
std::variant<Conversion, Outcome> convert_picture(const Arguments& args, PictureSource& source);

// The bits as the display reads them from the bytes, over the picture's width and height.
Bitmap shown_bits(const Conversion& conversion);

} // namespace dotlane::engine
