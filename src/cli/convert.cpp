// The convert command: one picture in one of the layouts, bare, declared in one of the styles
// or raw, with a picture of what the display will show.
#include "convert.h"

#include <ostream>
#include <unistd.h>

#include "commands.h"
#include "import/listings.h"
#include "picture_input.h"
#include "preparation_options.h"
#include "preview.h"
#include "shared/entries.h"
#include "shared/text.h"
#include "styles.h"

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

// Raw bytes would only garble a terminal, so they go to a file or a pipe.
bool raw_to_terminal(const Arguments& a, std::ostream& out) {
    const auto path = a.value("-o");
    const auto* descriptor = dynamic_cast<const DescriptorOutput*>(out.rdbuf());
    return (!path || *path == "-") && descriptor && ::isatty(descriptor->fd());
}

} // namespace

std::variant<Conversion, int> convert_picture(const Arguments& a, bool bare, std::ostream& err) {
    Conversion c;
    const auto target_name = a.value("--target");
    c.target = target_name ? target_named(*target_name) : nullptr;
    if (target_name && !c.target)
        return usage(err,
                     "unknown target \"" + *target_name + "\"; the targets are " + target_names());
    const auto layout = a.value("--layout");
    if (!layout && !c.target)
        return usage(err, std::string("convert needs --layout or --target: ") + kLayoutNames);
    c.layout = layout.value_or(c.target ? layout_name(c.target->layout) : "");
    const bool window_layout = c.layout == "t6963c" || c.layout == "sed1565";
    const auto bit_layout = bit_layout_named(c.layout);
    if (!window_layout && !bit_layout)
        return usage(err, "unknown layout \"" + c.layout + "\"; the layouts are " + kLayoutNames);
    const PreparationChoice choice = preparation_choice(a);
    if (choice.error) return usage(err, *choice.error);
    if (window_layout && choice.given)
        return usage(err, "the " + c.layout +
                              " layout lists the file's own rows, so it takes no option that "
                              "prepares the picture; rows-msb and pages-lsb list prepared ones");
    c.invert = choice.preparation.light_ink;
    if (a.operands.size() != 1) return usage(err, "give exactly one picture file");

    c.path = a.operands[0];
    InputPicture in = read_picture(c.path, choice.preparation.background);
    if (in.error) {
        err << *in.error << "\n";
        return kBadInput;
    }
    c.file_size = in.file_size;
    c.width = in.width;
    c.height = in.height;
    if (window_layout) {
        if (!window_layout_listing(in, c, err)) return kBadInput;
        return c;
    }
    const Bitmap bits = bits_of(in, choice);
    c.width = bits.width;
    c.height = bits.height;
    c.listing.bytes = layout_bytes(bits, *bit_layout);
    if (bare) c.listing.text = entry_lines(c.listing.bytes, "\n", true);
    c.rows = layout_rows(*bit_layout, c.height);
    c.reads_as = *bit_layout;
    c.description = layout_description(*bit_layout);
    return c;
}

int convert_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Arguments a = parse(args, kConvertFlags, kConvertValued);
    if (a.error) return usage(err, *a.error);
    const auto c_array = a.value("--c-array");
    const auto style_text = a.value("--style");
    const auto chosen = style_named(style_text.value_or("c"));
    if (!chosen)
        return usage(err, "unknown style \"" + *style_text + "\"; the styles are " + kStyleNames);
    if (c_array && ((style_text && *chosen != Style::c) || a.value("--name")))
        return usage(err, "--c-array NAME is --style c --name NAME; give one or the other");
    const auto target = a.value("--target");
    const Target* const named_target = target ? target_named(*target) : nullptr;
    const Style style = style_text || c_array ? *chosen
                        : named_target        ? *style_named(named_target->style)
                                              : Style::hex;
    const auto name = c_array ? c_array : a.value("--name");
    if (const auto problem = name ? name_problem(style, *name) : std::nullopt)
        return usage(err, *problem);
    if (style == Style::bin && raw_to_terminal(a, out))
        return usage(err, "--style bin writes raw bytes, which a terminal cannot show; give -o "
                          "FILE or send standard output to a file or a pipe");
    const auto preview = preview_options(a, err);
    if (std::holds_alternative<int>(preview)) return std::get<int>(preview);

    auto made = convert_picture(a, style == Style::hex, err);
    if (std::holds_alternative<int>(made)) return std::get<int>(made);
    Conversion& c = std::get<Conversion>(made);
    // The picture is made before any output, so a preview that cannot be made leaves the
    // listing unwritten too.
    std::optional<std::vector<std::uint8_t>> png;
    if (const auto& options = std::get<PreviewOptions>(preview); options.path) {
        auto made_png = preview_png(c, options.scale);
        if (std::holds_alternative<std::string>(made_png)) {
            err << std::get<std::string>(made_png) << "\n";
            return kBadInput;
        }
        png = std::move(std::get<std::vector<std::uint8_t>>(made_png));
    }
    std::string declaration;
    std::string_view text = c.listing.text;
    if (style == Style::bin) {
        text = {reinterpret_cast<const char*>(c.listing.bytes.data()), c.listing.bytes.size()};
    } else if (style != Style::hex) {
        declaration = declaration_text(style, {.name = name.value_or(default_name(c.path)),
                                               .source = c.path,
                                               .file_size = c.file_size,
                                               .width = c.width,
                                               .height = c.height,
                                               .rows = c.rows,
                                               .layout = c.layout,
                                               .layout_description = c.description,
                                               .invert = c.invert,
                                               .bytes = c.listing.bytes,
                                               .target = c.target});
        text = declaration;
    }
    if (const int status = emit(text, a, out, err); status != kOk || !png) return status;
    return write_preview(*png, *std::get<PreviewOptions>(preview).path, out, err);
}

} // namespace dotlane::cli
