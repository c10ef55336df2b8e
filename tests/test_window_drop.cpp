// Dropping files onto the offscreen window: a single BMP file is imported exactly as "Open
// file" imports it; anything else is refused without a word and changes nothing.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "import/header.h"
#include "window_fixture.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

struct DropTaken {
    bool enter = false, move = false, drop = false;
};

// Drags `data` over `target` and drops it there, as the platform would.
DropTaken drag_and_drop(QWidget* target, const QMimeData& data) {
    const QPoint at(10, 10);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return {enter.isAccepted(), move.isAccepted(), drop.isAccepted()};
}

std::unique_ptr<QMimeData> files(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

class DropTest : public WindowTest {
protected:
    // Everything an import writes or shows, to compare two windows by.
    QStringList snapshot() {
        QStringList s{form->windowTitle()};
        for (const char* name :
             {"Taille", "offset", "offsetdec", "Largeur", "largeurdec", "Hauteur", "hauteurdec",
              "nbcolonne", "nbzero", "nbligne", "LSED", "HSED"})
            s << caption(name);
        for (const char* name : {"LSED2", "HSED2", "txt_entete", "Text1", "Text3"})
            s << text(name);
        for (const char* name :
             {"Text1", "Text3", "btn_revserse", "btn_revsersego", "btn_stop", "btn_savepict"})
            s << (shown(name) ? "shown" : "hidden");
        s << QString::number(picture("Picture2")->point(1, 1));
        s << QString::number(form->state().pixel_grid.at(1, 1));
        return s;
    }
    // The same steps in a second window, through "Open file" and its dialog.
    QStringList opened_elsewhere(const std::string& path, bool reverse_first) {
        std::swap(form, other);
        if (reverse_first) click("btn_revserse");
        open(path);
        QStringList s = snapshot();
        std::swap(form, other);
        return s;
    }
    std::unique_ptr<ui::Form1> other = std::make_unique<ui::Form1>(dialogs);
};

TEST_F(DropTest, ImportsAsOpenFileDoes) {
    const std::string good =
        dir.write("pic.bmp", make_bmp({.width = 21, .height = 11, .ink = random_ink(71)}));
    const std::string upper =
        dir.write("PIC2.BmP", make_bmp({.width = 9, .height = 17, .ink = random_ink(72)}));
    const std::string refused = dir.write("four.bmp", make_bmp({.bits_per_pixel = 4}));
    const struct {
        const char* what;
        std::string path;
        bool reverse_first;
    } cases[] = {
        {"plain", good, false},
        {"in hex-to-picture mode", good, true},
        {"upper-case extension", upper, false},
        {"refused by the checks", refused, false},
    };
    for (const auto& c : cases) {
        dialogs.messages.clear();
        const QStringList expected = opened_elsewhere(c.path, c.reverse_first);
        const auto opened_messages = dialogs.messages;
        dialogs.messages.clear();
        dialogs.dialog_titles.clear();
        if (c.reverse_first) click("btn_revserse");
        const DropTaken taken = drag_and_drop(form.get(), *files({QString::fromStdString(c.path)}));
        EXPECT_TRUE(taken.enter && taken.move && taken.drop) << c.what;
        EXPECT_EQ(snapshot(), expected) << c.what;
        EXPECT_TRUE(dialogs.dialog_titles.empty()) << c.what;
        ASSERT_EQ(dialogs.messages.size(), opened_messages.size()) << c.what;
        for (std::size_t i = 0; i < opened_messages.size(); ++i)
            EXPECT_EQ(dialogs.messages[i].text, opened_messages[i].text) << c.what;
    }
    EXPECT_EQ(dialogs.messages.back().text, kNotMonochromeMessage);
}

// A file dropped onto a text box belongs to the window all the same.
TEST_F(DropTest, OntoATextBox) {
    open_bmp({.width = 8, .height = 8});
    const std::string path =
        dir.write("other.bmp", make_bmp({.width = 16, .height = 8, .ink = random_ink(73)}));
    const QStringList expected = opened_elsewhere(path, false);
    const DropTaken taken = drag_and_drop(get<ui::ListingBox>("txt_entete")->viewport(),
                                          *files({QString::fromStdString(path)}));
    EXPECT_TRUE(taken.drop);
    EXPECT_EQ(snapshot(), expected);
}

TEST_F(DropTest, AnythingElseIsRefusedQuietly) {
    const QString bmp = QString::fromStdString(
        dir.write("pic.bmp", make_bmp({.width = 16, .height = 8, .ink = random_ink(74)})));
    const QString png = QString::fromStdString(dir.write("pic.png", make_bmp({})));
    const QString bare = QString::fromStdString(dir.write("bmp", make_bmp({})));
    std::filesystem::create_directory(dir.path() / "folder.bmp");
    const QString folder = QString::fromStdString((dir.path() / "folder.bmp").string());
    auto remote = std::make_unique<QMimeData>();
    remote->setUrls({QUrl(QStringLiteral("https://example.invalid/pic.bmp"))});
    auto words = std::make_unique<QMimeData>();
    words->setText(bmp);
    const struct {
        const char* what;
        std::unique_ptr<QMimeData> data;
    } cases[] = {
        {"two BMP files", files({bmp, bmp})},
        {"a PNG file", files({png})},
        {"no extension", files({bare})},
        {"a folder named .bmp", files({folder})},
        {"a remote file", std::move(remote)},
        {"the path as text", std::move(words)},
        {"nothing", std::make_unique<QMimeData>()},
    };
    open(bmp.toStdString());
    const QStringList before = snapshot();
    dialogs.dialog_titles.clear();
    for (const auto& c : cases) {
        for (QWidget* target : {static_cast<QWidget*>(form.get()), get("Picture1")}) {
            const DropTaken taken = drag_and_drop(target, *c.data);
            EXPECT_FALSE(taken.enter || taken.move || taken.drop) << c.what;
            EXPECT_EQ(snapshot(), before) << c.what;
        }
    }
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(dialogs.dialog_titles.empty());
}

} // namespace
