// "Open file" in the offscreen window, from the dialog to both listings.
#include "cli_runner.h"
#include "import/import.h"
#include "window_fixture.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

const auto kMarks = [](int x, int y) { return (x == 0 && y == 0) || (x == 1 && y == 7); };

TEST_F(WindowTest, ImportEndToEnd) {
    const std::string path =
        dir.write("pic.bmp", make_bmp({.width = 17, .height = 8, .ink = kMarks}));
    open(path);
    EXPECT_EQ(dialogs.dialog_titles, std::vector<QString>{"Ouvrir"});
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(form->windowTitle(), QString::fromStdString("Dotlane - " + path));
    EXPECT_EQ(caption("Taille"), "Taille 94 Oct.");
    const std::pair<const char*, const char*> labels[] = {{"offset", "3E000000"},
                                                          {"offsetdec", "62"},
                                                          {"Largeur", "11000000"},
                                                          {"largeurdec", "17"},
                                                          {"Hauteur", "08000000"},
                                                          {"hauteurdec", "8"},
                                                          {"nbcolonne", "3"},
                                                          {"nbzero", "1"},
                                                          {"nbligne", "8"},
                                                          {"LSED", "17"},
                                                          {"HSED", "8"}};
    for (const auto& [name, value] : labels)
        EXPECT_EQ(caption(name), value) << name;
    EXPECT_EQ(text("LSED2"), "17");
    EXPECT_EQ(text("HSED2"), "1");
    EXPECT_TRUE(text("txt_entete").startsWith("0x42,0x4D,"));
    EXPECT_EQ(text("Text3").left(8), "8,3,\r\n0x");
    EXPECT_EQ(text("Text3").count("\r\n"), 9);
    QString sed = "0x01,0x80,";
    for (int i = 0; i < 14; ++i)
        sed += "0x00,";
    EXPECT_EQ(text("Text1"), sed + "\r\n0x00,");
    for (const char* name : {"Text1", "Text3", "btn_revserse"})
        EXPECT_TRUE(shown(name)) << name;
    for (const char* name : {"btn_revsersego", "btn_stop", "btn_savepict"})
        EXPECT_FALSE(shown(name)) << name;
    EXPECT_TRUE(get<QLineEdit>("LSED2")->isReadOnly());
    EXPECT_EQ(picture("Picture1")->point(0, 0), kBlack);
    EXPECT_EQ(picture("Picture1")->point(1, 0), kWhite);
    EXPECT_EQ(picture("Picture2")->point(1, 7), kBlack);
    EXPECT_EQ(form->state().pixel_grid.at(1, 7), kBlack);
}

