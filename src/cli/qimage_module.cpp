// dotlane-qimage.so: Qt's image reader behind the plain interface of picture_module.h.
//
// Bounds. A file over kDotlaneMaxPictureFile bytes is refused before decoding. Decoding has
// kDotlaneDecodeSeconds of wall-clock time: the decoder reads through DeadlineFile, whose
// reads fail once the time is up, so the decoder meets an error at its next read and
// returns, and its answer is then refused. This keeps the reading in one process and one
// thread: a decoder reads its file in pieces of a few KiB as it goes, so no piece of work
// outlasts the limit by much, even for a progressive JPEG of thousands of scans.
//
// Warnings. Qt's image plugins report damaged data (a JPEG cut short, corrupt entropy data)
// as warnings and still hand back a picture. A message handler records them while the
// module decodes, keeps them off standard error, and turns the first one into a refusal.
//
// PNG. Qt's reader holds the whole picture in colour, four bytes a pixel, before the first
// grey byte is made. Most PNG files are read here with libpng instead, one row at a time
// straight into the grey, doing what Qt's reader does with each kind of file so that the
// bits, the refusals and the warnings are those of Qt's reading.
#include <QColorSpace>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <png.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "picture_module.h"

namespace {

using Clock = std::chrono::steady_clock;

class DeadlineFile : public QFile {
public:
    explicit DeadlineFile(Clock::time_point deadline) : deadline_(deadline) {}
    bool expired() const { return expired_; }
    // The answer is already a refusal: the decoder need not read on.
    void stop() { stopped_ = true; }

protected:
    qint64 readData(char* data, qint64 max) override {
        if (Clock::now() > deadline_) expired_ = true;
        if (expired_ || stopped_) {
            setErrorString(QStringLiteral("reading stopped"));
            return -1;
        }
        return QFile::readData(data, max);
    }

private:
    Clock::time_point deadline_;
    bool expired_ = false, stopped_ = false;
};

// The first warning Qt printed while the module decoded, and the file it was decoding.
std::string g_warning;
DeadlineFile* g_file = nullptr;

bool is_libpng_warning(const QString& text) {
    return text.startsWith(QLatin1String("libpng warning: "));
}

void record_warning(QtMsgType type, const QMessageLogContext&, const QString& text) {
    // Qt's PNG reader passes libpng's warnings on as mere information; they refuse the file
    // all the same, as in the module's own reading of PNG files, which 16-bit and
    // interlaced ones would otherwise escape.
    if (type == QtDebugMsg || (type == QtInfoMsg && !is_libpng_warning(text)) || !g_warning.empty())
        return;
    g_warning = text.toStdString();
    // A JPEG whose scans repeat warns at once, then works through them all.
    if (g_file) g_file->stop();
}

class WarningsRecorded {
public:
    explicit WarningsRecorded(DeadlineFile* file)
        : previous_(qInstallMessageHandler(record_warning)) {
        g_warning.clear();
        g_file = file;
    }
    ~WarningsRecorded() {
        qInstallMessageHandler(previous_);
        g_file = nullptr;
    }

private:
    QtMessageHandler previous_;
};

int fail(DotlaneGrey* out, const std::string& why) {
    std::snprintf(out->error, sizeof out->error, "%s", why.c_str());
    return 1;
}

std::string quoted(const char* name) {
    return std::string("\"") + name + "\"";
}

std::string too_large(const char* name, QSize size, int max_side) {
    const std::string side = std::to_string(max_side);
    return quoted(name) + " is a picture of " + std::to_string(size.width()) + " x " +
           std::to_string(size.height()) + " pixels; dotlane-cli converts pictures up to " + side +
           " x " + side + " pixels.";
}

// The exact arithmetic of the README, for one pixel.
std::uint8_t over_white(int r, int g, int b, int a) {
    const int luminance = (299 * r + 587 * g + 114 * b + 500) / 1000;
    return std::uint8_t((luminance * a + 255 * (255 - a) + 127) / 255);
}

std::uint8_t over_white(QRgb c) {
    return over_white(qRed(c), qGreen(c), qBlue(c), qAlpha(c));
}

// One row of grey bytes straight from the decoded scanline for the common formats, so the
// picture is never held a second time in colour; other formats convert one row at a time.
void grey_row(const QImage& image, int y, std::uint8_t* grey, const std::uint8_t* table) {
    const int w = image.width();
    const uchar* line = image.constScanLine(y);
    switch (image.format()) {
    case QImage::Format_Grayscale8:
        std::memcpy(grey, line, std::size_t(w));
        return;
    case QImage::Format_Indexed8:
        for (int x = 0; x < w; ++x)
            grey[x] = table[line[x]];
        return;
    case QImage::Format_Mono:
        for (int x = 0; x < w; ++x)
            grey[x] = table[(line[x >> 3] >> (7 - (x & 7))) & 1];
        return;
    case QImage::Format_MonoLSB:
        for (int x = 0; x < w; ++x)
            grey[x] = table[(line[x >> 3] >> (x & 7)) & 1];
        return;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32: {
        const auto* p = reinterpret_cast<const QRgb*>(line);
        const bool opaque = image.format() == QImage::Format_RGB32;
        for (int x = 0; x < w; ++x)
            grey[x] =
                over_white(qRed(p[x]), qGreen(p[x]), qBlue(p[x]), opaque ? 255 : qAlpha(p[x]));
        return;
    }
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBX8888:
        for (int x = 0; x < w; ++x, line += 4)
            grey[x] = over_white(line[0], line[1], line[2],
                                 image.format() == QImage::Format_RGBX8888 ? 255 : line[3]);
        return;
    default: {
        const QImage row = image.copy(0, y, w, 1).convertToFormat(QImage::Format_ARGB32);
        const auto* p = reinterpret_cast<const QRgb*>(row.constScanLine(0));
        for (int x = 0; x < w; ++x)
            grey[x] = over_white(p[x]);
    }
    }
}

// Qt's GIF and BMP readers hand back a picture whose data stops short without a word, the
// rest filled out (for BMP with whatever the memory held), so the file itself is checked:
// the blocks of a GIF up to the end of its first image, the rows of a BMP.
class Bytes {
public:
    explicit Bytes(int fd) : fd_(fd) {}
    // The byte at `offset`, -1 past the end.
    int at(qint64 offset) {
        if (offset < start_ || offset >= start_ + length_) {
            const ssize_t got = ::pread(fd_, buffer_, sizeof buffer_, off_t(offset));
            start_ = offset;
            length_ = got > 0 ? got : 0;
            if (length_ == 0) return -1;
        }
        return buffer_[offset - start_];
    }

private:
    int fd_;
    unsigned char buffer_[1 << 16];
    qint64 start_ = 0, length_ = 0;
};

bool gif_cut_short(int fd) {
    Bytes bytes(fd);
    const auto table = [&](qint64 flags_at) {
        const int flags = bytes.at(flags_at);
        return flags >= 0 && (flags & 0x80) ? 3 * (2 << (flags & 7)) : 0;
    };
    // Data sub-blocks up to the empty one; false if the file ends first.
    const auto skip_blocks = [&](qint64& at) {
        for (int length; (length = bytes.at(at)) != 0; at += 1 + length)
            if (length < 0) return false;
        ++at;
        return true;
    };
    qint64 at = 13 + table(10);
    for (;;) {
        switch (bytes.at(at)) {
        case 0x21:
            at += 2;
            if (!skip_blocks(at)) return true;
            break;
        case 0x2C:
            at += 10 + table(at + 9) + 1;
            return !skip_blocks(at);
        default: // the trailer, or what the reader judges itself
            return bytes.at(at) < 0;
        }
    }
}

// Why Qt's reading of this BMP file cannot be trusted, or empty text.
std::string bmp_problem(int fd, qint64 file_size) {
    Bytes bytes(fd);
    const auto number = [&](qint64 at, int size) {
        qint64 value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = value << 8 | std::max(bytes.at(at + i), 0);
        return value;
    };
    const qint64 info = number(14, 4);
    // Qt's reader takes every header but these four for the old one of 16-bit sizes.
    const bool core = info != 40 && info != 64 && info != 108 && info != 124;
    const qint64 width = core ? number(18, 2) : std::int32_t(number(18, 4));
    const qint64 height = core ? number(20, 2) : std::int32_t(number(22, 4));
    const qint64 bits = number(core ? 24 : 28, 2);
    const qint64 compression = core ? 0 : number(30, 4);
    // Runs may skip pixels, and Qt's reader leaves those as the memory held them.
    if (compression == 1 || compression == 2) return "run-length compressed BMP files are not read";
    if (std::abs(width) > 65535 || std::abs(height) > 65535 || bits > 64) return {};
    const qint64 row = (std::abs(width) * bits + 31) / 32 * 4;
    if (compression <= 3 && number(10, 4) + row * std::abs(height) > file_size)
        return "the file is cut short";
    return {};
}

std::string refusal(const char* name, const std::string& why) {
    return quoted(name) + " is neither a 1-bit BMP file nor a picture dotlane-cli can read (" +
           why + ").";
}

std::string took_too_long() {
    return "its decoding took longer than " + std::to_string(kDotlaneDecodeSeconds) + " s";
}

// One reading of a PNG file by libpng. libpng reports errors by jumping back to a setjmp,
// so everything the jump may cross lives here, in memory without destructors, and the
// functions that call setjmp hold nothing else.
struct PngReading {
    int fd = -1;
    long long file_size = 0;
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
                grey[x] = over_white(p[0], p[1], p[2], p[3]);
        }
    }
    r->reading_end = true;
    png_read_end(r->png, r->end);
    return !r->warning[0];
}

