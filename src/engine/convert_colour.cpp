#include "engine/convert_colour.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

#include "pictures/listings.h"
#include "prepare/prepare.h"
#include "shared/text.h"

namespace dotlane::engine {

namespace {

// The options that make black and white, which a layout of levels has no use for.
constexpr const char* kOneBitOnly[] = {"--threshold", "--ink"};

bool moves(const Preparation& p) {
    return p.rotate || p.flip_h || p.flip_v || p.width;
}

// The picture turned, flipped and scaled onto its canvas, as the one-bit layouts place it,
// each channel on its own; around the picture the background, and for colours a clear one
// (alpha 0) so that the layouts with alpha see through it.
std::vector<std::uint8_t> placed(GreyView source, const Preparation& p, bool rgba, Extent& size) {
    size = canvas_extent(source.width, source.height, p);
    const std::size_t pixels = std::size_t(size.width) * std::size_t(size.height);
    std::vector<std::uint8_t> canvas(pixels * (rgba ? 4 : 1), std::uint8_t(p.background));
    if (rgba)
        for (std::size_t i = 0; i < pixels; ++i)
            canvas[4 * i + 3] = 0;
    place(source, p, canvas.data(), rgba);
    return canvas;
}

// A 1-bit BMP file's colours as RGBA, each pixel its palette colour.
std::vector<std::uint8_t> bmp_rgba(const LoadedFile& file, int& width, int& height) {
    const Picture picture = decode_picture(file.header, file.bytes);
    width = picture.width;
    height = picture.height;
    std::vector<std::uint8_t> rgba(picture.pixels.size() * 4);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const Colour c = picture.pixels[i]; // 0x00BBGGRR
        rgba[4 * i] = std::uint8_t(c & 0xFF);
        rgba[4 * i + 1] = std::uint8_t(c >> 8 & 0xFF);
        rgba[4 * i + 2] = std::uint8_t(c >> 16 & 0xFF);
        rgba[4 * i + 3] = 255;
    }
    return rgba;
}

// The options that shape a placed picture, in a word to compare.
std::string canvas_shape(const Preparation& p, bool grey) {
    return std::to_string(p.rotate) + (p.flip_h ? "h" : "") + (p.flip_v ? "v " : " ") +
           std::to_string(p.width) + "x" + std::to_string(p.height) + " " +
           std::to_string(int(p.fit)) + " " + std::to_string(p.background) +
           (grey ? " grey" : " rgba");
}

// Each row of `canvas` (`size`, grey or RGBA) to `take`.
template <class Take>
void take_rows(const Take& take, const std::vector<std::uint8_t>& canvas, Extent size, bool grey) {
    const std::size_t stride = std::size_t(size.width) * (grey ? 1 : 4);
    for (int y = 0; y < size.height; ++y)
        take(size.width, size.height, y, canvas.data() + stride * std::size_t(y), grey);
}

// The picture read, in grey when `grey_read`, each row to `take`; a picture that moves is
// placed first, its canvas (`size`) left in `canvas` for the source to keep.
template <class Take>
std::optional<Outcome> read_placed(const std::string& path, const Request& r, bool grey_read,
                                   PictureSource& source, const Take& take,
                                   std::vector<std::uint8_t>& canvas, Extent& size,
                                   std::uint64_t& file_size) {
    const Preparation& p = r.choice.preparation;
    // With the picture moved its rows are gathered whole first; else each passes straight on.
    std::vector<std::uint8_t> whole;
    GreyView held;
    const ColourRows each = [&](int width, int height, int y, const std::uint8_t* rgba) {
        if (!moves(p)) return take(width, height, y, rgba, false);
        const std::size_t stride = std::size_t(width) * 4;
        if (whole.empty()) {
            whole.resize(stride * std::size_t(height));
            held = {width, height, whole.data()};
        }
        std::copy(rgba, rgba + stride, whole.data() + stride * std::size_t(y));
    };
    const auto pass_on = [&](GreyView view, bool grey) {
        canvas = placed(view, p, !grey, size);
        take_rows(take, canvas, size, grey);
    };
    SourcePicture read =
        grey_read ? source.read(path, r.reduction.background) : source.read_colour(path, each);
    if (read.grey.pixels && moves(p))
        pass_on({read.grey.width, read.grey.height, read.grey.pixels}, true);
    else
        for (int y = 0; read.grey.pixels && y < read.grey.height; ++y)
            take(read.grey.width, read.grey.height, y,
                 read.grey.pixels + std::size_t(y) * std::size_t(read.grey.width), true);
    read.grey = {};
    if (read.error) return input_error(*read.error);
    file_size = read.file_size;
    if (!read.checked && !read.bmp_file.empty()) {
        LoadedFile file = check_bmp_bytes(std::move(read.bmp_file));
        if (!file.accepted()) return input_error(file.message());
        read.checked = std::make_shared<const LoadedFile>(std::move(file));
    }
    if (read.checked) {
        int width = 0, height = 0;
        const std::vector<std::uint8_t> rgba = bmp_rgba(*read.checked, width, height);
        for (int y = 0; y < height; ++y)
            each(width, height, y, rgba.data() + std::size_t(y) * std::size_t(width) * 4);
        if (!file_size) file_size = read.checked->size;
    }
    if (held.pixels) {
        pass_on(held, false);
    }
    return std::nullopt;
}

} // namespace

