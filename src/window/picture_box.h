#pragma once
#include <QFrame>
#include <QImage>
#include <QScrollArea>

#include "shared/picture.h"

namespace dotlane::ui {

// A picture box: a sunken 2-pixel border around a 149 x 69 drawing area that shows the held
// picture unscaled from its top-left corner, with scroll bars for a larger one. point reads
// the held picture, the background inside the drawing area, and -1 (no colour) elsewhere.
class PictureBox : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int kAreaWidth = 149;
    static constexpr int kAreaHeight = 69;

    explicit PictureBox(QWidget* parent = nullptr);
    void setPicture(const Picture& picture);
    void clear();
    Colour point(int x, int y) const;
    // The held picture, or the empty drawing area when there is none.
    Picture image() const;
    Picture heldPicture() const; // exactly the held picture, for reading every pixel at once

private:
    void showImage();
    QImage image_;
    class Canvas* canvas_;
};

QImage to_qimage(const Picture& picture);
Picture from_qimage(const QImage& image);

} // namespace dotlane::ui
