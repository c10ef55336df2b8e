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
    r.reduction.round = reduce == "round";
    r.reduction.dither = r.choice.preparation.dither;
    r.reduction.background = r.choice.preparation.background;
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
    SourcePicture read = source.read_colour(path);
    if (read.error) return input_error(*read.error);
    c.file_size = read.file_size;
    std::vector<std::uint8_t> held;
    const std::uint8_t* rgba = read.grey.pixels;
    if (!read.checked && !read.bmp_file.empty()) {
        LoadedFile file = check_bmp_bytes(std::move(read.bmp_file));
        if (!file.accepted()) return input_error(file.message());
        read.checked = std::make_shared<const LoadedFile>(std::move(file));
    }
    if (read.checked) {
        held = bmp_rgba(*read.checked, c.width, c.height);
        rgba = held.data();
        if (!c.file_size) c.file_size = read.checked->size;
    } else {
        if (read.grey.channels != 4)
            return input_error("\"" + printable_name(path) + "\" was read without its colours.");
        c.width = read.grey.width;
        c.height = read.grey.height;
    }
    const ColourLayout& l = *r.colour;
    const std::size_t row_bytes = colour_row_bytes(l, c.width);
    Reducer reducer(r.reduction, c.width);
    std::vector<std::uint8_t> levels(std::size_t(c.width) * std::size_t(reducer.channels()));
    c.listing.bytes.resize(row_bytes * std::size_t(c.height));
    for (int y = 0; y < c.height; ++y) {
        reducer.row(rgba + std::size_t(y) * std::size_t(c.width) * 4, levels.data());
        pack_row(l, levels.data(), c.width, c.listing.bytes.data() + row_bytes * std::size_t(y));
    }
    read.grey = {};
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
    std::vector<std::uint8_t> levels(std::size_t(c.width) * (l.grey ? 1 : 3));
    for (int y = 0; y < c.height; ++y) {
        if (row_bytes * std::size_t(y + 1) > c.listing.bytes.size()) break;
        unpack_row(l, c.listing.bytes.data() + row_bytes * std::size_t(y), c.width, levels.data());
        for (int x = 0; x < c.width; ++x) {
            int rgb[3];
            for (int k = 0; k < 3; ++k)
                rgb[k] = l.grey
                             ? level_value(levels[std::size_t(x)], l.bits[0])
                             : level_value(levels[std::size_t(3 * x + k)], l.bits[std::size_t(k)]);
            picture.set(x, y, Colour(rgb[0] | rgb[1] << 8 | rgb[2] << 16));
        }
    }
    return picture;
}

} // namespace dotlane::engine

namespace dotlane::engine {

SourcePicture PictureSource::read_colour(const std::string& name) {
    SourcePicture read;
    read.error = "\"" + printable_name(name) + "\" cannot be read in colour here.";
    return read;
}

// The held pixels are RGBA already: read checks the name and the size, and the first frame's
// colours are handed over as they are.
SourcePicture MemoryPictures::read_colour(const std::string& name) {
    SourcePicture read = this->read(name, 255);
    if (read.error || !read.bmp_file.empty()) return read;
    for (const Held& held : held_)
        if (held.name == name) {
            auto pixels = std::make_shared<std::vector<std::uint8_t>>(held.frames.front());
            read.grey = {held.width, held.height, pixels->data(), pixels, 4};
            break;
        }
    return read;
}

} // namespace dotlane::engine
