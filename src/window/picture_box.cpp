#include "window/picture_box.h"

#include <QPainter>

#include "window/controls.h"

namespace dotlane::ui {

static Colour to_colour(QRgb rgb) {
    return Colour(qRed(rgb)) | Colour(qGreen(rgb)) << 8 | Colour(qBlue(rgb)) << 16;
}

static QRgb to_rgb(Colour colour) {
    return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

QImage to_qimage(const Picture& picture) {
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x)
            line[x] = to_rgb(picture.at(x, y));
    }
    return image;
}

Picture from_qimage(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Picture picture(rgb.width(), rgb.height(), kWhite);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            picture.set(x, y, to_colour(line[x]));
    }
    return picture;
}

// Paints the background and the held picture at (0, 0), unscaled.
class Canvas : public QWidget {
public:
    explicit Canvas(const QImage& image) : image_(image) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Base));
        if (!image_.isNull()) painter.drawImage(0, 0, image_);
    }

private:
    const QImage& image_;
};

PictureBox::PictureBox(QWidget* parent) : QScrollArea(parent), canvas_(new Canvas(image_)) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setWidgetResizable(false);
    setWidget(canvas_);
    showImage();
}

void PictureBox::showImage() {
    canvas_->resize(std::max(image_.width(), kAreaWidth), std::max(image_.height(), kAreaHeight));
    canvas_->update();
}

void PictureBox::setPicture(const Picture& picture) {
    image_ = to_qimage(picture);
    showImage();
}

void PictureBox::clear() {
    image_ = QImage();
    showImage();
}

Colour PictureBox::point(int x, int y) const {
    if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height())
        return to_colour(image_.pixel(x, y));
    if (x >= 0 && y >= 0 && x < kAreaWidth && y < kAreaHeight)
        return to_colour(system_colour(kWindowBackground, palette()).rgb());
    return kNoColour;
}

Picture PictureBox::heldPicture() const {
    return from_qimage(image_);
}

Picture PictureBox::image() const {
    if (!image_.isNull()) return heldPicture();
    return Picture(kAreaWidth, kAreaHeight,
                   to_colour(system_colour(kWindowBackground, palette()).rgb()));
}

} // namespace dotlane::ui
