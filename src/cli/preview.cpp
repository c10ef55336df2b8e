#include "preview.h"

#include <cstring>
#include <ostream>

#include "commands.h"
#include "picture_output.h"
#include "png_writing.h"
#include "reverse/unpack.h"
#include "shared/output_file.h"
#include "shared/text.h"

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
constexpr const char* kLookNames = "lcd, oled-white, oled-blue, oled-yellow or epaper";

} // namespace

std::variant<PreviewOptions, int> preview_options(const Arguments& a, std::ostream& err) {
    PreviewOptions options;
    options.path = a.value("--preview");
    const auto scale = picture_scale(a.value("--preview-scale"), "--preview-scale", 4);
    if (const auto* problem = std::get_if<std::string>(&scale)) return usage(err, *problem);
    options.scale = std::get<int>(scale);
    if (const auto look = a.value("--preview-look")) {
        for (const Look& known : kLooks)
            if (known.name == *look) options.look = &known;
        if (!options.look)
            return usage(err, "--preview-look takes " + std::string(kLookNames) + ", not \"" +
                                  *look + "\"");
    }
    // With --header and --source the listing is those two files, which convert checks.
    const std::string listing = a.value("--header") ? "" : a.value("-o").value_or("-");
    if (options.path && *options.path == listing)
        return usage(err, "--preview and the listing cannot both go to \"" + listing + "\"");
    return options;
}

Bitmap shown_bits(const Conversion& c) {
    return unpack_bits(c.listing.bytes, c.reads_as, c.width, c.height, c.rows_from_bottom);
}

// A square of pixels is set when any of its pixels is.
static bool any_set(const Bitmap& bits, int x, int y, int step) {
    for (int dy = 0; dy < step && y * step + dy < bits.height; ++dy)
        for (int dx = 0; dx < step && x * step + dx < bits.width; ++dx)
            if (bits.at(x * step + dx, y * step + dy)) return true;
    return false;
}

std::string terminal_text(const Bitmap& bits, bool ascii, int step) {
    const int width = (bits.width + step - 1) / step, height = (bits.height + step - 1) / step;
    const auto at = [&](int x, int y) { return any_set(bits, x, y, step); };
    std::string text;
    if (ascii) {
        text.reserve(std::size_t(width + 1) * std::size_t(height));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                text += at(x, y) ? '#' : '.';
            text += '\n';
        }
        return text;
    }
    // UTF-8 of " ", U+2580 upper half, U+2584 lower half, U+2588 full block.
    static constexpr const char* kBlocks[] = {" ", "\xE2\x96\x80", "\xE2\x96\x84", "\xE2\x96\x88"};
    text.reserve(std::size_t(3 * width + 1) * std::size_t(height + 1) / 2);
    for (int y = 0; y < height; y += 2) {
        for (int x = 0; x < width; ++x)
            text += kBlocks[at(x, y) + 2 * (y + 1 < height && at(x, y + 1))];
        text += '\n';
    }
    return text;
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
    Bitmap bits = shown_bits(c);
    const bool oled = c.target && c.target->glass == Glass::oled;
    const Look& look = options.look ? *options.look : kLooks[oled ? 2 : 0];
    IndexedPicture picture{int(width), int(height), {}, {}};
    picture.palette.assign(std::begin(look.colours), std::end(look.colours));
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
    std::vector<std::string> flags = kConvertFlags;
    flags.insert(flags.end(), {"--ascii", "--frames"});
    const Arguments a = parse(args, flags, kConvertValued);
    if (a.error) return usage(err, *a.error);
    const auto options = preview_options(a, err);
    if (std::holds_alternative<int>(options)) return std::get<int>(options);
    if (a.has("--frames") && std::get<PreviewOptions>(options).path)
        return usage(err, "--preview draws one picture; with --frames preview draws each frame "
                          "in the terminal");
    auto made = convert_picture(a, false, err);
    if (std::holds_alternative<int>(made)) return std::get<int>(made);
    const Conversion& c = std::get<Conversion>(made);
    const auto& path = std::get<PreviewOptions>(options).path;
    if (path) {
        auto png = preview_png(c, std::get<PreviewOptions>(options));
        if (std::holds_alternative<std::string>(png)) {
            err << std::get<std::string>(png) << "\n";
            return kBadInput;
        }
        if (const int status = write_preview(std::get<0>(png), *path, out, err)) return status;
    }
    return emit(a.has("--frames") ? frames_text(c, a.has("--ascii"))
                                  : terminal_text(shown_bits(c), a.has("--ascii")),
                a, out, err);
}

} // namespace dotlane::cli
