// The window offscreen: its start, the mode table, the import's wiring, hostile files
// through the window and dotlane-cli, drops, and hex-to-picture mode. What the engine
// computes is tested with the engine; here, that the window shows it where it belongs.
#include <QApplication>
#include <QDropEvent>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include "cli_runner.h"
#include "hostile_files.h"
#include "pictures/import.h"
#include "window/clickable_label.h"
#include "window_fixture.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

const auto kAll = [](int, int) { return true; };

TEST_F(WindowTest, StartState) {
    EXPECT_EQ(form->windowTitle(), "Dotlane");
    EXPECT_EQ(get<QGroupBox>("Frame1")->title(), "Dotlane - Version 1.2.2");
    EXPECT_EQ(form->size(), QSize(922, 575));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->focusWidget(), get("txt_entete"));
    EXPECT_EQ(get("Text1")->geometry(), QRect(0, 40, 433, 281)); // inside Frame8
    EXPECT_EQ(caption("Taille"), "Size");
    EXPECT_EQ(picture("Picture1")->point(149, 0), kNoColour);
    const QPalette palette = QApplication::palette();
    const QColor title_bar = palette.color(QPalette::Active, QPalette::Highlight);
    for (const char* frame : {"Frame1", "Frame4", "Frame8"})
        EXPECT_EQ(get(frame)->palette().color(QPalette::WindowText), title_bar) << frame;
    EXPECT_EQ(get("Label6")->palette().color(QPalette::WindowText), title_bar);
    EXPECT_EQ(get("Label1")->palette().color(QPalette::WindowText), palette.color(QPalette::Text));
    EXPECT_EQ(get("offset")->palette().color(QPalette::Window), palette.color(QPalette::Base));
    for (const ui::ControlSpec& spec : ui::control_table()) { // every caption fits
        QWidget* w = get(spec.name);
        const QString text = QString::fromUtf8(spec.caption);
        if (text.isEmpty() || spec.kind == ui::Kind::Frame || !qstrcmp(spec.name, "Command1"))
            continue;
        const int room = w->width() - (qobject_cast<QCheckBox*>(w)     ? 22
                                       : qobject_cast<QPushButton*>(w) ? 4
                                                                       : 0);
        EXPECT_LE(QFontMetrics(w->font()).horizontalAdvance(text), room) << spec.name;
    }
}

TEST_F(WindowTest, SmallCommands) {
    auto* box = get<QCheckBox>("chk_inv_couleur");
    for (int want : {1, 0, 1}) {
        box->click();
        EXPECT_EQ(form->state().invert_colours, want);
    }
    emit get<ui::ClickableLabel>("Label8")->clicked();
    EXPECT_TRUE(dialogs.messages.empty());
    form->show();
    click("Btnquitt");
    EXPECT_FALSE(form->isVisible());
}