std::optional<std::string> colour_request(const Arguments& a, Request& r) {
    const ColourLayout& l = *r.colour;
    for (const char* option : kOneBitOnly)
        if (a.value(option))
            return std::string(option) + " applies to the layouts of one bit; " +
                   std::string(l.name) + " keeps " + (l.grey ? "grey levels" : "colours") +
                   ", and takes --dither, --reduce, --background and "
                   "the canvas options";
    if (l.indexed)
        for (const char* option : {"--dither", "--reduce", "--background"})
            if (a.value(option))
                return std::string(option) + " does not apply to " + std::string(l.name) +
                       ", which keeps the picture's own colours";
    if (a.has("--invert-colors"))
        return "--invert-colors applies to the layouts of one bit; " + std::string(l.name) +
               " keeps " + (l.grey ? "grey levels" : "colours");
    if (r.frames) return "--frames lists in the layouts of one bit";
    const auto reduce = a.value("--reduce");
    if (reduce && *reduce != "truncate" && *reduce != "round")
        return "--reduce takes truncate or round, not \"" + *reduce + "\"";
    r.reduction.bits = l.bits;
    r.reduction.grey = l.grey;
    r.reduction.alpha = l.alpha;
    r.reduction.with_alpha = l.with_alpha;
    if ((l.alpha || l.with_alpha) && a.value("--background"))
        return "--background does not apply to " + std::string(l.name) +
               ", which keeps the alpha itself";
    r.reduction.round = reduce == "round";
    r.reduction.dither = r.choice.preparation.dither;
    r.reduction.background = r.choice.preparation.background;
    r.reduction.colours = l.colours;
    r.reduction.palette = l.palette;
    if (reduce && l.colours)
        return "--reduce applies to levels; " + std::string(l.name) +
               " takes each pixel's nearest colour of its palette";
    if (reduce && r.reduction.dither != Dither::none)
        return "--reduce and --dither exclude each other: a dither takes the nearest level";
    return std::nullopt;
}

std::variant<Conversion, Outcome> convert_colour(const std::string& path, const Request& r,
                                                 PictureSource& source) {
    Conversion c;
    c.path = path;
    c.layout = r.layout;
    c.target = r.target;
    c.colour = r.colour;
    const ColourLayout& l = *r.colour;
    std::optional<Reducer> reducer;
    std::vector<std::uint8_t> levels;
    std::size_t row_bytes = 0;
    const std::size_t table = colour_table_bytes(l);
    // An indexed layout's colours in the order first met, each with its index; a clear pixel
    // is clear black whatever its colour.
    std::unordered_map<std::uint32_t, std::uint8_t> indices;
    std::vector<std::uint32_t> colours;
    const std::size_t most = std::size_t(1) << l.pixel_bits;
    // Each row reduced and packed as it comes, so the colours are never held whole; the grey
    // layouts take the grey the one-bit layouts read, the same values with a quarter of the
    // work.
    const auto take = [&](int width, int height, int y, const std::uint8_t* pixels, bool grey) {
        if (!reducer) {
            c.width = width;
            c.height = height;
            reducer.emplace(r.reduction, width);
            levels.resize(std::size_t(width) * std::size_t(reducer->channels()));
            row_bytes = colour_row_bytes(l, width);
            c.listing.bytes.resize(colour_byte_count(l, width, height));
        }
        if (l.indexed) {
            for (int x = 0; x < width && colours.size() <= most; ++x, pixels += 4) {
                std::uint32_t key = 0;
                std::memcpy(&key, pixels, 4);
                if (pixels[3] == 0) key = 0;
                const auto [at, added] = indices.try_emplace(key, std::uint8_t(colours.size()));
                if (added) colours.push_back(key);
                levels[std::size_t(x)] = at->second;
            }
        } else if (grey) {
            reducer->grey_row(pixels, levels.data());
        } else {
            reducer->row(pixels, levels.data());
        }
        pack_row(l, levels.data(), width,
                 c.listing.bytes.data() + table + row_bytes * std::size_t(y),
                 plane_distance(l, width, height, y));
    };
    const Preparation& p = r.choice.preparation;
    const bool grey_read = l.grey && !l.alpha && !l.indexed;
    // A picture that stays while its options change is placed once: a dither or a reduction
    // asked for again then costs its own work alone.
    PlacedPicture* kept = moves(p) ? source.kept_canvas() : nullptr;
    const std::string shape = canvas_shape(p, grey_read);
    if (kept && kept->name == path && kept->shape == shape) {
        take_rows(take, kept->pixels, {kept->width, kept->height}, grey_read);
        c.file_size = kept->file_size;
    } else {
        if (kept) *kept = {}; // one canvas held at a time, the old one gone before the new
        std::vector<std::uint8_t> canvas;
        Extent size;
        const std::optional<Outcome> failed =
            read_placed(path, r, grey_read, source, take, canvas, size, c.file_size);
        if (failed) return *failed;
        if (kept && !canvas.empty())
            *kept = {path, shape, size.width, size.height, std::move(canvas), c.file_size};
    }
    if (colours.size() > most)
        return input_error("\"" + printable_name(path) + "\" holds more than " +
                           std::to_string(most) + " colours, which " + std::string(l.name) +
                           " cannot index; a layout of more bits, or fewer colours, would do.");
    for (std::size_t i = 0; i < colours.size(); ++i) { // R, G, B, A to B, G, R, A
        std::uint8_t rgba[4];
        std::memcpy(rgba, &colours[i], 4);
        std::uint8_t* entry = c.listing.bytes.data() + 4 * i;
        entry[0] = rgba[2], entry[1] = rgba[1], entry[2] = rgba[0], entry[3] = rgba[3];
    }
    c.rows = c.height;
    c.description = l.description;
    return c;
}

