// The picture module's reading of arbitrary bytes, given as a file in memory as dotlane-cli
// gives it a file. A picture it accepts must hold, pixel for pixel, the grey that Qt's own
// conversion to RGBA gives, so the module's fast paths for each format are checked too.
// PNG files, which the module reads with libpng itself, must moreover be refused exactly when
// Qt's reader fails or warns, the refusals of a size or a time aside.
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>

#include "cli/picture_module.h"
#include "fuzz_check.h"

// Larger pictures are refused unread; 4096 would make every large header a slow input.
constexpr int kMaxSide = 1024;

int g_qt_warnings = 0;

// libpng's warnings reach Qt's message handler as information.
void count_warning(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if ((type != QtDebugMsg && type != QtInfoMsg) ||
        text.startsWith(QLatin1String("libpng warning")))
        ++g_qt_warnings;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = ::memfd_create("picture", MFD_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::write(fd, data, size) == ssize_t(size));
    ::lseek(fd, 0, SEEK_SET);
    DotlaneGrey grey;
    grey.background = size % 2 ? 0 : 255; // over black and over white, by turns
    const int status = dotlane_read_grey(fd, "fuzz", kMaxSide, &grey);
    const std::string_view error(grey.error);
    const bool png = size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0 &&
                     error.find(" pixels; ") == error.npos && error.find("longer") == error.npos;
    if (status != 0) {
        FUZZ_CHECK(grey.pixels == nullptr && grey.error[0] != '\0');
        if (!png) {
            ::close(fd); // else the file below owns it
            return 0;
        }
    } else {
        FUZZ_CHECK(grey.pixels != nullptr && grey.width > 0 && grey.height > 0);
        FUZZ_CHECK(grey.width <= kMaxSide && grey.height <= kMaxSide);
    }
    // Read again as the module reads: from a file (a QBuffer, unlike a file, refuses to seek
    // past the end, and Qt's readers then read other bytes), into a picture cleared first.
    QFile file;
    FUZZ_CHECK(::lseek(fd, 0, SEEK_SET) == 0 &&
               file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle));
    QImageReader reader(&file);
    QImage image;
    g_qt_warnings = 0;
    const QtMessageHandler previous = qInstallMessageHandler(count_warning);
    if (reader.size().isValid() && reader.imageFormat() != QImage::Format_Invalid) {
        image = QImage(reader.size(), reader.imageFormat());
        image.fill(0);
    }
    const bool read = reader.read(&image);
    qInstallMessageHandler(previous);
    if (png) FUZZ_CHECK((status == 0) == (read && g_qt_warnings == 0));
    if (status != 0) return 0;
    FUZZ_CHECK(read);
    image.convertTo(QImage::Format_RGBA8888);
    FUZZ_CHECK(image.width() == grey.width && image.height() == grey.height);
    for (int y = 0; y < grey.height; ++y) {
        const uchar* p = image.constScanLine(y);
        for (int x = 0; x < grey.width; ++x, p += 4) {
            const int luminance = (299 * p[0] + 587 * p[1] + 114 * p[2] + 500) / 1000;
            const int over = (luminance * p[3] + grey.background * (255 - p[3]) + 127) / 255;
            FUZZ_CHECK(grey.pixels[std::size_t(y) * grey.width + x] == over);
        }
    }
    dotlane_free_grey(&grey);
    return 0;
}
