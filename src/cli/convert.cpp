// The convert command: one picture in one of the layouts, bare or as a C declaration.
#include <ostream>

#include "c_array.h"
#include "commands.h"
#include "convert_bytes.h"
#include "import/layouts.h"
#include "import/listings.h"
#include "picture_input.h"
#include "shared/entries.h"
#include "shared/text.h"
#include "support.h"

namespace dotlane::cli {

namespace {

constexpr const char* kLayoutNames = "t6963c, sed1565, rows-msb, rows-lsb, pages-lsb or pages-msb";

struct Layout {
    Listing listing;
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
        return Layout{window_listing(*in.bmp, false, invert), height,
                      "the window's T6963C listing, rows in the order they stand in the file, bit "
                      "7 the leftmost pixel"};
    return Layout{window_listing(*in.bmp, true, invert), height + fill_rows(height),
                  "the window's SED1565 listing, pages of 8 rows from the top, one byte per "
                  "column, bit 0 the top row"};
}

// The set bits of the picture: for a 1-bit BMP file straight from its rows, as the window
// reads them; for other pictures the dark pixels (with --invert-colors, the light ones).
Bitmap bits_of(InputPicture& in, bool invert) {
    if (in.bmp) return decode_bits(in.bmp->header, in.bmp->bytes, invert);
    if (invert)
        for (std::uint8_t& bit : in.dark.bits)
            bit ^= 1;
    return std::move(in.dark);
}

// The bare text only where it is printed: a C declaration writes the bytes its own way.
Layout bit_layout_listing(InputPicture& in, BitLayout layout, bool invert, bool bare) {
    Layout result;
    result.listing.bytes = layout_bytes(bits_of(in, invert), layout);
    if (bare) result.listing.text = entry_lines(result.listing.bytes, "\n", true);
    result.rows = layout_rows(layout, in.height);
    result.description = layout_description(layout);
    return result;
}

std::optional<int> parse_threshold(const std::string& text) {
    const auto value = whole_number(text);
    if (!value || *value > 255) return std::nullopt;
    return int(*value);
}

} // namespace

std::optional<ConvertedBytes> convert_bytes(const Arguments& a, std::ostream& err, int& status) {
    status = kUsage;
    const auto refuse = [&](const std::string& problem) {
        usage(err, problem);
        return std::nullopt;
    };
    const auto layout = a.value("--layout");
    if (!layout) return refuse(std::string("convert needs --layout: ") + kLayoutNames);
    const bool window_layout = *layout == "t6963c" || *layout == "sed1565";
    const auto bit_layout = bit_layout_named(*layout);
    if (!window_layout && !bit_layout)
        return refuse("unknown layout \"" + *layout + "\"; the layouts are " + kLayoutNames);
    const std::string threshold_text = a.value("--threshold").value_or("128");
    const auto threshold = parse_threshold(threshold_text);
    if (!threshold)
        return refuse("--threshold takes a whole number from 0 to 255, not \"" + threshold_text +
                      "\"");
    const auto name = a.value("--c-array");
    if (const auto problem = name ? c_name_problem(*name) : std::nullopt) return refuse(*problem);
    if (a.operands.size() != 1) return refuse("give exactly one picture file");

    status = kBadInput;
    const std::string& path = a.operands[0];
    InputPicture in = read_picture(path, *threshold);
    if (in.error) {
        err << *in.error << "\n";
        return std::nullopt;
    }
    const bool invert = a.has("--invert-colors");
    std::optional<Layout> listing = window_layout
                                        ? window_layout_listing(in, path, *layout, invert, err)
                                        : bit_layout_listing(in, *bit_layout, invert, !name);
    if (!listing) return std::nullopt;
    status = kOk;
    return ConvertedBytes{.listing = std::move(listing->listing),
                          .layout = *layout,
                          .description = listing->description,
                          .width = in.width,
                          .height = in.height,
                          .rows = listing->rows,
                          .file_size = in.file_size,
                          .bottom_first = in.bmp && !in.bmp->header.top_down};
}

int convert_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments a =
        parse(args, {"--invert-colors"}, {"--layout", "--threshold", "--c-array", "-o"});
    if (a.error) return usage(err, *a.error);
    int status = kOk;
    const std::optional<ConvertedBytes> converted = convert_bytes(a, err, status);
    if (!converted) return status;
    const auto name = a.value("--c-array");
    if (!name) return emit(converted->listing.text, a, out, err);
    return emit(c_array_text({.name = *name,
                              .source = a.operands[0],
                              .file_size = converted->file_size,
                              .width = converted->width,
                              .height = converted->height,
                              .rows = converted->rows,
                              .layout = converted->layout,
                              .layout_description = converted->description,
                              .invert = a.has("--invert-colors"),
                              .bytes = converted->listing.bytes}),
                a, out, err);
}

} // namespace dotlane::cli
