#include "listing_box.h"

#include <QScrollBar>

namespace dotlane::ui {

ListingBox::ListingBox(QWidget* parent) : QPlainTextEdit(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setTabChangesFocus(true);
}

void ListingBox::setText(const QString& text) {
    text_ = text;
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    setPlainText(shown);
    document()->setModified(false);
}

QString ListingBox::text() const { return document()->isModified() ? toPlainText() : text_; }

} // namespace dotlane::ui
