// dotlane-qimage.so's reading of PNG files with libpng, one row at a time straight into the
// grey, doing what Qt's reader does with each kind of file so that the bits, the refusals
// and the warnings are those of Qt's reading.
#include <QByteArray>
#include <QColorSpace>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <png.h>
#include <string>
#include <unistd.h>
#include <utility>

#include "module_support.h"

namespace dotlane::module {

namespace {

// One reading of a PNG file by libpng. libpng reports errors by jumping back to a setjmp,
// so everything the jump may cross lives here, in memory without destructors, and the
// functions that call setjmp hold nothing else.
struct PngReading {
    int fd = -1;
    long long file_size = 0;
    int background = 255; // the grey transparent pixels are laid over
    Clock::time_point deadline;
    png_structp png = nullptr;
    png_infop info = nullptr, end = nullptr;
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0;
    bool expired = false;
    bool reading_end = false; // the chunks after the picture
    bool one_byte = false;    // rows of one sample a pixel, mapped through `table`
    bool identity = false;    // and `table` changes nothing
    std::uint8_t table[256] = {};
    std::uint8_t* grey = nullptr;
    std::uint8_t* row = nullptr; // RGBA, for the other rows
    char error[512] = {};
    char warning[512] = {};
    long long offset = 0; // of the next byte libpng asks for
    long long start = 0, length = 0;
    unsigned char buffer[1 << 16];
};

void png_failed(png_structp png, png_const_charp message) {
    auto* r = static_cast<PngReading*>(png_get_error_ptr(png));
    if (!r->error[0]) std::snprintf(r->error, sizeof r->error, "%s", message);
    png_longjmp(png, 1);
}

// Qt's reader prints libpng's warnings in these words, and the module refuses them.
void png_warned(png_structp png, png_const_charp message) {
    auto* r = static_cast<PngReading*>(png_get_error_ptr(png));
    if (!r->warning[0]) std::snprintf(r->warning, sizeof r->warning, "libpng warning: %s", message);
}

void png_read_bytes(png_structp png, png_bytep data, std::size_t length) {
    auto* r = static_cast<PngReading*>(png_get_io_ptr(png));
    if (Clock::now() > r->deadline) {
        r->expired = true;
        png_error(png, "reading stopped");
    }
    // Qt's reader takes a file that stops short of the check bytes of its last chunk as if
    // they were there.
    if (r->reading_end && length == 4 && r->file_size - r->offset < 4) {
        std::memcpy(data, "\xae\x42\x60\x82", 4);
        r->offset = r->file_size;
        return;
    }
    while (length > 0) {
        if (r->offset < r->start || r->offset >= r->start + r->length) {
            const ssize_t got = ::pread(r->fd, r->buffer, sizeof r->buffer, off_t(r->offset));
            if (got <= 0) png_error(png, "the file is cut short");
            r->start = r->offset;
            r->length = got;
        }
        const std::size_t n =
            std::min<std::size_t>(length, std::size_t(r->start + r->length - r->offset));
        std::memcpy(data, r->buffer + (r->offset - r->start), n);
        data += n;
        length -= n;
        r->offset += static_cast<long long>(n);
    }
}

// Up to the first row: false if libpng failed.
bool png_header(PngReading* r) {
    if (setjmp(png_jmpbuf(r->png))) return false;
    // As Qt's reader does, for files whose compression looks further back than it declares.
    png_set_option(r->png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
    png_set_read_fn(r->png, r, png_read_bytes);
    png_read_info(r->png, r->info);
    png_get_IHDR(r->png, r->info, &r->width, &r->height, &r->depth, &r->colour, nullptr, nullptr,
                 nullptr);
    return true;
}

// Every row into the grey, then the chunks after them: false if libpng failed or warned, or
// the time ran out.
bool png_rows(PngReading* r) {
    if (setjmp(png_jmpbuf(r->png))) return false;
    if (r->one_byte) {
        png_set_packing(r->png);
    } else {
        png_set_expand(r->png);
        if (r->colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(r->png);
        if (!(r->colour & PNG_COLOR_MASK_ALPHA) && !png_get_valid(r->png, r->info, PNG_INFO_tRNS))
            png_set_filler(r->png, 0xff, PNG_FILLER_AFTER);
    }
    png_read_update_info(r->png, r->info);
    if (png_get_rowbytes(r->png, r->info) != std::size_t(r->width) * (r->one_byte ? 1 : 4))
        png_error(r->png, "unexpected row layout");
    const std::size_t w = r->width;
    for (png_uint_32 y = 0; y < r->height; ++y) {
        if (Clock::now() > r->deadline) r->expired = true;
        if (r->expired || r->warning[0]) return false;
        std::uint8_t* grey = r->grey + w * y;
        if (r->one_byte) {
            png_read_row(r->png, grey, nullptr);
            if (!r->identity)
                for (std::size_t x = 0; x < w; ++x)
                    grey[x] = r->table[grey[x]];
        } else {
            png_read_row(r->png, r->row, nullptr);
            const std::uint8_t* p = r->row;
            for (std::size_t x = 0; x < w; ++x, p += 4)
                grey[x] = over_background(p[0], p[1], p[2], p[3], r->background);
        }
    }
    r->reading_end = true;
    png_read_end(r->png, r->end);
    return !r->warning[0];
}

// The grey of each sample value as Qt's reader colours it: a grey level spread over 0 to
// 255, a palette entry with the alpha of tRNS, and a transparent grey the background.
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
        if (grey && grey->gray < values) r->table[grey->gray] = std::uint8_t(r->background);
        r->identity = r->depth == 8 && !grey;
        return;
    }
    png_get_PLTE(r->png, r->info, &palette, &colours);
    for (int i = 0; i < colours && i < 256; ++i)
        r->table[i] = over_background(palette[i].red, palette[i].green, palette[i].blue,
                                      alpha && i < transparent ? alpha[i] : 255, r->background);
    // Qt's reader gives indices past the palette the first colour.
    for (int i = colours; i < 256; ++i)
        r->table[i] = r->table[0];
}

// Qt's reader builds a colour space from an embedded ICC profile, and its parser warns of a
// profile it cannot read: the same warning refuses the file here.
std::string icc_warning(png_structp png, png_infop info) {
    png_charp profile_name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 length = 0;
    if (!png_get_valid(png, info, PNG_INFO_iCCP) ||
        !png_get_iCCP(png, info, &profile_name, &compression, &profile, &length))
        return {};
    const WarningsRecorded warnings(nullptr);
    (void)QColorSpace::fromIccProfile(
        QByteArray(reinterpret_cast<const char*>(profile), qsizetype(length)));
    return first_warning();
}

class PngFreed {
public:
    explicit PngFreed(PngReading& r) : r_(r) {}
    ~PngFreed() {
        if (r_.png) png_destroy_read_struct(&r_.png, &r_.info, &r_.end);
        std::free(r_.grey);
        std::free(r_.row);
    }
    PngFreed(const PngFreed&) = delete;
    PngFreed& operator=(const PngFreed&) = delete;

private:
    PngReading& r_;
};

} // namespace

// Reads a PNG file row by row into the grey; -1 leaves the file to Qt's reader. That takes
// files of 16-bit samples, whose reduction to 8 bits is Qt's own, and interlaced ones, whose
// rows are whole only after seven passes over the picture, which must then be held whole.
int read_png(int fd, const char* name, int max_side, long long file_size, DotlaneGrey* out) {
    unsigned char head[29];
    if (::pread(fd, head, sizeof head, 0) != ssize_t(sizeof head) || png_sig_cmp(head, 0, 8) != 0 ||
        head[24] == 16 || head[28] != 0)
        return -1;
    const auto r = std::make_unique<PngReading>();
    const PngFreed freed(*r);
    r->fd = fd;
    r->file_size = file_size;
    r->background = out->background;
    r->deadline = Clock::now() + std::chrono::seconds(kDotlaneDecodeSeconds);
    r->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, r.get(), png_failed, png_warned);
    if (r->png) r->info = png_create_info_struct(r->png);
    if (r->info) r->end = png_create_info_struct(r->png);
    if (!r->end) return fail(out, "Out of memory reading " + quoted(name) + ".");
    if (!png_header(r.get()))
        return fail(out, refusal(name, r->expired ? took_too_long() : std::string(r->error)));
    if (r->width > png_uint_32(max_side) || r->height > png_uint_32(max_side))
        return fail(out, too_large(name, QSize(int(r->width), int(r->height)), max_side));
    if (r->warning[0]) return fail(out, refusal(name, r->warning));
    const std::string icc = icc_warning(r->png, r->info);
    if (!icc.empty()) return fail(out, refusal(name, icc));
    r->one_byte = r->colour == PNG_COLOR_TYPE_GRAY || r->colour == PNG_COLOR_TYPE_PALETTE;
    if (r->one_byte) {
        // A 1-bit palette of one colour: Qt's reader leaves the second colour as it finds it.
        png_colorp palette = nullptr;
        int colours = 0;
        if (r->colour == PNG_COLOR_TYPE_PALETTE && r->depth == 1 &&
            (!png_get_PLTE(r->png, r->info, &palette, &colours) || colours < 2))
            return -1;
        png_table(r.get());
    }
    const std::size_t w = r->width;
    r->grey = static_cast<std::uint8_t*>(std::malloc(w * r->height + 1));
    if (!r->one_byte) r->row = static_cast<std::uint8_t*>(std::malloc(4 * w));
    if (!r->grey || (!r->one_byte && !r->row))
        return fail(out, "Out of memory reading " + quoted(name) + ".");
    if (!png_rows(r.get()))
        return fail(out, refusal(name, r->expired    ? took_too_long()
                                       : r->error[0] ? std::string(r->error)
                                                     : std::string(r->warning)));
    out->pixels = std::exchange(r->grey, nullptr);
    out->width = int(r->width);
    out->height = int(r->height);
    return 0;
}

} // namespace dotlane::module
