#include "window/listing_box.h"

#include <QScrollBar>

namespace dotlane::ui {

ListingBox::ListingBox(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // One listing line a text line: a wrapped entry would read as two.
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(true);
    connect(this, &QPlainTextEdit::textChanged, this, [this] { edited_ = edited_ || !setting_; });
}

void ListingBox::setText(const QString& text) {
    text_ = text;
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    setting_ = true;
    setPlainText(shown);
    setting_ = false;
    edited_ = false;
}

QString ListingBox::text() const {
    return edited_ ? toPlainText() : text_;
}

} // namespace dotlane::ui
