#include "engine/convert_colour.h"

#include "pictures/listings.h"
#include "shared/entries.h"
#include "shared/text.h"

namespace dotlane::engine {

namespace {

// The options that make black and white, which a layout of levels has no use for; the
// canvas options would need the colours turned and scaled, which convert does not do yet.
constexpr const char* kOneBitOnly[] = {"--threshold", "--ink",  "--rotate",
                                       "--flip",      "--size", "--fit"};

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

} // namespace

std::optional<std::string> colour_request(const Arguments& a, Request& r) {
    const ColourLayout& l = *r.colour;
    for (const char* option : kOneBitOnly)
        if (a.value(option))
            return std::string(option) + " applies to the layouts of one bit; " +
                   std::string(l.name) + " keeps " + (l.grey ? "grey levels" : "colours") +
                   ", and takes --dither, --reduce and "
                   "--background";
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
    if (l.alpha && a.value("--background"))
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
                                                 bool bare, PictureSource& source) {
    Conversion c;
    c.path = path;
    c.layout = r.layout;
    c.target = r.target;
    c.colour = r.colour;
    const ColourLayout& l = *r.colour;
    std::optional<Reducer> reducer;
    std::vector<std::uint8_t> levels;
    std::size_t row_bytes = 0;
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
        if (grey)
            reducer->grey_row(pixels, levels.data());
        else
            reducer->row(pixels, levels.data());
        pack_row(l, levels.data(), width, c.listing.bytes.data() + row_bytes * std::size_t(y),
                 row_bytes * std::size_t(height));
    };
    const ColourRows each = [&](int width, int height, int y, const std::uint8_t* rgba) {
        take(width, height, y, rgba, false);
    };
    SourcePicture read = l.grey && !l.alpha ? source.read(path, r.reduction.background)
                                            : source.read_colour(path, each);
    for (int y = 0; read.grey.pixels && y < read.grey.height; ++y)
        take(read.grey.width, read.grey.height, y,
             read.grey.pixels + std::size_t(y) * std::size_t(read.grey.width), true);
    read.grey = {};
    if (read.error) return input_error(*read.error);
    c.file_size = read.file_size;
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
        if (!c.file_size) c.file_size = read.checked->size;
    }
    if (bare) c.listing.text = entry_lines(c.listing.bytes, "\n", true);
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
    const std::size_t plane = row_bytes * std::size_t(c.height);
    if (c.listing.bytes.size() < colour_byte_count(l, c.width, c.height)) return picture;
    std::vector<std::uint8_t> levels(std::size_t(c.width) * (l.grey || l.colours ? 1 : 3));
    for (int y = 0; y < c.height; ++y) {
        unpack_row(l, c.listing.bytes.data() + row_bytes * std::size_t(y), c.width, levels.data(),
                   plane);
        for (int x = 0; x < c.width; ++x) {
            int rgb[3];
            for (int k = 0; k < 3; ++k) {
                const std::size_t at =
                    l.grey || l.colours ? std::size_t(x) : std::size_t(3 * x + k);
                rgb[k] = l.colours ? l.palette[levels[at]][std::size_t(k)]
                                   : level_value(levels[at], l.bits[l.grey ? 0 : std::size_t(k)]);
            }
            picture.set(x, y, Colour(rgb[0] | rgb[1] << 8 | rgb[2] << 16));
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

// read checks the name and the size; the first frame's rows are then handed over as held.
SourcePicture MemoryPictures::read_colour(const std::string& name, const ColourRows& rows) {
    SourcePicture read = this->read(name, 255);
    if (read.error || !read.bmp_file.empty()) return read;
    read.grey = {};
    for (const Held& held : held_)
        if (held.name == name) {
            const std::size_t stride = std::size_t(held.width) * 4;
            for (int y = 0; y < held.height; ++y)
                rows(held.width, held.height, y,
                     held.frames.front().data() + stride * std::size_t(y));
            break;
        }
    return read;
}

} // namespace dotlane::engine