// The mode is the state of the controls: which are shown, locked and coloured how, after
// each step; and the message a step shows, in a box titled "Dotlane".
TEST_F(WindowTest, ModeTable) {
    struct State {
        const char* after;
        std::function<void()> step;
        const char* shown; // of Reverse, Go, STOP, Save, Text1, Text3: '1' shown
        bool locked;
        std::uint32_t typed_colour;
        const char* message = ""; // its start; "!" before it: with the stop icon
    };
    const std::string good = dir.write("pic.bmp", make_bmp({.width = 8, .height = 8, .ink = kAll}));
    const auto key = [&](const char* button, int key) { // Enter clicks as Space does
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
        QApplication::sendEvent(get(button), &press);
        QApplication::sendEvent(get(button), &release);
    };
    const auto B = ui::kButtonFace, W = ui::kWindowBackground;
    // clang-format off
    const State states[] = {
        {"start", [] {}, "100000", true, B},
        {"import", [&] { open(good); }, "100011", true, B},
        {"Enter on Reverse", [&] { key("btn_revserse", Qt::Key_Return); }, "011011", false, W},
        {"Go", [&] { go("0x81,0x0F,\n0x04,0x08,", "2", "2"); }, "011111", false, W},
        {"bad entry", [&] { go("0x81,\n0xZZ", "2", "2"); }, "011011", false, W, "!Line 2 holds \"0xZZ\""},
        {"Go", [&] { go("0x81", "1", "1"); }, "011111", false, W},
        {"bad width", [&] { go("0x81", "two", "1"); }, "011011", false, W, "!The width (Length) must be a whole"},
        {"bad height", [&] { go("0x81", "2", "1.5"); }, "011011", false, W, "!The height (Size) must be a whole"},
        {"pasted width", [&] { go("0x81", QString(32767, u'x'), "1"); }, "011011", false, W, "!The width (Length) must be a whole"},
        {"pasted height", [&] { go("0x81", "2", "1" + QString(32766, u'\u00e9')); }, "011011", false, W, "!The height (Size) must be a whole"},
        {"too large", [&] { go("0x81", "5000", "1"); }, "011011", false, W, "!A picture of 5000 x 8 pixels is too"},
        {"Go", [&] { go("0x81", "1", "1"); }, "011111", false, W},
        {"no width", [&] { go("0x81", "", "1"); }, "011011", false, W, "Enter the picture size. !!!"},
        {"no height", [&] { go("0x81", "1", ""); }, "011011", false, W, "Enter the picture size. !!!"},
        {"width 0", [&] { go("0x81", "0", "1"); }, "011011", false, W},
        {"Space on STOP", [&] { key("btn_stop", Qt::Key_Space); }, "100011", false, B},
        {"Reverse, import", [&] { click("btn_revserse"), open(good); }, "100011", true, B},
        {"cancelled import", [&] { open(std::nullopt); }, "100000", true, B},
    };
    // clang-format on
    for (const State& s : states) {
        dialogs.messages.clear();
        s.step();
        std::string got;
        for (const char* name :
             {"btn_revserse", "btn_revsersego", "btn_stop", "btn_savepict", "Text1", "Text3"})
            got += shown(name) ? '1' : '0';
        EXPECT_EQ(got, s.shown) << "after " << s.after;
        EXPECT_EQ(get<QLineEdit>("HSED2")->isReadOnly(), s.locked) << "after " << s.after;
        EXPECT_EQ(back("LSED2"), s.typed_colour) << "after " << s.after;
        EXPECT_EQ(back("HSED"), ui::kButtonFace) << "after " << s.after;
        const bool stop = s.message[0] == '!';
        ASSERT_EQ(dialogs.messages.size(), *s.message ? 1u : 0u) << "after " << s.after;
        if (*s.message) {
            const auto& m = dialogs.messages[0];
            EXPECT_TRUE(m.text.startsWith(s.message + stop)) << m.text.toStdString();
            // A pasted field is quoted cut, whole characters of it, so the box fits the screen.
            EXPECT_LT(m.text.size(), 160) << "after " << s.after;
            EXPECT_FALSE(m.text.contains(QChar::ReplacementCharacter)) << "after " << s.after;
            EXPECT_EQ(m.title, "Dotlane");
            EXPECT_EQ(m.icon, stop ? ui::Dialogs::Icon::Stop : ui::Dialogs::Icon::None);
        }
    }
}

