#include "cli/preview.h"

#include <cstring>
#include <ostream>
#include <sstream>

#include "cli/commands.h"
#include "cli/file_pictures.h"
#include "cli/picture_output.h"
#include "cli/support.h"
#include "engine/back.h"
#include "engine/convert_colour.h"
#include "layout/unpack.h"
#include "pictures/png_writing.h"
#include "shared/text.h"
#include "write/output_file.h"

namespace dotlane::cli {

namespace {

// A 4096 x 4096 picture at scale 1, a 1024 x 1024 one at scale 4 with its gaps.
constexpr std::uint64_t kMaxPreviewPixels = kMaxPicturePixels;

enum Index : std::uint8_t { kClear = 0, kSet = 1, kGap = 2 };

// An LCD: dark dots on pale olive glass, the gaps a shade darker than the glass. An OLED:
// light on a panel that is near black where a dot is off and black between dots, in the
// colours modules are sold in (the blue ones glow pale cyan). E-paper: black ink on light
// grey paper, the gaps a shade darker.
constexpr Look kLooks[] = {{"lcd", {0xA9BC7D, 0x1F2B1A, 0x9DB071}},
                           {"oled-white", {0x0C0E12, 0xF4F7FA, 0x000000}},
                           {"oled-blue", {0x0C0E12, 0x9BE7FF, 0x000000}},
                           {"oled-yellow", {0x0C0E12, 0xFFD23C, 0x000000}},
                           {"epaper", {0xD8D8D4, 0x1C1C1C, 0xCBCBC7}}};

} // namespace

// Grey levels shade from the glass's dark to its light (an OLED's off to its lit colour, an
// LCD's or e-paper's ink to its glass); colours show as they are, between black lines on a
// TFT. A look named with --preview-look shades colours too, by their luminance.
static std::variant<std::vector<std::uint8_t>, std::string>
colour_preview(const Conversion& c, const Look& look, const PreviewOptions& options) {
    Picture colours = engine::shown_colours(c);
    const bool tft = c.target && c.target->glass == Glass::tft && options.look.empty();
    const bool lit = std::string_view(look.name).starts_with("oled");
    const std::uint32_t dark = look.colours[lit ? 0 : 1], light = look.colours[lit ? 1 : 0];
    if (!tft && (c.colour->grey || !options.look.empty()))
        for (Colour& p : colours.pixels) {
            const int level =
                (299 * (p & 0xFF) + 587 * (p >> 8 & 0xFF) + 114 * (p >> 16 & 0xFF) + 500) / 1000;
            Colour shaded = 0;
            for (int shift : {16, 8, 0}) { // 0xRRGGBB into 0x00BBGGRR
                const int from = int(dark >> shift & 0xFF), to = int(light >> shift & 0xFF);
                shaded |= Colour(from + ((to - from) * level + 127) / 255) << (16 - shift);
            }
            p = shaded;
        }
    std::ostringstream why;
    auto png = colour_png(colours, options.scale, options.scale >= 4, tft ? 0 : look.colours[2],
                          "--preview-scale", why);
    if (!png) return engine::message_of(why.str());
    return std::move(*png);
}

static std::variant<std::vector<std::uint8_t>, std::string> encoded(const IndexedPicture& picture) {
    EncodedPng png = encode_png(picture);
    if (png.error) return "Cannot make the preview picture: " + *png.error;
    return std::move(png.bytes);
}

// At scale 4 and more each dot is scale - 1 pixels square inside a one-pixel gap, so the
// picture is one pixel wider and higher than the dots.
std::variant<std::vector<std::uint8_t>, std::string> preview_png(const Conversion& c,
                                                                 const PreviewOptions& options) {
    const int scale = options.scale;
    const bool gaps = scale >= 4;
    const std::uint64_t width = std::uint64_t(c.width) * std::uint64_t(scale) + gaps;
    const std::uint64_t height = std::uint64_t(c.height) * std::uint64_t(scale) + gaps;
    if (width * height > kMaxPreviewPixels)
        return "A preview of " + std::to_string(c.width) + " x " + std::to_string(c.height) +
               " pixels at scale " + std::to_string(scale) + " would be " + std::to_string(width) +
               " x " + std::to_string(height) +
               " pixels, more than dotlane-cli makes (4097 x 4097); give a smaller "
               "--preview-scale.";
    const bool oled = c.target && c.target->glass == Glass::oled;
    const bool paper = c.target && c.target->glass == Glass::epaper;
    const Look* look = &kLooks[oled ? 2 : paper ? 4 : 0];
    for (const Look& known : kLooks)
        if (known.name == options.look) look = &known;
    if (c.colour) return colour_preview(c, *look, options);
    Bitmap bits = engine::shown_bits(c);
    IndexedPicture picture{int(width), int(height), {}, {}};
    picture.palette.assign(std::begin(look->colours), std::end(look->colours));
    // At scale 1 the bits, 0 or 1, are the indices already: no second picture of that size.
    if (scale == 1) {
        picture.indices = std::move(bits.bits);
        return encoded(picture);
    }
    picture.indices.resize(width * height, kGap);
    std::uint8_t* out = picture.indices.data() + (gaps ? width : 0);
    for (int y = 0; y < c.height; ++y) {
        std::uint8_t* line = out;
        for (int x = 0; x < c.width; ++x) {
            std::memset(line + gaps, bits.at(x, y) ? kSet : kClear, std::size_t(scale - gaps));
            line += scale;
        }
        for (int copy = 1; copy < scale - gaps; ++copy)
            std::memcpy(out + std::size_t(copy) * width, out, width);
        out += std::size_t(scale) * width;
    }
    return encoded(picture);
}

int write_preview(const std::vector<std::uint8_t>& png, const std::string& path, std::ostream& out,
                  std::ostream& err) {
    if (path == "-") {
        out.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
        return check_output(out, err);
    }
    if (const auto error = write_file_whole(path, png)) {
        err << *error << "\n";
        return kBadInput;
    }
    return kOk;
}

// With --frames each frame in turn, under a line with its number and delay.
static std::string frames_text(const Conversion& c, bool ascii) {
    const std::size_t size = layout_byte_count(c.reads_as, c.width, c.height);
    const std::span<const std::uint8_t> bytes = c.listing.bytes;
    std::string text;
    for (std::size_t i = 0; i < c.delays.size() && (i + 1) * size <= bytes.size(); ++i)
        text +=
            "frame " + std::to_string(i + 1) + " of " + std::to_string(c.delays.size()) + ", " +
            std::to_string(c.delays[i]) + " ms:\n" +
            terminal_text(unpack_bits(bytes.subspan(i * size, size), c.reads_as, c.width, c.height),
                          ascii);
    return text;
}

int preview_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (names_font(args)) return font_preview_command(args, out, err);
    const auto table = engine::preview_options_table();
    const Arguments a = parse(args, engine::flag_names(table), engine::valued_names(table));
    if (a.error) return usage(err, *a.error);
    const auto options = engine::preview_options(a);
    if (auto* problem = std::get_if<engine::Outcome>(&options)) return usage(err, *problem->error);
    if (a.has("--frames") && std::get<engine::PreviewOptions>(options).path)
        return usage(err, "--preview draws one picture; with --frames preview draws each frame "
                          "in the terminal");
    FilePictures pictures;
    auto made = engine::convert_picture(a, pictures);
    if (auto* problem = std::get_if<engine::Outcome>(&made)) return fault(*problem, err);
    const Conversion& c = std::get<Conversion>(made);
    const auto& path = std::get<engine::PreviewOptions>(options).path;
    if (path) {
        auto png = preview_png(c, std::get<engine::PreviewOptions>(options));
        if (std::holds_alternative<std::string>(png)) {
            err << std::get<std::string>(png) << "\n";
            return kBadInput;
        }
        if (const int status = write_preview(std::get<0>(png), *path, out, err)) return status;
    }
    return emit(a.has("--frames") ? frames_text(c, a.has("--ascii"))
                                  : terminal_text(engine::shown_bits(c), a.has("--ascii")),
                a, out, err);
}

} // namespace dotlane::cli
