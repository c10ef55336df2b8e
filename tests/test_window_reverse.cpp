// Hex-to-picture mode in the offscreen window: "Reverse", "Go !", "STOP", "Save Picture".
#include <set>

#include "import/import.h"
#include "window_fixture.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

class ReverseTest : public WindowTest {
protected:
    void SetUp() override {
        qputenv("HOME", QByteArray::fromStdString(dir.path().string()));
        open_bmp({.width = 8, .height = 8, .ink = [](int, int) { return true; }});
    }
    void TearDown() override { qunsetenv("HOME"); }
    std::set<std::pair<int, int>> black() {
        std::set<std::pair<int, int>> out;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 160; ++x)
                if (picture("Picture2")->point(x, y) == kBlack) out.insert({x, y});
        return out;
    }
    std::string saved() { return (dir.path() / "VavovAvoZor.bmp").string(); }
};

struct ModeState {
    bool reverse, go, stop, save, text1, locked;
    std::uint32_t field_colour;
};

ModeState state_of(ui::Form1& form) {
    auto shown = [&](const char* n) { return form.control(n)->isVisibleTo(&form); };
    return {shown("btn_revserse"),
            shown("btn_revsersego"),
            shown("btn_stop"),
            shown("btn_savepict"),
            shown("Text1"),
            form.control<QLineEdit>("LSED2")->isReadOnly(),
            ui::back_color(form.control("LSED2"))};
}

TEST_F(ReverseTest, ModeTransitions) {
    using S = ModeState;
    const auto check = [&](const char* when, S want) {
        const S got = state_of(*form);
        EXPECT_EQ(got.reverse, want.reverse) << when;
        EXPECT_EQ(got.go, want.go) << when;
        EXPECT_EQ(got.stop, want.stop) << when;
        EXPECT_EQ(got.save, want.save) << when;
        EXPECT_EQ(got.text1, want.text1) << when;
        EXPECT_EQ(got.locked, want.locked) << when;
        EXPECT_EQ(got.field_colour, want.field_colour) << when;
    };
    const QString header = text("txt_entete"), t6963c = text("Text3");
    click("btn_revserse");
    check("after Reverse", {false, true, true, false, true, false, ui::kWindowBackground});
    EXPECT_FALSE(picture("Picture1")->hasPicture());
    EXPECT_FALSE(picture("Picture2")->hasPicture());
    EXPECT_EQ(text("Text1"), "");
    EXPECT_EQ(caption("LSED"), "");
    EXPECT_EQ(back("LSED"), ui::kButtonFace);
    EXPECT_EQ(text("txt_entete"), header);
    EXPECT_EQ(text("Text3"), t6963c);
    EXPECT_EQ(caption("largeurdec"), "8");

    go("0x81,0x0F,\n0x04,0x08,", "2", "2");
    check("after Go", {false, true, true, true, true, false, ui::kWindowBackground});
    EXPECT_EQ(caption("LSED"), "2");
    EXPECT_EQ(caption("HSED"), "16");
    EXPECT_EQ(text("Text1"), "0x81,0x0F,\n0x04,0x08,"); // left as pasted

    click("btn_stop");
    check("after STOP", {true, false, false, false, true, false, ui::kButtonFace});
    EXPECT_FALSE(picture("Picture2")->hasPicture());
    EXPECT_EQ(text("Text1"), "");
    EXPECT_EQ(text("LSED2"), "");
    EXPECT_EQ(back("HSED2"), ui::kButtonFace);
}

TEST_F(ReverseTest, WorkedExampleWithCorrectedColumns) {
    click("btn_revserse");
    go("0x81,0x0F,\r\n0x04,0x08,", "2", "2");
    const std::set<std::pair<int, int>> want = {{0, 0}, {0, 7}, {1, 0},  {1, 1},
                                                {1, 2}, {1, 3}, {0, 10}, {1, 11}};
    EXPECT_EQ(black(), want);
    EXPECT_EQ(picture("Picture2")->heldPicture().width, 2);
    EXPECT_EQ(picture("Picture2")->heldPicture().height, 16);
    EXPECT_EQ(picture("Picture2")->point(0, 1), kWhite);
}

