#include "picture_input.h"

#include <QFile>
#include <QImage>
#include <QImageReader>

namespace dotlane::cli {

namespace {

// A file the window's checks refuse is still a 1-bit BMP when it says so; it keeps the
// window's answer rather than a second reading that might accept it.
bool declares_one_bit(const LoadedFile& file) {
    const auto& b = file.bytes;
    if (b.size() < 30 || b[0] != 'B' || b[1] != 'M') return false;
    const std::size_t at = file.header.info_size == 12 ? 24 : 28; // the old 12-byte header
    return (b[at] | b[at + 1] << 8) == 1;
}

std::string too_large(const std::string& path, int width, int height) {
    return "\"" + path + "\" is a picture of " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels; dotlane-cli converts pictures up to " +
           std::to_string(kMaxConvertSide) + " x " + std::to_string(kMaxConvertSide) + " pixels.";
}

bool fits(int width, int height) {
    return width <= kMaxConvertSide && height <= kMaxConvertSide;
}

Picture threshold_picture(const QImage& image, int threshold) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    Picture picture(argb.width(), argb.height(), kWhite);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb p = line[x];
            const int luminance = (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p) + 500) / 1000;
            const int alpha = qAlpha(p);
            const int over_white = (luminance * alpha + 255 * (255 - alpha) + 127) / 255;
            if (over_white < threshold) picture.set(x, y, kBlack);
        }
    }
    return picture;
}

} // namespace

InputPicture read_picture(const std::string& path, int threshold) {
    InputPicture in;
    LoadedFile file = load_bmp_file(path);
    in.file_size = file.size;
    if (file.accepted()) {
        in.picture = decode_picture(file.header, file.bytes);
        in.bmp = std::move(file);
        return in;
    }
    if (!file.error.empty() || declares_one_bit(file)) {
        in.error = file.message();
        return in;
    }
    QImageReader reader(QFile::decodeName(path.c_str()));
    const QSize size = reader.size();
    if (size.isValid() && !fits(size.width(), size.height())) {
        in.error = too_large(path, size.width(), size.height());
        return in;
    }
    const QImage image = reader.read();
    if (image.isNull()) {
        in.error = "\"" + path + "\" is neither a 1-bit BMP file nor a picture dotlane-cli " +
                   "can read (" + reader.errorString().toStdString() + ").";
        return in;
    }
    if (!fits(image.width(), image.height())) {
        in.error = too_large(path, image.width(), image.height());
        return in;
    }
    in.picture = threshold_picture(image, threshold);
    return in;
}

} // namespace dotlane::cli