Bitmap dark_half(const Picture& colours) {
    Bitmap bits(colours.width, colours.height);
    for (std::size_t i = 0; i < bits.bits.size(); ++i) {
        const Colour p = colours.pixels[i];
        bits.bits[i] = 299 * (p & 0xFF) + 587 * (p >> 8 & 0xFF) + 114 * (p >> 16 & 0xFF) < 128000;
    }
    return bits;
}

Picture shown_colours(const Conversion& c) {
    const ColourLayout& l = *c.colour;
    Picture picture(c.width, c.height, kWhite);
    const std::size_t row_bytes = colour_row_bytes(l, c.width);
    if (c.listing.bytes.size() < colour_byte_count(l, c.width, c.height)) return picture;
    const int ch = level_count(l);
    // Each channel's value of each level, found once: the page unpacks a whole TFT's colours
    // at every change of an option, where a division a channel a pixel shows.
    std::array<std::array<int, 256>, 3> value{};
    for (std::size_t k = 0; k < 3; ++k)
        for (int v = 0; v < 256; ++v)
            value[k][std::size_t(v)] = l.colours
                                           ? (v < l.colours ? l.palette[std::size_t(v)][k] : 0)
                                           : level_value(v, l.bits[l.grey ? 0 : k]) & 0xFF;
    std::vector<std::uint8_t> levels(std::size_t(c.width) * std::size_t(ch));
    for (int y = 0; y < c.height; ++y) {
        unpack_row(l, c.listing.bytes.data() + colour_table_bytes(l) + row_bytes * std::size_t(y),
                   c.width, levels.data(), plane_distance(l, c.width, c.height, y));
        Colour* out = picture.pixels.data() + std::size_t(y) * std::size_t(c.width);
        for (int x = 0; x < c.width; ++x) {
            int rgb[3];
            const std::uint8_t* entry = c.listing.bytes.data() + 4 * std::size_t(levels[x]);
            for (std::size_t k = 0; k < 3; ++k) {
                const std::size_t at = ch == 1 ? std::size_t(x) : std::size_t(ch * x) + k;
                rgb[k] = l.indexed ? entry[2 - k] : value[k][levels[at]];
            }
            // With its alpha, a pixel shows laid over white.
            const int a = l.with_alpha ? levels[std::size_t(4 * x + 3)]
                          : l.indexed  ? entry[3]
                                       : 255;
            if (a != 255)
                for (int& v : rgb)
                    v = (v * a + 255 * (255 - a) + 127) / 255;
            out[x] = Colour(rgb[0] | rgb[1] << 8 | rgb[2] << 16);
        }
    }
    return picture;
}

} // namespace dotlane::engine

namespace dotlane::engine {

SourcePicture PictureSource::read_colour(const std::string& name, const ColourRows&) {
    SourcePicture read;
    read.error = "\"" + printable_name(name) + "\" cannot be read in colour here.";
    return read;
}

} // namespace dotlane::engine
