// The convert command: one picture in one of the layouts, bare or as a C declaration, or
// several pictures as C arrays in one output.
#include <ostream>

#include "bundle.h"
#include "c_array.h"
#include "c_names.h"
#include "commands.h"
#include "depfile.h"
#include "import/layouts.h"
#include "import/listings.h"
#include "picture_input.h"
#include "shared/entries.h"
#include "shared/output_file.h"
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

// What every picture of one command shares.
struct Request {
    std::string layout;
    std::optional<BitLayout> bit_layout;
    bool invert = false;
    int threshold = 128;
    bool frames = false;
};

// `In` is what was read: an InputPicture or InputFrames.
template <typename In>
CArray array(const std::string& name, const std::string& path, const Request& r, const In& in,
             const Layout& listing) {
    return CArray{.name = name,
                  .source = path,
                  .file_size = in.file_size,
                  .width = in.width,
                  .height = in.height,
                  .rows = listing.rows,
                  .layout = r.layout,
                  .layout_description = listing.description,
                  .invert = r.invert,
                  .bytes = listing.listing.bytes};
}

// Every frame of the picture in a bit layout, one after another.
std::optional<BundleEntry> frames_entry(const std::string& path, const std::string& name,
                                        const Request& r, Layout& listing, std::ostream& err) {
    InputFrames in = read_frames(path, r.threshold, r.invert);
    if (in.error) {
        err << *in.error << "\n";
        return std::nullopt;
    }
    for (Bitmap& frame : in.frames) {
        const std::vector<std::uint8_t> bytes = layout_bytes(frame, *r.bit_layout);
        listing.listing.bytes.insert(listing.listing.bytes.end(), bytes.begin(), bytes.end());
        frame = Bitmap(); // eight times the size of its bytes, and needed no more
    }
    listing.rows = layout_rows(*r.bit_layout, in.height);
    listing.description = layout_description(*r.bit_layout);
    return BundleEntry{array(name, path, r, in, listing), std::move(in.delays)};
}

// One picture's array; `listing` must outlive the span the array holds.
std::optional<BundleEntry> array_of(const std::string& path, const std::string& name,
                                    const Request& r, Layout& listing, std::ostream& err) {
    if (r.frames) return frames_entry(path, name, r, listing, err);
    InputPicture in = read_picture(path, r.threshold);
    if (in.error) {
        err << *in.error << "\n";
        return std::nullopt;
    }
    auto made = r.bit_layout ? bit_layout_listing(in, *r.bit_layout, r.invert, false)
                             : window_layout_listing(in, path, r.layout, r.invert, err);
    if (!made) return std::nullopt;
    listing = std::move(*made);
    return BundleEntry{array(name, path, r, in, listing), {}};
}

int write_file(const std::string& path, std::string_view text, std::ostream& err) {
    const auto bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    if (const auto error = write_file_whole(path, {bytes, text.size()})) {
        err << *error << "\n";
        return kBadInput;
    }
    return kOk;
}

// The pictures as C arrays: one output, or a header and a source file; then the depfile.
int c_output(const Arguments& a, const Request& r, std::ostream& out, std::ostream& err) {
    const std::vector<std::string>& paths = a.operands;
    const auto header = a.value("--header"), source = a.value("--source");
    const auto depfile = a.value("--depfile");
    const auto output = a.value("-o");
    if (header.has_value() != source.has_value())
        return usage(err, "--header and --source go together");
    if (header && output) return usage(err, "give -o, or --header and --source, not both");
    if (header && *header == *source) return usage(err, "--header and --source name one file");
    if (depfile && !header && (!output || *output == "-"))
        return usage(err, "--depfile needs -o FILE or --header and --source");
    const auto compress = a.value("--compress");
    if (compress && *compress != "rle")
        return usage(err, "--compress takes rle, not \"" + *compress + "\"");
    std::vector<std::string> given = a.all("--name");
    if (const auto name = a.value("--c-array")) {
        if (paths.size() > 1 || !given.empty())
            return usage(err, "--c-array names one picture; give --name once for each picture");
        given.push_back(*name);
    }
    if (!given.empty() && given.size() != paths.size())
        return usage(err, "give --name once for each picture, or not at all");
    const ArrayNames names = array_names(paths, given, a.value("--table"));
    if (names.error) return usage(err, *names.error);

    std::vector<Layout> listings(paths.size());
    std::vector<BundleEntry> entries;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        auto entry = array_of(paths[i], names.names[i], r, listings[i], err);
        if (!entry) return kBadInput;
        entries.push_back(std::move(*entry));
    }
    const BundleOptions options{compress.has_value(), a.value("--table")};
    std::vector<std::string> written;
    if (header) {
        const BundleFiles files = bundle_files(entries, options, *header);
        if (const int status = write_file(*source, files.source, err)) return status;
        if (const int status = write_file(*header, files.header, err)) return status;
        written = {*header, *source};
    } else {
        if (const int status = emit(bundle_text(entries, options), a, out, err)) return status;
        if (output) written = {*output};
    }
    if (!depfile) return kOk;
    const Depfile rule = depfile_text(written, paths);
    if (rule.error) {
        err << *rule.error << "\n";
        return kBadInput;
    }
    return write_file(*depfile, rule.text, err);
}

} // namespace

int convert_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments a = parse(args, {"--invert-colors", "--frames"},
                              {"--layout", "--threshold", "--c-array", "-o", "--name", "--table",
                               "--header", "--source", "--depfile", "--compress"});
    if (a.error) return usage(err, *a.error);
    const auto layout = a.value("--layout");
    if (!layout) return usage(err, std::string("convert needs --layout: ") + kLayoutNames);
    const bool window_layout = *layout == "t6963c" || *layout == "sed1565";
    const auto bit_layout = bit_layout_named(*layout);
    if (!window_layout && !bit_layout)
        return usage(err, "unknown layout \"" + *layout + "\"; the layouts are " + kLayoutNames);
    const std::string threshold_text = a.value("--threshold").value_or("128");
    const auto threshold = parse_threshold(threshold_text);
    if (!threshold)
        return usage(err, "--threshold takes a whole number from 0 to 255, not \"" +
                              threshold_text + "\"");
    const auto name = a.value("--c-array");
    if (const auto problem = name ? c_name_problem(*name) : std::nullopt)
        return usage(err, *problem);
    if (a.operands.empty()) return usage(err, "give a picture file");
    const Request request{*layout, bit_layout, a.has("--invert-colors"), *threshold,
                          a.has("--frames")};
    if (request.frames && window_layout)
        return usage(err, "--frames lists in rows-msb, rows-lsb, pages-lsb or pages-msb");
    // Any option of C arrays, or several pictures, make C arrays; else the bare listing.
    for (const char* option :
         {"--c-array", "--name", "--table", "--header", "--source", "--depfile", "--compress"})
        if (a.value(option)) return c_output(a, request, out, err);
    if (a.operands.size() != 1) return c_output(a, request, out, err);

    const std::string& path = a.operands[0];
    if (request.frames) {
        Layout frames;
        if (!array_of(path, "frames", request, frames, err)) return kBadInput;
        return emit(entry_lines(frames.listing.bytes, "\n", true), a, out, err);
    }
    InputPicture in = read_picture(path, *threshold);
    if (in.error) {
        err << *in.error << "\n";
        return kBadInput;
    }
    const std::optional<Layout> listing =
        window_layout ? window_layout_listing(in, path, *layout, request.invert, err)
                      : bit_layout_listing(in, *bit_layout, request.invert, true);
    if (!listing) return kBadInput;
    return emit(listing->listing.text, a, out, err);
}

} // namespace dotlane::cli
