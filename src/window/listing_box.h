#pragma once
#include <QPlainTextEdit>

namespace dotlane::ui {

// A multi-line text box whose Text is exactly what the program set, "\r\n" line ends
// included, until the user edits it; from then on it is what the box shows.
class ListingBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ListingBox(QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const;

private:
    QString text_;
    bool setting_ = false;
    bool edited_ = false;
};

} // namespace dotlane::ui