// The grey of each sample value as Qt's reader colours it: a grey level spread over 0 to
// 255, a palette entry with the alpha of tRNS, and a transparent grey white.
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
        if (grey && grey->gray < values) r->table[grey->gray] = 255;
        r->identity = r->depth == 8 && !grey;
        return;
    }
    png_get_PLTE(r->png, r->info, &palette, &colours);
    for (int i = 0; i < colours && i < 256; ++i)
        r->table[i] = over_white(palette[i].red, palette[i].green, palette[i].blue,
                                 alpha && i < transparent ? alpha[i] : 255);
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
    return g_warning;
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

} // namespace

int dotlane_read_grey(int fd, const char* name, int max_side, DotlaneGrey* out) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return fail(out, quoted(name) + " is not a regular file, so it cannot be a picture.");
    if (info.st_size > kDotlaneMaxPictureFile)
        return fail(out, quoted(name) + " holds " + std::to_string(info.st_size) +
                             " bytes; dotlane-cli reads pictures of up to " +
                             std::to_string(kDotlaneMaxPictureFile >> 20) + " MiB.");
    if (const int status = read_png(fd, name, max_side, info.st_size, out); status >= 0)
        return status;
    const int own = ::dup(fd);
    DeadlineFile file(Clock::now() + std::chrono::seconds(kDotlaneDecodeSeconds));
    if (own < 0 || !file.open(own, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (own >= 0) ::close(own);
        return fail(out, "Cannot read " + quoted(name) + ": " + std::strerror(errno) + ".");
    }
    const WarningsRecorded warnings(&file);
    QImageReader reader(&file);
    const QByteArray format = reader.format(); // known only until the picture is read
    const auto refused = [&](const std::string& why) { return fail(out, refusal(name, why)); };
    // The header tells the size of most formats, so a huge picture is refused unread.
    const QSize declared = reader.size();
    if (declared.isValid() && (declared.width() > max_side || declared.height() > max_side))
        return fail(out, too_large(name, declared, max_side));
    // Into a picture cleared beforehand, which Qt's readers take as it is when its size and
    // format are theirs: where a reader writes no pixel, the answer is then the same every
    // time, not what the memory held.
    QImage image;
    if (declared.isValid() && reader.imageFormat() != QImage::Format_Invalid) {
        image = QImage(declared, reader.imageFormat());
        image.fill(0);
    }
    const bool read = reader.read(&image);
    if (file.expired()) return refused(took_too_long());
    if (!read || image.isNull()) return refused(reader.errorString().toStdString());
    if (!g_warning.empty()) return refused(g_warning);
    if (format == "gif" && gif_cut_short(fd)) return refused("the file is cut short");
    if (format == "bmp" && !bmp_problem(fd, info.st_size).empty())
        return refused(bmp_problem(fd, info.st_size));
    if (image.width() > max_side || image.height() > max_side)
        return fail(out, too_large(name, image.size(), max_side));

    // Indices past a short colour table: opaque black in Indexed8 and white in the 1-bit
    // formats, as Qt's own conversions take them.
    std::uint8_t table[256];
    std::fill(std::begin(table), std::end(table),
              image.format() == QImage::Format_Indexed8 ? 0 : 255);
    const QList<QRgb> colours = image.colorTable();
    for (qsizetype i = 0; i < colours.size() && i < 256; ++i)
        table[i] = over_white(colours[i]);
    const std::size_t w = std::size_t(image.width());
    out->pixels = static_cast<std::uint8_t*>(std::malloc(w * std::size_t(image.height()) + 1));
    if (!out->pixels) return fail(out, "Out of memory reading " + quoted(name) + ".");
    for (int y = 0; y < image.height(); ++y)
        grey_row(image, y, out->pixels + w * std::size_t(y), table);
    out->width = image.width();
    out->height = image.height();
    return 0;
}

void dotlane_free_grey(DotlaneGrey* picture) {
    std::free(picture->pixels);
    picture->pixels = nullptr;
}
