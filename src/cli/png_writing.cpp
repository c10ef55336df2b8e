// dotlane-qimage.so's writing of PNG files: palette pictures, which is all dotlane-cli makes
// (painted listings, previews, differences), encoded by Qt's writer into memory.
#include <QBuffer>
#include <QImage>
#include <cstdlib>
#include <cstring>

#include "picture_module.h"

static int refuse(DotlaneBytes* out, const char* why) {
    std::snprintf(out->error, sizeof out->error, "%s", why);
    return -1;
}

int dotlane_encode_png(const std::uint8_t* indices, int width, int height,
                       const std::uint32_t* palette, int colours, DotlaneBytes* out) {
    if (width <= 0 || height <= 0 || colours <= 0 || colours > 256)
        return refuse(out, "A PNG picture needs a size and from 1 to 256 colours.");
    QImage image(width, height, QImage::Format_Indexed8);
    if (image.isNull()) return refuse(out, "Out of memory making the PNG picture.");
    QList<QRgb> table;
    for (int i = 0; i < colours; ++i)
        table.push_back(qRgb(int(palette[i] >> 16 & 0xFF), int(palette[i] >> 8 & 0xFF),
                             int(palette[i] & 0xFF)));
    image.setColorTable(table);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), indices + std::size_t(y) * std::size_t(width),
                    std::size_t(width));
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return refuse(out, "Qt's PNG writer failed.");
    out->data = static_cast<unsigned char*>(std::malloc(std::size_t(encoded.size()) + 1));
    if (!out->data) return refuse(out, "Out of memory making the PNG picture.");
    std::memcpy(out->data, encoded.constData(), std::size_t(encoded.size()));
    out->size = encoded.size();
    return 0;
}

void dotlane_free_bytes(DotlaneBytes* bytes) {
    std::free(bytes->data);
    bytes->data = nullptr;
    bytes->size = 0;
}
