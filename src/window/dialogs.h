#pragma once
// The seam around the modal dialogs: the window asks through this interface, tests answer
// through their own implementation, so every handler runs without a modal loop.
#include <QString>
#include <optional>

class QWidget;

namespace dotlane::ui {

class Dialogs {
public:
    enum class Icon { None, Stop };
    virtual ~Dialogs() = default;
    // The chosen file, or nothing when the user cancels.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& title) = 0;
    virtual void message(QWidget* parent, const QString& text, const QString& title, Icon icon) = 0;
};

// The platform's open-file dialog and message boxes.
class QtDialogs : public Dialogs {
public:
    std::optional<QString> openFile(QWidget* parent, const QString& title) override;
    void message(QWidget* parent, const QString& text, const QString& title, Icon icon) override;
};

} // namespace dotlane::ui
