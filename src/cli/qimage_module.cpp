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

#include "module_support.h"

namespace dotlane::module {

// The first warning Qt printed while the module decoded, and the file it was decoding.
static std::string g_warning;
static DeadlineFile* g_file = nullptr;

static bool is_libpng_warning(const QString& text) {
    return text.startsWith(QLatin1String("libpng warning: "));
}

static void record_warning(QtMsgType type, const QMessageLogContext&, const QString& text) {
    // Qt's PNG reader passes libpng's warnings on as mere information; they refuse the file
    // all the same, as in the module's own reading of PNG files, which 16-bit and
    // interlaced ones would otherwise escape.
    if (type == QtDebugMsg || (type == QtInfoMsg && !is_libpng_warning(text)) || !g_warning.empty())
        return;
    g_warning = text.toStdString();
    // A JPEG whose scans repeat warns at once, then works through them all.
    if (g_file) g_file->stop();
}

WarningsRecorded::WarningsRecorded(DeadlineFile* file)
    : previous_(qInstallMessageHandler(record_warning)) {
    g_warning.clear();
    g_file = file;
}

WarningsRecorded::~WarningsRecorded() {
    qInstallMessageHandler(previous_);
    g_file = nullptr;
}

const std::string& first_warning() {
    return g_warning;
}

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

std::uint8_t over_background(int r, int g, int b, int a, int background) {
    const int luminance = (299 * r + 587 * g + 114 * b + 500) / 1000;
    return std::uint8_t((luminance * a + background * (255 - a) + 127) / 255);
}

static std::uint8_t over_background(QRgb c, int background) {
    return over_background(qRed(c), qGreen(c), qBlue(c), qAlpha(c), background);
}

// One row of grey bytes straight from the decoded scanline for the common formats, so the
// picture is never held a second time in colour; other formats convert one row at a time.
static void grey_row(const QImage& image, int y, std::uint8_t* grey, const std::uint8_t* table,
                     int background) {
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
            grey[x] = over_background(qRed(p[x]), qGreen(p[x]), qBlue(p[x]),
                                      opaque ? 255 : qAlpha(p[x]), background);
        return;
    }
    case QImage::Format_RGBA8888:
    case QImage::Format_RGBX8888:
        for (int x = 0; x < w; ++x, line += 4)
            grey[x] = over_background(line[0], line[1], line[2],
                                      image.format() == QImage::Format_RGBX8888 ? 255 : line[3],
                                      background);
        return;
    default: {
        const QImage row = image.copy(0, y, w, 1).convertToFormat(QImage::Format_ARGB32);
        const auto* p = reinterpret_cast<const QRgb*>(row.constScanLine(0));
        for (int x = 0; x < w; ++x)
            grey[x] = over_background(p[x], background);
    }
    }
}

void grey_image(const QImage& image, std::uint8_t* grey, int background) {
    // Indices past a short colour table: opaque black in Indexed8 and white in the 1-bit
    // formats, as Qt's own conversions take them.
    std::uint8_t table[256];
    std::fill(std::begin(table), std::end(table),
              image.format() == QImage::Format_Indexed8 ? 0 : 255);
    const QList<QRgb> colours = image.colorTable();
    for (qsizetype i = 0; i < colours.size() && i < 256; ++i)
        table[i] = over_background(colours[i], background);
    const std::size_t w = std::size_t(image.width());
    for (int y = 0; y < image.height(); ++y)
        grey_row(image, y, grey + w * std::size_t(y), table, background);
}

// Qt's GIF and BMP readers hand back a picture whose data stops short without a word, the
// rest filled out (for BMP with whatever the memory held), so the file itself is checked:
// the blocks of a GIF up to the end of its first image, the rows of a BMP.
namespace {
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
} // namespace

bool gif_cut_short(int fd, bool every_image) {
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
            if (!skip_blocks(at)) return true;
            if (!every_image) return false;
            break;
        default: // the trailer, or what the reader judges itself
            return bytes.at(at) < 0;
        }
    }
}

// Why Qt's reading of this BMP file cannot be trusted, or empty text.
static std::string bmp_problem(int fd, qint64 file_size) {
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

std::optional<std::string> file_refusal(int fd, const char* name, long long& size) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        return quoted(name) + " is not a regular file, so it cannot be a picture.";
    if (info.st_size > kDotlaneMaxPictureFile)
        return quoted(name) + " holds " + std::to_string(info.st_size) +
               " bytes; dotlane-cli reads pictures of up to " +
               std::to_string(kDotlaneMaxPictureFile >> 20) + " MiB.";
    size = info.st_size;
    return std::nullopt;
}

std::optional<std::string> open_own(int fd, const char* name, DeadlineFile& file) {
    const int own = ::dup(fd);
    if (own >= 0 && file.open(own, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return std::nullopt;
    const std::string why = "Cannot read " + quoted(name) + ": " + std::strerror(errno) + ".";
    if (own >= 0) ::close(own);
    return why;
}

std::string took_too_long() {
    return "its decoding took longer than " + std::to_string(kDotlaneDecodeSeconds) + " s";
}

} // namespace dotlane::module

using namespace dotlane::module;

int dotlane_read_grey(int fd, const char* name, int max_side, DotlaneGrey* out) {
    long long size = 0;
    if (const auto why = file_refusal(fd, name, size)) return fail(out, *why);
    if (const int status = read_png(fd, name, max_side, size, out); status >= 0) return status;
    DeadlineFile file(Clock::now() + std::chrono::seconds(kDotlaneDecodeSeconds));
    if (const auto why = open_own(fd, name, file)) return fail(out, *why);
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
    if (format == "gif" && gif_cut_short(fd, false)) return refused("the file is cut short");
    if (format == "bmp" && !bmp_problem(fd, size).empty()) return refused(bmp_problem(fd, size));
    if (image.width() > max_side || image.height() > max_side)
        return fail(out, too_large(name, image.size(), max_side));

    const std::size_t w = std::size_t(image.width());
    out->pixels = static_cast<std::uint8_t*>(std::malloc(w * std::size_t(image.height()) + 1));
    if (!out->pixels) return fail(out, "Out of memory reading " + quoted(name) + ".");
    grey_image(image, out->pixels, out->background);
    out->width = image.width();
    out->height = image.height();
    return 0;
}

void dotlane_free_grey(DotlaneGrey* picture) {
    std::free(picture->pixels);
    picture->pixels = nullptr;
}
