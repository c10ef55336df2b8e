// The window right after start and its small commands.
#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionButton>

#include "window_fixture.h"

using namespace dotlane;
using namespace dotlane::test;

namespace {

TEST_F(WindowTest, StartState) {
    EXPECT_EQ(form->windowTitle(), "Dotlane");
    const QString version = get<QGroupBox>("Frame1")->title();
    EXPECT_EQ(version, "Dotlane - Version 1.2.2");
    EXPECT_EQ(version.size(), 23);
    EXPECT_EQ(form->size(), QSize(922, 575));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());

    const char* hidden[] = {"Command2", "Command1", "btn_savepict",  "btn_stop",
                            "Text1",    "Text3",    "chk_inv_image", "btn_revsersego"};
    for (const char* name : hidden)
        EXPECT_FALSE(shown(name)) << name;
    const char* visible[] = {"btn_revserse",    "BtnOpenFile", "Btnquitt",
                             "chk_inv_couleur", "txt_entete",  "Picture1",
                             "Picture2",        "LSED2",       "Label6"};
    for (const char* name : visible)
        EXPECT_TRUE(shown(name)) << name;

    for (const char* name : {"LSED", "HSED", "LSED2", "HSED2"})
        EXPECT_EQ(back(name), ui::kButtonFace) << name;
    EXPECT_EQ(back("offset"), ui::kWindowBackground);
    EXPECT_TRUE(get<QLineEdit>("LSED2")->isReadOnly());
    EXPECT_TRUE(get<QLineEdit>("HSED2")->isReadOnly());
    EXPECT_EQ(form->state().invert_colours, 0);
    EXPECT_EQ(caption("Taille"), "Size");
    EXPECT_EQ(get<ui::PictureBox>("Picture1")->point(0, 0),
              get<ui::PictureBox>("Picture1")->point(148, 68));
    EXPECT_EQ(get<ui::PictureBox>("Picture1")->point(149, 0), kNoColour);
}

TEST_F(WindowTest, SystemColoursFollowThePalette) {
    const QPalette palette = QApplication::palette();
    EXPECT_EQ(get("offset")->palette().color(QPalette::Window), palette.color(QPalette::Base));
    EXPECT_EQ(get("offset")->palette().color(QPalette::WindowText), palette.color(QPalette::Text));
    EXPECT_EQ(get("LSED")->palette().color(QPalette::Window), palette.color(QPalette::Button));
    EXPECT_EQ(get("Label6")->palette().color(QPalette::WindowText),
              palette.color(QPalette::Highlight));
}

TEST_F(WindowTest, TabOrderStartsInTheHeaderBox) {
    QWidget* first = get("txt_entete");
    EXPECT_EQ(form->focusWidget(), first);
    form->show();
    // Tabbing skips hidden controls and labels.
    const char* order[] = {"txt_entete",  "chk_inv_couleur", "Picture1", "Picture2",
                           "BtnOpenFile", "btn_revserse",    "LSED2",    "HSED2"};
    // Only the relative order matters: Quit and the mode buttons sit between these.
    QWidget* w = first;
    std::vector<QString> seen;
    do {
        if (w->isVisible() && w->focusPolicy() & Qt::TabFocus) seen.push_back(w->objectName());
        w = w->nextInFocusChain();
    } while (w != first);
    std::size_t at = 0;
    for (const QString& name : seen)
        if (at < std::size(order) && name == order[at]) ++at;
    EXPECT_EQ(at, std::size(order));
    for (const QString& name : seen)
        EXPECT_FALSE(name.startsWith("Label")) << name.toStdString();
    form->hide();
}

TEST_F(WindowTest, LayoutPositionsAndFronts) {
    EXPECT_EQ(get("txt_entete")->geometry(), QRect(8, 128, 585, 73));
    EXPECT_EQ(get("Picture1")->geometry(), QRect(0, 16, 153, 73));
    EXPECT_EQ(get("Text1")->geometry(), QRect(0, 40, 433, 281));
    EXPECT_EQ(get("Text1")->parentWidget(), get("Frame8"));
    // A later sibling lies in front: the header box over its frame, the size fields over Text1.
    const auto in_front = [&](const char* front, const char* back) {
        const QObjectList& siblings = get(front)->parentWidget()->children();
        return siblings.indexOf(get(front)) > siblings.indexOf(get(back));
    };
    EXPECT_TRUE(in_front("txt_entete", "Frame2"));
    EXPECT_TRUE(in_front("LSED2", "Text1"));
    EXPECT_TRUE(in_front("btn_stop", "Text1"));
    EXPECT_TRUE(in_front("btn_savepict", "Command1"));
    EXPECT_EQ(ui::control_table().size() + 1, 50u); // and the open-file dialog
}

// Every caption fits its control in the faces the window maps its fonts to.
TEST_F(WindowTest, NoCaptionIsClipped) {
    for (const ui::ControlSpec& spec : ui::control_table()) {
        QWidget* w = get(spec.name);
        const QString text = QString::fromUtf8(spec.caption);
        // Frames are checked below; Command1 is never shown.
        if (text.isEmpty() || spec.kind == ui::Kind::Frame || !qstrcmp(spec.name, "Command1"))
            continue;
        int room = w->width();
        if (qobject_cast<QCheckBox*>(w)) room -= 22;  // the box and its gap
        if (qobject_cast<QPushButton*>(w)) room -= 4; // the button's bevel
        EXPECT_LE(QFontMetrics(w->font()).horizontalAdvance(text), room) << spec.name;
    }
    for (const char* frame : {"Frame4", "Frame1", "Frame2", "Frame5", "Frame6", "Frame7"}) {
        auto* box = get<QGroupBox>(frame);
        EXPECT_LE(QFontMetrics(box->font()).horizontalAdvance(box->title()) + 16, box->width());
    }
}

TEST_F(WindowTest, InvertColorsKeepsTheFlag) {
    auto* box = get<QCheckBox>("chk_inv_couleur");
    box->click();
    EXPECT_EQ(form->state().invert_colours, 1);
    box->click();
    EXPECT_EQ(form->state().invert_colours, 0);
    box->click();
    EXPECT_EQ(form->state().invert_colours, 1);
}

TEST_F(WindowTest, SmallCommands) {
    form->Label8_Click();
    EXPECT_TRUE(dialogs.messages.empty());
    form->Command2_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, caption("Label6"));
    form->show();
    click("Btnquitt");
    EXPECT_FALSE(form->isVisible());
}

} // namespace
