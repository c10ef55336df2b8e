// From a picture and the options to its bytes: the request all pictures of one call share,
// and the one way each picture, and each frame of an animation, is read and laid out.
#include "engine/convert.h"

#include "engine/convert_colour.h"
#include "layout/unpack.h"
#include "pictures/listings.h"
#include "prepare/prepare.h"
#include "shared/text.h"

namespace dotlane::engine {

namespace {

constexpr const char* kLayoutNames = "t6963c, sed1565, rows-msb, rows-lsb, pages-lsb or pages-msb";

// A picture as the stages take it: a 1-bit BMP file checked as the window checks it, or
// grey pixels.
struct InputPicture {
    std::shared_ptr<const LoadedFile> bmp;
    Grey grey;
    int width = 0, height = 0;
    std::uint64_t file_size = 0;
};

std::optional<std::string> take(SourcePicture&& read, InputPicture& in) {
    if (read.error) return read.error;
    in.file_size = read.file_size;
    if (!read.checked && !read.bmp_file.empty()) {
        LoadedFile file = check_bmp_bytes(std::move(read.bmp_file));
        if (!file.accepted()) return file.message();
        read.checked = std::make_shared<const LoadedFile>(std::move(file));
    }
    in.bmp = std::move(read.checked);
    if (in.bmp) {
        in.width = int(in.bmp->header.width);
        in.height = int(in.bmp->header.height);
        if (!in.file_size) in.file_size = in.bmp->size;
    } else {
        in.grey = std::move(read.grey);
        in.width = in.grey.width;
        in.height = in.grey.height;
    }
    return std::nullopt;
}

GreyView grey_view(const Grey& grey) {
    return {grey.width, grey.height, grey.pixels};
}

// The grey of an accepted 1-bit BMP file: each pixel the luminance of its palette colour.
std::vector<std::uint8_t> bmp_grey(const LoadedFile& file) {
    const Picture picture = decode_picture(file.header, file.bytes);
    std::vector<std::uint8_t> grey(picture.pixels.size());
    for (std::size_t i = 0; i < grey.size(); ++i) {
        const Colour c = picture.pixels[i]; // 0x00BBGGRR
        grey[i] = std::uint8_t(
            (299 * (c & 0xFF) + 587 * (c >> 8 & 0xFF) + 114 * (c >> 16 & 0xFF) + 500) / 1000);
    }
    return grey;
}

// The window's listings keep its text to the byte.
std::optional<std::string> window_layout_listing(const InputPicture& in, Conversion& c) {
    if (!in.bmp)
        return "The " + c.layout + " layout is the window's listing of a 1-bit BMP file, and \"" +
               printable_name(c.path) + "\" is not one; " +
               (c.layout == "t6963c" ? "rows-msb lists the same bits, rows from the top."
                                     : "pages-lsb lists the same bytes.");
    const bool sed1565 = c.layout == "sed1565";
    c.listing = window_listing(*in.bmp, sed1565, c.invert);
    c.rows = sed1565 ? c.height + fill_rows(c.height) : c.height;
    c.reads_as = sed1565 ? BitLayout::pages_lsb : BitLayout::rows_msb;
    c.rows_from_bottom = !sed1565 && !in.bmp->header.top_down;
    c.description = sed1565 ? "the window's SED1565 listing, pages of 8 rows from the top, one "
                              "byte per column, bit 0 the top row"
                            : "the window's T6963C listing, rows in the order they stand in "
                              "the file, bit 7 the leftmost pixel";
    return std::nullopt;
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
    Bitmap bits = prepare(grey_view(in.grey), p);
    in.grey = {};
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
std::optional<std::string> frames_listing(InputPicture& in, Conversion& c, const Request& r,
                                          PictureSource& source) {
    const BitLayout layout = *r.bit_layout;
    SourcePicture read =
        source.read_frames(c.path, r.choice.preparation.background,
                           [&](const Grey& grey, int delay) -> std::optional<std::string> {
                               add_bits(c, prepare(grey_view(grey), r.choice.preparation), layout);
                               c.delays.push_back(delay);
                               return std::nullopt;
                           });
    if (auto error = take(std::move(read), in)) return error;
    if (in.bmp) {
        add_bits(c, bits_of(in, r.choice), layout);
        c.delays.push_back(0);
    }
    return std::nullopt;
}

} // namespace

Listing window_listing(const LoadedFile& file, bool sed1565, bool invert) {
    const ImportResult r = import_bmp(file, {invert, invert}, sed1565 ? kSed1565Part : kT6963cPart);
    if (sed1565) return Listing{dotlane::sed1565_listing(r.sed1565), r.sed1565};
    return Listing{dotlane::t6963c_listing(r.t6963c, file.header.geometry), r.t6963c};
}

std::variant<Request, Outcome> conversion_request(const Arguments& a) {
    Request r;
    const auto target_name = a.value("--target");
    r.target = target_name ? target_named(*target_name) : nullptr;
    if (target_name && !r.target)
        return usage_error("unknown target \"" + *target_name + "\"; the targets are " +
                           target_names());
    const auto layout = a.value("--layout");
    if (!layout && !r.target)
        return usage_error(std::string("convert needs --layout or --target: ") + kLayoutNames);
    r.layout = layout.value_or(!r.target ? std::string()
                               : !r.target->colour_layout.empty()
                                   ? std::string(r.target->colour_layout)
                                   : std::string(layout_name(r.target->layout)));
    r.colour = colour_layout_named(r.layout);
    if (r.colour) {
        r.choice = preparation_choice(a);
        if (r.choice.error) return usage_error(*r.choice.error);
        r.frames = a.has("--frames");
        if (auto problem = colour_request(a, r)) return usage_error(*problem);
        return r;
    }
    const bool window_layout = r.layout == "t6963c" || r.layout == "sed1565";
    r.bit_layout = bit_layout_named(r.layout);
    if (!window_layout && !r.bit_layout)
        return usage_error("unknown layout \"" + r.layout + "\"; the layouts are " + kLayoutNames +
                           ", and of more than one bit " + colour_layout_names());
    if (a.value("--reduce"))
        return usage_error("--reduce applies to the layouts of more than one bit: " +
                           colour_layout_names());
    r.choice = preparation_choice(a);
    if (r.choice.error) return usage_error(*r.choice.error);
    if (window_layout && r.choice.given)
        return usage_error("the " + r.layout +
                           " layout lists the file's own rows, so it takes no option that "
                           "prepares the picture; rows-msb and pages-lsb list prepared ones");
    r.frames = a.has("--frames");
    if (window_layout && r.frames)
        return usage_error("--frames lists in rows-msb, rows-lsb, pages-lsb or pages-msb");
    return r;
}

std::variant<Conversion, Outcome> convert_file(const std::string& path, const Request& r,
                                               PictureSource& source) {
    if (r.colour) return convert_colour(path, r, source);
    Conversion c;
    c.path = path;
    c.layout = r.layout;
    c.target = r.target;
    c.invert = r.choice.preparation.light_ink;
    InputPicture in;
    if (r.frames) {
        if (auto error = frames_listing(in, c, r, source)) return input_error(*error);
        c.file_size = in.file_size;
    } else {
        if (auto error = take(source.read(path, r.choice.preparation.background), in))
            return input_error(*error);
        c.file_size = in.file_size;
        c.width = in.width;
        c.height = in.height;
        if (!r.bit_layout) {
            if (auto error = window_layout_listing(in, c)) return input_error(*error);
            return c;
        }
        add_bits(c, bits_of(in, r.choice), *r.bit_layout);
    }
    c.rows = layout_rows(*r.bit_layout, c.height);
    c.reads_as = *r.bit_layout;
    c.description = layout_description(*r.bit_layout);
    return c;
}

std::variant<Conversion, Outcome> convert_picture(const Arguments& a, PictureSource& source) {
    auto request = conversion_request(a);
    if (auto* problem = std::get_if<Outcome>(&request)) return *problem;
    if (a.operands.size() != 1) return usage_error("give exactly one picture file");
    return convert_file(a.operands[0], std::get<Request>(request), source);
}

Bitmap shown_bits(const Conversion& c) {
    if (c.colour) return dark_half(shown_colours(c)); // for what shows only black and white
    return unpack_bits(c.listing.bytes, c.reads_as, c.width, c.height, c.rows_from_bottom);
}

} // namespace dotlane::engine