TEST_F(ReverseTest, SizeChecks) {
    struct Case {
        const char* width;
        const char* pages;
        const char* message_start;
        ui::Dialogs::Icon icon;
    };
    const Case cases[] = {
        {"", "2", "Enter the picture size. !!!", ui::Dialogs::Icon::None},
        {"2", "", "Enter the picture size. !!!", ui::Dialogs::Icon::None},
        {"two", "2", "The width (Length) must be a whole number", ui::Dialogs::Icon::Stop},
        {"2", "1.5", "The height (Size) must be a whole number", ui::Dialogs::Icon::Stop},
        {"5000", "1", "A picture of 5000 x 8 pixels is too large", ui::Dialogs::Icon::Stop},
    };
    click("btn_revserse");
    go("0xFF,0xFF", "2", "1");
    for (const auto& c : cases) {
        go("0xFF,0xFF", "2", "1");
        dialogs.messages.clear();
        go("0xFF,0xFF", c.width, c.pages);
        ASSERT_EQ(dialogs.messages.size(), 1u) << c.width << "/" << c.pages;
        EXPECT_TRUE(dialogs.messages[0].text.startsWith(c.message_start))
            << dialogs.messages[0].text.toStdString();
        EXPECT_EQ(dialogs.messages[0].title, "Dotlane");
        EXPECT_EQ(dialogs.messages[0].icon, c.icon);
        EXPECT_FALSE(picture("Picture2")->hasPicture());
        // A prompt leaves it as it was; a refusal hides it (see test_writing.cpp).
        EXPECT_EQ(shown("btn_savepict"), c.icon == ui::Dialogs::Icon::None);
    }
}

TEST_F(ReverseTest, BadEntryPaintsNothing) {
    click("btn_revserse");
    go("0x81,0x0F,\n0xZZ,0x08,", "2", "2");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("Line 2 holds \"0xZZ\""));
    EXPECT_FALSE(picture("Picture2")->hasPicture());
    EXPECT_FALSE(shown("btn_savepict"));
}

TEST_F(ReverseTest, SaveWritesThePaintedPicture) {
    click("btn_revserse");
    go("0x81,0x0F,\n0x04,0x08,", "2", "2");
    click("btn_savepict");
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(get<QPushButton>("btn_savepict")->toolTip().toStdString(), saved());
    const LoadedFile file = load_bmp_file(saved());
    ASSERT_TRUE(file.accepted()) << file.message();
    EXPECT_EQ(file.header.width, 2);
    EXPECT_EQ(file.header.height, 16);
    EXPECT_EQ(decode_picture(file.header, file.bytes), picture("Picture2")->heldPicture());

    go("0xFF", "1", "1"); // a second save replaces the first
    click("btn_savepict");
    EXPECT_EQ(load_bmp_file(saved()).header.width, 1);

    go("0xFF", "", "1"); // stopped at the size check: the empty drawing area is saved
    click("btn_savepict");
    EXPECT_EQ(load_bmp_file(saved()).header.width, 149);
    EXPECT_EQ(load_bmp_file(saved()).header.height, 69);
}

// A save into a folder that is not there fails whoever runs the test.
TEST_F(ReverseTest, SaveIntoAMissingHomeShowsTheMessage) {
    qputenv("HOME", QByteArray::fromStdString((dir.path() / "gone").string()));
    click("btn_revserse");
    go("0xFF", "1", "1");
    click("btn_savepict");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith("The picture could not be saved to"));
    EXPECT_EQ(dialogs.messages[0].icon, ui::Dialogs::Icon::Stop);
}

// Import, take the SED1565 listing, paint it, save, import the saved file: all the same.
TEST_F(ReverseTest, RoundTripThroughTheWindow) {
    const std::pair<int, int> sizes[] = {{1, 1},    {8, 8},     {17, 13},
                                         {128, 64}, {240, 128}, {501, 496}};
    unsigned seed = 11;
    for (const auto& [w, h] : sizes) {
        open_bmp({.width = w, .height = h, .ink = random_ink(seed++)});
        const QString listing = text("Text1");
        const Picture working = picture("Picture2")->heldPicture();
        const QString pages = text("HSED2");
        click("btn_revserse");
        go(listing, QString::number(w), pages);
        EXPECT_EQ(picture("Picture2")->heldPicture(), working) << w << "x" << h;
        click("btn_savepict");
        open(saved());
        EXPECT_EQ(text("Text1"), listing) << w << "x" << h;
        EXPECT_EQ(picture("Picture2")->heldPicture(), working) << w << "x" << h;
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