// The command line prints exactly what the window's boxes hold, for either setting.
TEST_F(WindowTest, CommandLineGivesTheWindowsText) {
    const struct {
        const char* what;
        BmpSpec spec;
    } cases[] = {
        {"17x13 random", {.width = 17, .height = 13, .ink = random_ink(5)}},
        {"white first", {.width = 40, .height = 9, .ink = random_ink(6), .white_first = true}},
        {"top-down 124",
         {.width = 33, .height = 20, .ink = random_ink(8), .top_down = true, .info_size = 124}},
        {"larger than the box", {.width = 240, .height = 128, .ink = random_ink(9)}},
    };
    for (const auto& c : cases) {
        const std::string path = dir.write("cmp.bmp", make_bmp(c.spec));
        for (bool invert : {false, true}) {
            if (get<QCheckBox>("chk_inv_couleur")->isChecked() != invert)
                get<QCheckBox>("chk_inv_couleur")->click();
            open(path);
            const std::string flag = invert ? " --invert-colors " : " ";
            EXPECT_EQ(run_cli("t6963c" + flag + path).out, text("Text3").toStdString()) << c.what;
            EXPECT_EQ(run_cli("sed1565" + flag + path).out, text("Text1").toStdString()) << c.what;
        }
        const CliRun info = run_cli("info " + path);
        EXPECT_NE(info.out.find("nbcolonne: " + caption("nbcolonne").toStdString() + "\n"),
                  std::string::npos);
        EXPECT_EQ(info.out.substr(0, info.out.find("\nTaille")), text("txt_entete").toStdString());
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

// A picture larger than the drawing area is read whole: no pixel reads as "no colour".
TEST_F(WindowTest, LargePictureIsReadWhole) {
    open_bmp(
        {.width = 300, .height = 200, .ink = [](int x, int y) { return x == 299 && y == 199; }});
    EXPECT_EQ(picture("Picture1")->point(299, 199), kBlack);
    EXPECT_EQ(picture("Picture1")->point(298, 199), kWhite);
    EXPECT_EQ(form->state().pixel_grid.at(299, 199), kBlack);
    EXPECT_EQ(caption("HSED"), "200");
    EXPECT_EQ(text("HSED2"), "25");
}

TEST_F(WindowTest, CancelKeepsTheEarlierImport) {
    open_bmp({.width = 8, .height = 8});
    open(std::nullopt);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(caption("Taille"), "Taille 94 Oct.");
    EXPECT_EQ(text("txt_entete"), "");
    EXPECT_FALSE(shown("Text1"));
    EXPECT_FALSE(shown("Text3"));
    EXPECT_FALSE(picture("Picture2")->hasPicture());
    EXPECT_TRUE(picture("Picture1")->hasPicture());
}

// Refused files: the message, the dump, and nothing of the earlier import disturbed.
TEST_F(WindowTest, RefusedFiles) {
    struct Case {
        const char* what;
        BmpSpec spec;
        const char* message_start;
    };
    const Case cases[] = {
        {"not BMP", {.signature = "GI"}, "Warning, this is not a valid BMP file."},
        {"4 bits", {.bits_per_pixel = 4}, "Warning, This BMP File isn't a MONOCHROME BMP File."},
        {"cut short", {.width = 16, .height = 16, .cut = 1}, "Warning, this BMP file is cut short"},
        {"too wide", {.width = 600, .height = 2}, "Warning, this picture is 600 pixels wide"},
    };
    open_bmp({.width = 8, .height = 8, .ink = [](int, int) { return true; }});
    const QString listing = text("Text3");
    for (const auto& c : cases) {
        dialogs.messages.clear();
        const std::string path = dir.write("bad.bmp", make_bmp(c.spec));
        open(path);
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.what;
        EXPECT_TRUE(dialogs.messages[0].text.startsWith(c.message_start))
            << c.what << ": " << dialogs.messages[0].text.toStdString();
        EXPECT_EQ(dialogs.messages[0].title, "Dotlane");
        EXPECT_EQ(dialogs.messages[0].icon, ui::Dialogs::Icon::Stop);
        EXPECT_EQ(text("txt_entete").count("0x"), 54) << c.what;
        EXPECT_FALSE(shown("Text1")) << c.what;
        EXPECT_FALSE(shown("Text3")) << c.what;
        EXPECT_EQ(text("Text3"), listing) << c.what;
        EXPECT_EQ(caption("largeurdec"), "8") << c.what;
        EXPECT_EQ(form->windowTitle(),
                  QString::fromStdString("Dotlane - " + (dir.path() / "pic.bmp").string()));
    }
}

TEST_F(WindowTest, ImportLeavesHexToPictureMode) {
    click("btn_revserse");
    get<QLineEdit>("LSED2")->setText("2");
    get<QLineEdit>("HSED2")->setText("1");
    click("btn_revsersego");
    ASSERT_TRUE(shown("btn_savepict"));
    open_bmp({.width = 8, .height = 8});
    for (const char* name : {"btn_revsersego", "btn_stop", "btn_savepict"})
        EXPECT_FALSE(shown(name)) << name;
    EXPECT_TRUE(shown("btn_revserse"));
    EXPECT_TRUE(get<QLineEdit>("LSED2")->isReadOnly());
    EXPECT_EQ(back("LSED2"), ui::kButtonFace);
}

} // namespace
