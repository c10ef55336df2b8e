// PNG files with libpng, one row at a time straight into the grey, so a large colour picture
// is never held in colour. Interlaced files, whose rows are whole only after seven passes,
// are held whole in the form their rows take (one byte a pixel for grey and palette files).
// libpng's warnings (a CRC error in any chunk, a palette index past the palette, an ICC
// profile unfit for the file) refuse the file.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <png.h>
#include <string>

#include "pictures/picture_source.h"

namespace dotlane::picture {

namespace {

// One reading of a PNG file by libpng. libpng reports errors by jumping back to a setjmp,
// so everything the jump may cross lives here, in memory without destructors, and the
// functions that call setjmp hold nothing else.
struct PngReading {
    Source* source = nullptr;
    int background = 255; // the grey transparent pixels are laid over
    png_structp png = nullptr;
    png_infop info = nullptr, end = nullptr;
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
    int colours = 256;        // palette entries, past which an index is refused
    bool reading_end = false; // the chunks after the picture
    bool one_byte = false;    // rows of one sample a pixel, mapped through `table`
    bool identity = false;    // and `table` maps each to itself: 8-bit grey, none transparent
    DotlaneGrey* out = nullptr;
    bool keep_rgba = false; // the RGBA rows kept as they are, for the colour layouts
    bool streamed = false;  // and handed to out->row, one at a time, instead of held
    std::uint8_t table[256] = {};
    std::uint8_t* grey = nullptr;
    std::uint8_t* rows = nullptr; // RGBA, one row, or all of them when interlaced
    char error[512] = {};
    char warning[512] = {};
};

void png_failed(png_structp png, png_const_charp message) {
    auto* r = static_cast<PngReading*>(png_get_error_ptr(png));
    if (!r->error[0]) std::snprintf(r->error, sizeof r->error, "%s", message);
    png_longjmp(png, 1);
}

void png_warned(png_structp png, png_const_charp message) {
    auto* r = static_cast<PngReading*>(png_get_error_ptr(png));
    if (!r->warning[0]) std::snprintf(r->warning, sizeof r->warning, "libpng warning: %s", message);
}

void png_read_bytes(png_structp png, png_bytep data, std::size_t length) {
    auto* r = static_cast<PngReading*>(png_get_io_ptr(png));
    Source& source = *r->source;
    // A file that stops short of the check bytes of its last chunk is taken as if they were
    // there: the picture is whole.
    if (r->reading_end && length == 4 && source.size() - source.offset() < 4 && !source.expired()) {
        std::memcpy(data, "\xae\x42\x60\x82", 4);
        source.seek(source.size());
        return;
    }
    if (!source.read_exact(data, length))
        png_error(png, source.expired() ? "reading stopped" : "the file is cut short");
}

// Up to the first row: false if libpng failed.
bool png_header(PngReading* r) {
    if (setjmp(png_jmpbuf(r->png))) return false;
    // For files whose compression looks further back than it declares.
    png_set_option(r->png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
    png_set_read_fn(r->png, r, png_read_bytes);
    png_read_info(r->png, r->info);
    png_get_IHDR(r->png, r->info, &r->width, &r->height, &r->depth, &r->colour, &r->interlace,
                 nullptr, nullptr);
    return true;
}

// One row as libpng left it, into the grey: false if an index lies past the palette.
bool png_grey_row(PngReading* r, const std::uint8_t* row, std::uint8_t* grey) {
    const std::size_t w = r->width;
    if (!r->one_byte && (r->streamed || !r->keep_rgba)) {
        for (std::size_t x = 0; x < w; ++x, row += 4)
            grey[x] = over_background(row[0], row[1], row[2], row[3], r->background);
        return true;
    }
    if (r->identity) return true;
    bool inside = true;
    for (std::size_t x = 0; x < w; ++x) {
        inside &= row[x] < r->colours;
        grey[x] = r->table[row[x]];
    }
    return inside;
}

constexpr const char* kPastPalette = "libpng warning: Read palette index exceeding num_palette";

// Every row into the grey, then the chunks after them: false if libpng failed or warned, or
// an index lay past the palette (which libpng checks only below 8 bits a pixel).
bool png_rows(PngReading* r) {
    if (setjmp(png_jmpbuf(r->png))) return false;
    if (r->one_byte) {
        png_set_packing(r->png);
    } else {
        png_set_scale_16(r->png);
        png_set_expand(r->png);
        if (!(r->colour & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(r->png);
        if (!(r->colour & PNG_COLOR_MASK_ALPHA) && !png_get_valid(r->png, r->info, PNG_INFO_tRNS))
            png_set_filler(r->png, 0xff, PNG_FILLER_AFTER);
    }
    const int passes = png_set_interlace_handling(r->png);
    png_read_update_info(r->png, r->info);
    const std::size_t w = r->width, bytes = r->one_byte ? 1 : 4;
    if (png_get_rowbytes(r->png, r->info) != w * bytes) png_error(r->png, "unexpected row layout");
    const bool whole = passes > 1;
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < r->height; ++y) {
            if (r->warning[0]) return false;
            // Interlaced one-byte rows gather in the grey itself, mapped once whole.
            std::uint8_t* row = r->streamed    ? r->rows + (whole ? w * 4 * y : 0)
                                : r->keep_rgba ? r->grey + w * 4 * y
                                : !whole       ? (r->one_byte ? r->grey + w * y : r->rows)
                                : r->one_byte  ? r->grey + w * y
                                               : r->rows + w * bytes * y;
            png_read_row(r->png, row, nullptr);
            if (!whole && r->streamed)
                r->out->row(r->out->context, int(w), int(r->height), int(y), row);
            else if (!whole && !r->keep_rgba && !png_grey_row(r, row, r->grey + w * y))
                png_error(r->png, kPastPalette);
        }
    if (whole && r->streamed)
        for (png_uint_32 y = 0; y < r->height; ++y)
            r->out->row(r->out->context, int(w), int(r->height), int(y), r->rows + w * 4 * y);
    if (whole && !r->keep_rgba)
        for (png_uint_32 y = 0; y < r->height; ++y) {
            const std::uint8_t* row = r->one_byte ? r->grey + w * y : r->rows + w * bytes * y;
            if (!png_grey_row(r, row, r->grey + w * y)) png_error(r->png, kPastPalette);
        }
    r->reading_end = true;
    png_read_end(r->png, r->end);
    return !r->warning[0];
}

// The grey of each sample value: a grey level spread over 0 to 255, a palette entry with
// the alpha of tRNS, and a transparent grey the background.
void png_table(PngReading* r) {
    png_colorp palette = nullptr;
    int colours = 0, transparent = 0;
    png_bytep alpha = nullptr;
    png_color_16p grey = nullptr;
    if (!png_get_tRNS(r->png, r->info, &alpha, &transparent, &grey)) {
        alpha = nullptr;
        grey = nullptr;
        transparent = 0;
    }
    if (r->colour == PNG_COLOR_TYPE_GRAY) {
        const int values = 1 << r->depth;
        for (int i = 0; i < values; ++i)
            r->table[i] = std::uint8_t(i * 255 / (values - 1));
        const bool keyed = grey && grey->gray < values;
        if (keyed) r->table[grey->gray] = std::uint8_t(r->background);
        r->identity = values == 256 && !keyed;
        return;
    }
    png_get_PLTE(r->png, r->info, &palette, &colours);
    r->colours = colours;
    for (int i = 0; i < colours && i < 256; ++i)
        r->table[i] = over_background(palette[i].red, palette[i].green, palette[i].blue,
                                      alpha && i < transparent ? alpha[i] : 255, r->background);
}

class PngFreed {
public:
    explicit PngFreed(PngReading& r) : r_(r) {}
    ~PngFreed() {
        if (r_.png) png_destroy_read_struct(&r_.png, &r_.info, &r_.end);
        std::free(r_.rows);
    }
    PngFreed(const PngFreed&) = delete;
    PngFreed& operator=(const PngFreed&) = delete;

private:
    PngReading& r_;
};

} // namespace

int read_png(Source& source, const char* name, int max_side, DotlaneGrey* out) {
    const auto r = std::make_unique<PngReading>();
    const PngFreed freed(*r);
    r->source = &source;
    r->background = out->background;
    r->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, r.get(), png_failed, png_warned);
    if (r->png) r->info = png_create_info_struct(r->png);
    if (r->info) r->end = png_create_info_struct(r->png);
    if (!r->end) return fail(out, out_of_memory(name));
    if (!png_header(r.get())) return fail(out, refusal(name, r->error));
    if (r->width > png_uint_32(max_side) || r->height > png_uint_32(max_side))
        return fail(out, too_large(name, r->width, r->height, max_side));
    if (r->warning[0]) return fail(out, refusal(name, r->warning));
    r->keep_rgba = out->channels == 4;
    r->streamed = r->keep_rgba && out->row;
    r->out = out;
    r->one_byte = !r->keep_rgba && r->depth <= 8 &&
                  (r->colour == PNG_COLOR_TYPE_GRAY || r->colour == PNG_COLOR_TYPE_PALETTE);
    if (r->one_byte) png_table(r.get());
    if (r->streamed) {
        out->width = int(r->width);
        out->height = int(r->height);
    } else {
        r->grey = grey_pixels(name, max_side, r->width, r->height, out);
        if (!r->grey) return 1;
    }
    const std::size_t w = r->width;
    if (!r->one_byte) {
        const std::size_t rows = r->interlace != PNG_INTERLACE_NONE ? r->height : 1;
        r->rows = static_cast<std::uint8_t*>(std::malloc(4 * w * rows));
        if (!r->rows) return fail(out, out_of_memory(name));
    }
    if (!png_rows(r.get()))
        return fail(out,
                    refusal(name, r->error[0] ? std::string(r->error) : std::string(r->warning)));
    return 0;
}

} // namespace dotlane::picture
