// Dropping a file onto the window: a single local BMP file is imported exactly as "Open
// file" imports the file chosen in its dialog; anything else is refused without a word.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <optional>

#include "window/form1.h"

namespace dotlane::ui {

static std::optional<QString> dropped_bmp(const QMimeData* data) {
    if (!data || !data->hasUrls()) return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
    const QString path = urls.front().toLocalFile();
    const QFileInfo info(path);
    if (info.suffix().compare(QStringLiteral("bmp"), Qt::CaseInsensitive) != 0 || info.isDir())
        return std::nullopt;
    return path;
}

void Form1::acceptFileDrops() {
    setAcceptDrops(true);
    // The text boxes take drops of their own (text); a BMP file dropped onto one of them
    // belongs to the window all the same.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

// Accepts drag and drop events that carry a BMP file and imports the file on the drop.
bool Form1::takeFileDrop(QEvent* event) {
    auto* drop = static_cast<QDropEvent*>(event);
    const std::optional<QString> path = dropped_bmp(drop->mimeData());
    if (!path) return false;
    drop->acceptProposedAction();
    if (event->type() == QEvent::Drop) {
        clearForImport();
        importFile(*path);
    }
    return true;
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    takeFileDrop(event);
}
void Form1::dragMoveEvent(QDragMoveEvent* event) {
    takeFileDrop(event);
}
void Form1::dropEvent(QDropEvent* event) {
    takeFileDrop(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) &&
        takeFileDrop(event))
        return true;
    return QWidget::eventFilter(watched, event);
}

} // namespace dotlane::ui