TEST_F(WindowTest, ImportShowsTheEnginesResults) {
    const std::string path =
        dir.write("pic.bmp", make_bmp({.width = 300, .height = 20, .ink = random_ink(3)}));
    open(path);
    EXPECT_EQ(dialogs.dialog_titles, std::vector<QString>{"Ouvrir"});
    EXPECT_EQ(form->windowTitle(), QString::fromStdString("Dotlane - " + path));
    // clang-format off
    const std::pair<const char*, const char*> labels[] = {
        {"Taille", "Taille 862 Oct."}, {"offset", "3E000000"}, {"offsetdec", "62"},
        {"Largeur", "2C010000"}, {"largeurdec", "300"}, {"Hauteur", "14000000"},
        {"hauteurdec", "20"}, {"nbcolonne", "38"}, {"nbzero", "2"}, {"nbligne", "20"},
        {"LSED", "300"}, {"HSED", "24"}};
    // clang-format on
    for (const auto& [name, value] : labels)
        EXPECT_EQ(caption(name), value) << name;
    EXPECT_EQ(text("HSED2"), "3");
    // With "Invert Colors" unticked and ticked: what the engine gives, and what dotlane-cli
    // prints, stands in the boxes.
    const LoadedFile file = load_bmp_file(path);
    // The box as it stands lists T6963C; the flag its clicks keep paints the working copy.
    for (const auto& [ticked, flag_set] : {std::pair{false, false}, {true, true}, {false, true}}) {
        if (ticked) get<QCheckBox>("chk_inv_couleur")->click(), open(path);
        if (!ticked && flag_set) get<QCheckBox>("chk_inv_couleur")->setChecked(false), open(path);
        const ImportResult r = import_bmp(file, {ticked, flag_set});
        EXPECT_EQ(text("txt_entete").toStdString(), header_dump(file.header));
        EXPECT_EQ(text("Text3").toStdString(), t6963c_listing(r.t6963c, file.header.geometry));
        EXPECT_EQ(text("Text1").toStdString(), sed1565_listing(r.sed1565));
        const std::string t6963c = ticked ? "t6963c --invert-colors " : "t6963c ";
        const std::string sed1565 = flag_set ? "sed1565 --invert-colors " : "sed1565 ";
        EXPECT_EQ(run_cli(t6963c + path).out, text("Text3").toStdString()) << ticked;
        EXPECT_EQ(run_cli(sed1565 + path).out, text("Text1").toStdString()) << flag_set;
        EXPECT_EQ(picture("Picture1")->heldPicture(), r.source);
        EXPECT_EQ(picture("Picture2")->heldPicture(), r.working);
        EXPECT_EQ(form->state().source_grid.at(299, 19), r.source.at(299, 19));
        EXPECT_EQ(form->state().pixel_grid.at(299, 23), kWhite);
        EXPECT_EQ(form->state().pixel_grid.at(7, 3), r.working.at(7, 3));
    }
}

// Qt's own reading of the accepted files shows the same pixels as the engine's.
TEST_F(WindowTest, QtAndTheEngineReadTheSamePixels) {
    // clang-format off
    const BmpSpec specs[] = {
        {.width = 17, .height = 13, .ink = random_ink(5)},
        {.width = 40, .height = 9, .ink = random_ink(6), .white_first = true},
        {.width = 33, .height = 20, .ink = random_ink(8), .top_down = true, .info_size = 124},
        {.width = 5, .height = 3, .ink = random_ink(9), .ink_colour = 0xFF0000, .paper_colour = 0x808080}};
    // clang-format on
    for (const BmpSpec& spec : specs) {
        const std::vector<std::uint8_t> bytes = make_bmp(spec);
        QImage image;
        ASSERT_TRUE(image.loadFromData(bytes.data(), int(bytes.size()), "BMP"));
        const LoadedFile file = check_bmp_bytes(bytes);
        EXPECT_EQ(ui::from_qimage(image), decode_picture(file.header, file.bytes)) << spec.width;
    }
}

// A refused file: its message in a stop box titled "Dotlane", the listings hidden, nothing
// of the earlier import changed, the file closed again; dotlane-cli prints the same message.
TEST_F(WindowTest, HostileFilesThroughTheWindowAndTheCommandLine) {
    const std::string good =
        dir.write("good.bmp", make_bmp({.width = 12, .height = 5, .ink = random_ink(4)}));
    for (const HostileRow& row : hostile_rows()) {
        TempDir scratch;
        const std::string path = row.make(scratch);
        open(good);
        const QString labels =
            caption("offset") + caption("largeurdec") + caption("nbligne") + form->windowTitle();
        const QString t6963c = text("Text3");
        const int descriptors = open_descriptor_count();
        dialogs.messages.clear();
        open(path);
        EXPECT_EQ(open_descriptor_count(), descriptors) << row.what;
        const CliRun cli = run_cli("t6963c '" + path + "'");
        if (row.accepted) {
            EXPECT_TRUE(dialogs.messages.empty()) << row.what;
            EXPECT_EQ(text("Text3").toStdString(), row.shown) << row.what;
            EXPECT_EQ(cli.out, row.shown) << row.what;
            continue;
        }
        ASSERT_EQ(dialogs.messages.size(), 1u) << row.what;
        EXPECT_TRUE(dialogs.messages[0].text.contains(QString::fromStdString(row.shown)))
            << row.what;
        EXPECT_EQ(dialogs.messages[0].icon, ui::Dialogs::Icon::Stop);
        EXPECT_EQ(dialogs.messages[0].title, "Dotlane");
        EXPECT_FALSE(shown("Text1") || shown("Text3")) << row.what;
        EXPECT_EQ(text("Text3"), t6963c) << row.what;
        EXPECT_EQ(caption("offset") + caption("largeurdec") + caption("nbligne") +
                      form->windowTitle(),
                  labels);
        // The window's message, then perhaps the convert call that lists another picture.
        EXPECT_EQ(std::tuple(cli.status, cli.out, cli.err.substr(0, cli.err.find('\n') + 1)),
                  std::tuple(1, std::string(),
                             "dotlane-cli: " + dialogs.messages[0].text.toStdString() + "\n"));
    }
}

