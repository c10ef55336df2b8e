// The convert command: one picture in one of the layouts, bare or as a C declaration.
#include <ostream>

#include "c_array.h"
#include "commands.h"
#include "import/layouts.h"
#include "import/listings.h"
#include "picture_input.h"
#include "preparation_options.h"
#include "shared/entries.h"
#include "shared/text.h"
#include "support.h"

namespace dotlane::cli {

namespace {

constexpr const char* kLayoutNames = "t6963c, sed1565, rows-msb, rows-lsb, pages-lsb or pages-msb";

struct Layout {
    Listing listing;
    int width = 0; // the listed picture, prepared
    int height = 0;
    int rows = 0;
    std::string description;
};

// The window's listings keep its text to the byte.
std::optional<Layout> window_layout_listing(const InputPicture& in, const std::string& path,
                                            const std::string& layout, bool invert,
                                            std::ostream& err) {
    if (!in.bmp) {
        err << "The " << layout << " layout is the window's listing of a 1-bit BMP file, and \""
            << printable_name(path) << "\" is not one; "
            << (layout == "t6963c" ? "rows-msb lists the same bits, rows from the top."
                                   : "pages-lsb lists the same bytes.")
            << "\n";
        return std::nullopt;
    }
    const bool sed1565 = layout == "sed1565";
    const int height = int(in.bmp->header.height);
    if (!sed1565)
        return Layout{window_listing(*in.bmp, false, invert), in.width, height, height,
                      "the window's T6963C listing, rows in the order they stand in the file, bit "
                      "7 the leftmost pixel"};
    return Layout{window_listing(*in.bmp, true, invert), in.width, height,
                  height + fill_rows(height),
                  "the window's SED1565 listing, pages of 8 rows from the top, one byte per "
                  "column, bit 0 the top row"};
}

// The set bits of the picture: for a 1-bit BMP file given no preparation straight from its
// rows, as the window reads them; for every other picture its grey, prepared. The module's
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

// The bare text only where it is printed: a C declaration writes the bytes its own way.
Layout bit_layout_listing(InputPicture& in, BitLayout layout, const PreparationChoice& choice,
                          bool bare) {
    Layout result;
    const Bitmap bits = bits_of(in, choice);
    result.listing.bytes = layout_bytes(bits, layout);
    if (bare) result.listing.text = entry_lines(result.listing.bytes, "\n", true);
    result.width = bits.width;
    result.height = bits.height;
    result.rows = layout_rows(layout, bits.height);
    result.description = layout_description(layout);
    return result;
}

std::vector<std::string> convert_options() {
    std::vector<std::string> valued = {"--layout", "--c-array", "-o"};
    valued.insert(valued.end(), kPreparationOptions.begin(), kPreparationOptions.end());
    return valued;
}

} // namespace

int convert_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments a = parse(args, {"--invert-colors"}, convert_options());
    if (a.error) return usage(err, *a.error);
    const auto layout = a.value("--layout");
    if (!layout) return usage(err, std::string("convert needs --layout: ") + kLayoutNames);
    const bool window_layout = *layout == "t6963c" || *layout == "sed1565";
    const auto bit_layout = bit_layout_named(*layout);
    if (!window_layout && !bit_layout)
        return usage(err, "unknown layout \"" + *layout + "\"; the layouts are " + kLayoutNames);
    const PreparationChoice choice = preparation_choice(a);
    if (choice.error) return usage(err, *choice.error);
    if (window_layout && choice.given)
        return usage(err, "the " + *layout +
                              " layout lists the file's own rows, so it takes no option that "
                              "prepares the picture; rows-msb and pages-lsb list prepared ones");
    const auto name = a.value("--c-array");
    if (const auto problem = name ? c_name_problem(*name) : std::nullopt)
        return usage(err, *problem);
    if (a.operands.size() != 1) return usage(err, "give exactly one picture file");

    const std::string& path = a.operands[0];
    InputPicture in = read_picture(path, choice.preparation.background);
    if (in.error) {
        err << *in.error << "\n";
        return kBadInput;
    }
    const bool invert = choice.preparation.light_ink;
    const std::optional<Layout> listing =
        window_layout ? window_layout_listing(in, path, *layout, invert, err)
                      : bit_layout_listing(in, *bit_layout, choice, !name);
    if (!listing) return kBadInput;
    if (!name) return emit(listing->listing.text, a, out, err);
    return emit(c_array_text({.name = *name,
                              .source = path,
                              .file_size = in.file_size,
                              .width = listing->width,
                              .height = listing->height,
                              .rows = listing->rows,
                              .layout = *layout,
                              .layout_description = listing->description,
                              .invert = invert,
                              .bytes = listing->listing.bytes}),
                a, out, err);
}

} // namespace dotlane::cli
