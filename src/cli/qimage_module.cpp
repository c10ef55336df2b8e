// dotlane-qimage.so: Qt's image reader behind the plain interface of picture_module.h.
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "picture_module.h"

static int fail(DotlaneRgba* out, const QString& why) {
    std::snprintf(out->error, sizeof out->error, "%s", why.toLocal8Bit().constData());
    return 1;
}

static QString too_large(const char* path, QSize size, int max_side) {
    return QStringLiteral("\"%1\" is a picture of %2 x %3 pixels; dotlane-cli converts pictures "
                          "up to %4 x %4 pixels.")
        .arg(QString::fromLocal8Bit(path))
        .arg(size.width())
        .arg(size.height())
        .arg(max_side);
}

int dotlane_read_rgba(const char* path, int max_side, DotlaneRgba* out) {
    QImageReader reader(QFile::decodeName(path));
    // The header tells the size of most formats, so a huge picture is refused unread.
    const QSize declared = reader.size();
    if (declared.isValid() && (declared.width() > max_side || declared.height() > max_side))
        return fail(out, too_large(path, declared, max_side));
    const QImage image = reader.read();
    if (image.isNull())
        return fail(out, QStringLiteral("\"%1\" is neither a 1-bit BMP file nor a picture "
                                        "dotlane-cli can read (%2).")
                             .arg(QString::fromLocal8Bit(path), reader.errorString()));
    if (image.width() > max_side || image.height() > max_side)
        return fail(out, too_large(path, image.size(), max_side));
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    const std::size_t row = std::size_t(rgba.width()) * 4;
    out->pixels = static_cast<std::uint8_t*>(std::malloc(row * std::size_t(rgba.height())));
    if (!out->pixels) return fail(out, QStringLiteral("Out of memory reading \"%1\".").arg(path));
    for (int y = 0; y < rgba.height(); ++y)
        std::memcpy(out->pixels + row * std::size_t(y), rgba.constScanLine(y), row);
    out->width = rgba.width();
    out->height = rgba.height();
    return 0;
}

void dotlane_free_rgba(DotlaneRgba* picture) {
    std::free(picture->pixels);
    picture->pixels = nullptr;
}
