// Palette PNG files with libpng, into memory. Pictures of two colours are written with one
// bit a pixel, others with eight.
#include "pictures/png_writing.h"

#include <csetjmp>
#include <png.h>

namespace dotlane::cli {

namespace {

// What libpng's jump back may cross: no destructors run on it.
struct PngWriting {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<std::uint8_t>* bytes = nullptr;
    const char* error = nullptr;
};

void png_write_failed(png_structp png, png_const_charp message) {
    static_cast<PngWriting*>(png_get_error_ptr(png))->error = message;
    png_longjmp(png, 1);
}

void png_write_warned(png_structp, png_const_charp) {}

void png_append(png_structp png, png_bytep data, std::size_t length) {
    auto* w = static_cast<PngWriting*>(png_get_io_ptr(png));
    w->bytes->insert(w->bytes->end(), data, data + length);
}

void png_flushed(png_structp) {}

// With `rgb` the indices are R, G, B a pixel and the palette is unused.
bool png_encode(PngWriting* w, const IndexedPicture& picture, bool rgb,
                std::vector<png_byte>& row) {
    if (setjmp(png_jmpbuf(w->png))) return false;
    const int colours = int(picture.palette.size());
    const int depth = !rgb && colours <= 2 ? 1 : 8;
    png_set_write_fn(w->png, w, png_append, png_flushed);
    png_set_IHDR(w->png, w->info, png_uint_32(picture.width), png_uint_32(picture.height), depth,
                 rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    for (int i = 0; i < colours; ++i)
        palette[i] = {png_byte(picture.palette[std::size_t(i)] >> 16),
                      png_byte(picture.palette[std::size_t(i)] >> 8),
                      png_byte(picture.palette[std::size_t(i)])};
    if (!rgb) png_set_PLTE(w->png, w->info, palette, colours);
    png_write_info(w->png, w->info);
    if (depth == 1) png_set_packing(w->png);
    const std::size_t width = std::size_t(picture.width) * (rgb ? 3 : 1);
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* from = picture.indices.data() + width * std::size_t(y);
        row.assign(from, from + width);
        png_write_row(w->png, row.data());
    }
    png_write_end(w->png, w->info);
    return true;
}

} // namespace

static EncodedPng encoded(const IndexedPicture& picture, bool rgb) {
    std::vector<std::uint8_t> bytes;
    std::vector<png_byte> row;
    PngWriting w;
    w.bytes = &bytes;
    w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &w, png_write_failed, png_write_warned);
    if (w.png) w.info = png_create_info_struct(w.png);
    if (!w.info) {
        png_destroy_write_struct(&w.png, nullptr);
        return {{}, "Out of memory making the PNG picture."};
    }
    const bool made = png_encode(&w, picture, rgb, row);
    png_destroy_write_struct(&w.png, &w.info);
    if (!made) return {{}, std::string("libpng cannot write the PNG picture: ") + w.error + "."};
    return {std::move(bytes), std::nullopt};
}

EncodedPng encode_png(const IndexedPicture& picture) {
    if (picture.width <= 0 || picture.height <= 0 || picture.palette.empty() ||
        picture.palette.size() > 256 ||
        picture.indices.size() != std::size_t(picture.width) * std::size_t(picture.height))
        return {{}, "A PNG picture needs a size and from 1 to 256 colours."};
    return encoded(picture, false);
}

EncodedPng encode_rgb_png(int width, int height, const std::vector<std::uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() != std::size_t(width) * std::size_t(height) * 3)
        return {{}, "A PNG picture needs a size and three bytes a pixel."};
    return encoded({width, height, rgb, {}}, true);
}

} // namespace dotlane::cli
