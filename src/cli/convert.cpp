// From a picture file and the arguments to its bytes: the request all pictures of one command
// share, and the one way each file, and each frame of an animation, is read and laid out.
#include "convert.h"

#include <ostream>

#include "import/listings.h"
#include "picture_input.h"
#include "shared/entries.h"
#include "shared/text.h"

namespace dotlane::cli {

namespace {

constexpr const char* kLayoutNames = "t6963c, sed1565, rows-msb, rows-lsb, pages-lsb or pages-msb";

// The window's listings keep its text to the byte.
bool window_layout_listing(const InputPicture& in, Conversion& c, std::ostream& err) {
    if (!in.bmp) {
        err << "The " << c.layout << " layout is the window's listing of a 1-bit BMP file, and \""
            << printable_name(c.path) << "\" is not one; "
            << (c.layout == "t6963c" ? "rows-msb lists the same bits, rows from the top."
                                     : "pages-lsb lists the same bytes.")
            << "\n";
        return false;
    }
    const bool sed1565 = c.layout == "sed1565";
    c.listing = window_listing(*in.bmp, sed1565, c.invert);
    c.rows = sed1565 ? c.height + fill_rows(c.height) : c.height;
    c.reads_as = sed1565 ? BitLayout::pages_lsb : BitLayout::rows_msb;
    c.rows_from_bottom = !sed1565 && !in.bmp->header.top_down;
    c.description = sed1565 ? "the window's SED1565 listing, pages of 8 rows from the top, one "
                              "byte per column, bit 0 the top row"
                            : "the window's T6963C listing, rows in the order they stand in "
                              "the file, bit 7 the leftmost pixel";
    return true;
}

// The set bits of the picture: for a 1-bit BMP file given no preparation straight from its
// rows, as the window reads them; for every other picture its grey, prepared. The reader's
// grey is released as soon as the bits stand, before the listing is made.
Bitmap bits_of(InputPicture& in, const PreparationChoice& choice) {
    const Preparation& p = choice.preparation;
    if (in.bmp && !choice.given) return decode_bits(in.bmp->header, in.bmp->bytes, p.light_ink);
    if (in.bmp) {
        const std::vector<std::uint8_t> grey = bmp_grey(*in.bmp);
        return prepare({in.width, in.bmp->header.geometry.rows, grey.data()}, p);
    }
    Bitmap bits = prepare(grey_view(in), p);
    in.grey.reset();
    return bits;
}

// Lays out one picture's (or frame's) bits after the bytes already made.
void add_bits(Conversion& c, const Bitmap& bits, BitLayout layout) {
    c.width = bits.width;
    c.height = bits.height;
    std::vector<std::uint8_t> bytes = layout_bytes(bits, layout);
    if (c.listing.bytes.empty())
        c.listing.bytes = std::move(bytes);
    else
        c.listing.bytes.insert(c.listing.bytes.end(), bytes.begin(), bytes.end());
}

// Every frame prepared as a picture is, each frame's grey and bits let go before the next is
// read. A 1-bit BMP file is one frame.
bool frames_listing(InputPicture& in, Conversion& c, const Request& r, std::ostream& err) {
    const BitLayout layout = *r.bit_layout;
    in = read_frames(c.path, r.choice.preparation.background,
                     [&](GreyView grey, int delay) -> std::optional<std::string> {
                         add_bits(c, prepare(grey, r.choice.preparation), layout);
                         c.delays.push_back(delay);
                         return std::nullopt;
                     });
    if (in.error) {
        err << *in.error << "\n";
        return false;
    }
    if (in.bmp) {
        add_bits(c, bits_of(in, r.choice), layout);
        c.delays.push_back(0);
    }
    return true;
}

} // namespace

std::variant<Request, int> conversion_request(const Arguments& a, std::ostream& err) {
    Request r;
    const auto target_name = a.value("--target");
    r.target = target_name ? target_named(*target_name) : nullptr;
    if (target_name && !r.target)
        return usage(err,
                     "unknown target \"" + *target_name + "\"; the targets are " + target_names());
    const auto layout = a.value("--layout");
    if (!layout && !r.target)
        return usage(err, std::string("convert needs --layout or --target: ") + kLayoutNames);
    r.layout = layout.value_or(r.target ? layout_name(r.target->layout) : "");
    const bool window_layout = r.layout == "t6963c" || r.layout == "sed1565";
    r.bit_layout = bit_layout_named(r.layout);
    if (!window_layout && !r.bit_layout)
        return usage(err, "unknown layout \"" + r.layout + "\"; the layouts are " + kLayoutNames);
    r.choice = preparation_choice(a);
    if (r.choice.error) return usage(err, *r.choice.error);
    if (window_layout && r.choice.given)
        return usage(err, "the " + r.layout +
                              " layout lists the file's own rows, so it takes no option that "
                              "prepares the picture; rows-msb and pages-lsb list prepared ones");
    r.frames = a.has("--frames");
    if (window_layout && r.frames)
        return usage(err, "--frames lists in rows-msb, rows-lsb, pages-lsb or pages-msb");
    return r;
}

std::optional<Conversion> convert_file(const std::string& path, const Request& r, bool bare,
                                       std::ostream& err) {
    Conversion c;
    c.path = path;
    c.layout = r.layout;
    c.target = r.target;
    c.invert = r.choice.preparation.light_ink;
    InputPicture in;
    if (r.frames) {
        if (!frames_listing(in, c, r, err)) return std::nullopt;
        c.file_size = in.file_size;
    } else {
        in = read_picture(path, r.choice.preparation.background);
        if (in.error) {
            err << *in.error << "\n";
            return std::nullopt;
        }
        c.file_size = in.file_size;
        c.width = in.width;
        c.height = in.height;
        if (!r.bit_layout) {
            if (!window_layout_listing(in, c, err)) return std::nullopt;
            return c;
        }
        add_bits(c, bits_of(in, r.choice), *r.bit_layout);
    }
    if (bare) c.listing.text = entry_lines(c.listing.bytes, "\n", true);
    c.rows = layout_rows(*r.bit_layout, c.height);
    c.reads_as = *r.bit_layout;
    c.description = layout_description(*r.bit_layout);
    return c;
}

std::variant<Conversion, int> convert_picture(const Arguments& a, bool bare, std::ostream& err) {
    auto request = conversion_request(a, err);
    if (std::holds_alternative<int>(request)) return std::get<int>(request);
    if (a.operands.size() != 1) return usage(err, "give exactly one picture file");
    auto made = convert_file(a.operands[0], std::get<Request>(request), bare, err);
    if (!made) return kBadInput;
    return std::move(*made);
}

} // namespace dotlane::cli
