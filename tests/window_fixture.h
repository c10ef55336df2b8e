#pragma once
// Drives the window offscreen: dialogs answer from a script and record what they were asked.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <deque>
#include <gtest/gtest.h>
#include <memory>

#include "bmp_fixture.h"
#include "window/controls.h"
#include "window/dialogs.h"
#include "window/form1.h"
#include "window/listing_box.h"
#include "window/picture_box.h"

namespace dotlane::test {

class FakeDialogs : public ui::Dialogs {
public:
    struct Message {
        QString text, title;
        Icon icon;
    };
    std::deque<QString> files; // answers to the open-file dialog; an empty one cancels
    std::vector<QString> dialog_titles;
    std::vector<Message> messages;

    std::optional<QString> openFile(QWidget*, const QString& title) override {
        dialog_titles.push_back(title);
        const QString answer = files.empty() ? QString() : files.front();
        if (!files.empty()) files.pop_front();
        if (answer.isEmpty()) return std::nullopt;
        return answer;
    }
    void message(QWidget*, const QString& text, const QString& title, Icon icon) override {
        messages.push_back({text, title, icon});
    }
};

class WindowTest : public ::testing::Test {
protected:
    FakeDialogs dialogs;
    std::unique_ptr<ui::Form1> form = std::make_unique<ui::Form1>(dialogs);
    TempDir dir;

    template <class T = QWidget> T* get(const char* name) {
        T* control = form->control<T>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QString caption(const char* name) { return get<QLabel>(name)->text(); }
    QString text(const char* name); // Text of a text box of either kind
    bool shown(const char* name) { return get(name)->isVisibleTo(form.get()); }
    std::uint32_t back(const char* name) { return ui::back_color(get(name)); }
    ui::PictureBox* picture(const char* name) { return get<ui::PictureBox>(name); }

    // Clicks "Open file" and answers the dialog with `path` (nothing: Cancel).
    void open(std::optional<std::string> path);
    void open_bmp(const BmpSpec& spec) { open(dir.write("pic.bmp", make_bmp(spec))); }
    void click(const char* button) { get<QPushButton>(button)->click(); }
    // In hex-to-picture mode: pastes `listing`, fills the size fields and clicks "Go !".
    void go(const QString& listing, const QString& width, const QString& pages);
};

} // namespace dotlane::test