// Drags `data` over `target` and drops it there, as the platform would; whether all three
// events were taken.
bool drag_and_drop(QWidget* target, const QMimeData& data) {
    const QPoint at(10, 10);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return enter.isAccepted() && move.isAccepted() && drop.isAccepted();
}

TEST_F(WindowTest, DroppedFiles) {
    const std::string bmp =
        dir.write("PIC.BmP", make_bmp({.width = 16, .height = 8, .ink = random_ink(74)}));
    std::filesystem::create_directory(dir.path() / "folder.bmp");
    const auto urls = [](const QStringList& names) {
        auto data = std::make_unique<QMimeData>();
        QList<QUrl> list;
        for (const QString& name : names)
            list << (name.startsWith("http") ? QUrl(name) : QUrl::fromLocalFile(name));
        data->setUrls(list);
        return data;
    };
    const QString base = QString::fromStdString(dir.path().string()) + "/";
    const std::pair<std::unique_ptr<QMimeData>, bool> cases[] = {
        {urls({base + "PIC.BmP"}), true},
        {urls({base + "PIC.BmP", base + "PIC.BmP"}), false},
        {urls({QString::fromStdString(dir.write("pic.png", make_bmp({})))}), false},
        {urls({base + "folder.bmp"}), false},
        {urls({"https://example.invalid/pic.bmp"}), false},
        {std::make_unique<QMimeData>(), false},
    };
    for (const auto& [data, taken] : cases) {
        // A text box takes dropped text of its own, but a BMP file belongs to the window.
        QWidget* inner = taken ? get<ui::ListingBox>("txt_entete")->viewport() : get("Picture1");
        for (QWidget* target : {static_cast<QWidget*>(form.get()), inner}) {
            open(std::nullopt);
            click("btn_revserse");
            EXPECT_EQ(drag_and_drop(target, *data), taken)
                << data->urls().value(0).toString().toStdString();
            EXPECT_EQ(shown("Text3"), taken); // imported as "Open file" imports, or nothing done
            EXPECT_EQ(shown("btn_stop"), !taken);
        }
    }
    EXPECT_EQ(caption("largeurdec"), "16");
    EXPECT_EQ(dialogs.dialog_titles.size(), std::size(cases) * 2); // only the Cancels above
    EXPECT_TRUE(dialogs.messages.empty());
}

// Import, paint the SED1565 listing with the column fix, save, import the saved file: the
// same listing and working copy every time.
TEST_F(WindowTest, RoundTripThroughHexToPicture) {
    qputenv("HOME", QByteArray::fromStdString(dir.path().string()));
    const std::string saved = (dir.path() / "VavovAvoZor.bmp").string();
    unsigned seed = 11;
    for (const auto& [w, h] : {std::pair{1, 1}, {2, 16}, {17, 13}, {240, 128}, {501, 496}}) {
        open_bmp({.width = w, .height = h, .ink = random_ink(seed++)});
        const QString listing = text("Text1");
        const Picture working = picture("Picture2")->heldPicture();
        const QString pages = text("HSED2");
        click("btn_revserse");
        go(listing, QString::number(w), pages);
        EXPECT_EQ(picture("Picture2")->heldPicture(), working) << w << "x" << h;
        EXPECT_EQ(caption("HSED").toInt(), working.height);
        click("btn_savepict");
        EXPECT_EQ(get<QPushButton>("btn_savepict")->toolTip().toStdString(), saved);
        open(saved);
        EXPECT_EQ(text("Text1"), listing) << w << "x" << h;
    }
    EXPECT_EQ(picture("Picture1")->point(500, 495),
              picture("Picture1")->heldPicture().at(500, 495));
    EXPECT_TRUE(dialogs.messages.empty());
    qunsetenv("HOME");
}

} // namespace
