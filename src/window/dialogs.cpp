#include "window/dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace dotlane::ui {

std::optional<QString> QtDialogs::openFile(QWidget* parent, const QString& title) {
    // Extensions match in any letter case ("*.Bmp", "*.BMP").
    const QString path = QFileDialog::getOpenFileName(
        parent, title, QString(), QStringLiteral("BMP pictures (*.[bB][mM][pP]);;All files (*)"));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

void QtDialogs::message(QWidget* parent, const QString& text, const QString& title, Icon icon) {
    QMessageBox box(icon == Icon::Stop ? QMessageBox::Critical : QMessageBox::NoIcon, title, text,
                    QMessageBox::Ok, parent);
    box.exec();
}

} // namespace dotlane::ui
