#include "window/controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "window/clickable_label.h"
#include "window/listing_box.h"
#include "window/picture_box.h"

namespace dotlane::ui {

namespace {
constexpr std::uint32_t B = kWindowBackground;
constexpr std::uint32_t T = kWindowText;
constexpr std::uint32_t H = kActiveTitleBar;
using K = Kind;
using F = Face;
} // namespace

// Rows stand in z-order: a control lies in front of every control before it.
const std::vector<ControlSpec>& control_table() {
    static const std::vector<ControlSpec> table = {
        // name, kind, container, caption, left, top, width, height, tab, face, visible, ...
        {"Command2", K::Button, nullptr, "A propos", 12600, 240, 1095, 375, 41, F::Window, false},
        {"Frame9", K::Frame, nullptr, "", 6000, 120, 6375, 495, -1, F::FrameBold, true, 0, H},
        {"Label6", K::Label, "Frame9", "Dotlane 2007 - LCD bitmaps", 1920, 120, 2775, 255, -1,
         F::FrameBold, true, 0, H},
        {"Frame4", K::Frame, nullptr, "BMP File Informations", 120, 120, 5775, 1455, -1,
         F::FrameBold, true, 0, H},
        {"Label1", K::Label, "Frame4", "Offset =", 600, 240, 615, 255, -1, F::Sans, true},
        {"offset", K::Label, "Frame4", "", 1200, 240, 735, 255, -1, F::Sans, true, B, T},
        {"offsetdec", K::Label, "Frame4", "", 2160, 240, 735, 255, -1, F::Sans, true, B, T},
        {"Label2", K::Label, "Frame4", "Width (pix) =", 240, 480, 975, 255, -1, F::Sans, true},
        {"Largeur", K::Label, "Frame4", "", 1200, 480, 735, 255, -1, F::Sans, true, B, T},
        {"largeurdec", K::Label, "Frame4", "", 2160, 480, 735, 255, -1, F::Sans, true, B, T},
        {"Label3", K::Label, "Frame4", "Height (pix) =", 240, 720, 975, 255, -1, F::Sans, true},
        {"Hauteur", K::Label, "Frame4", "", 1200, 720, 735, 255, -1, F::Sans, true, B, T},
        {"hauteurdec", K::Label, "Frame4", "", 2160, 720, 735, 255, -1, F::Sans, true, B, T},
        {"Label4", K::Label, "Frame4", "Zero Nb to clear =", 3360, 240, 1455, 255, -1, F::Sans,
         true},
        {"nbzero", K::Label, "Frame4", "", 4800, 240, 735, 255, -1, F::Sans, true, B, T},
        {"label5", K::Label, "Frame4", "Column Nb =", 3720, 480, 975, 255, -1, F::Sans, true},
        {"nbcolonne", K::Label, "Frame4", "", 4800, 480, 735, 255, -1, F::Sans, true, B, T},
        {"e", K::Label, "Frame4", "Line Nb =", 3960, 720, 735, 255, -1, F::Sans, true},
        {"nbligne", K::Label, "Frame4", "", 4800, 720, 735, 255, -1, F::Sans, true, B, T},
        {"Taille", K::Label, "Frame4", "Size", 120, 1080, 1815, 255, -1, F::Sans, true},
        {"Frame1", K::Frame, nullptr, "Frame1", 6000, 720, 7695, 855, -1, F::FrameBold, true, 0, H},
        {"chk_inv_couleur", K::CheckBox, "Frame1", "Invert Colors", 480, 360, 1935, 255, 4, F::Sans,
         true},
        {"chk_inv_image", K::CheckBox, "Frame1", "Inverser image", 480, 720, 1935, 255, 5, F::Sans,
         false},
        {"BtnOpenFile", K::Button, "Frame1", "Open file", 4800, 240, 1575, 495, 33, F::Sans, true},
        {"Btnquitt", K::Button, "Frame1", "Quit", 6600, 240, 975, 495, 32, F::Sans, true},
        {"Frame2", K::Frame, nullptr, "BMP File Header", 120, 1680, 8775, 1335, -1, F::FrameBold,
         true, 0, H},
        {"txt_entete", K::ListingBox, nullptr, "", 120, 1920, 8775, 1095, 0, F::HeaderMono, true},
        {"Frame5", K::Frame, nullptr, "ORIGINAL File", 9000, 1680, 2295, 1335, -1, F::FrameBold,
         true, 0, H},
        {"Picture1", K::PictureBox, "Frame5", "", 0, 240, 2295, 1095, 7, F::Sans, true, B},
        {"Frame6", K::Frame, nullptr, "WORKING File", 11400, 1680, 2295, 1335, -1, F::FrameBold,
         true, 0, H},
        {"Picture2", K::PictureBox, "Frame6", "", 0, 240, 2295, 1095, 13, F::Sans, true, B},
        {"Frame3", K::Frame, nullptr, "Picture Hex", 120, 3120, 13575, 5175, -1, F::FrameBold, true,
         0, H},
        {"Frame7", K::Frame, "Frame3", "T6963C", 120, 240, 6495, 4815, -1, F::FrameBold, true, 0,
         H},
        {"Text3", K::ListingBox, "Frame7", "", 0, 600, 6495, 4215, 10, F::ListingMono, false},
        {"Frame8", K::Frame, "Frame3", "SED1565", 6960, 240, 6495, 4815, -1, F::FrameBold, true, 0,
         H},
        {"Text1", K::ListingBox, "Frame8", "", 0, 600, 6495, 4215, 12, F::ListingMono, false},
        {"Command1", K::Button, "Frame8", "Command1", 120, 240, 255, 255, 47, F::Window, false},
        {"btn_savepict", K::Button, "Frame8", "Save Picture", 120, 240, 975, 375, 48, F::Window,
         false},
        {"Label9", K::Label, "Frame8", "Width (pix) =", 1200, 120, 975, 255, -1, F::Sans, true},
        {"LSED", K::Label, "Frame8", "", 2280, 120, 615, 255, -1, F::Sans, true, B, T},
        {"Label10", K::Label, "Frame8", "Height (pix) =", 3360, 120, 975, 255, -1, F::Sans, true},
        {"HSED", K::Label, "Frame8", "", 4440, 120, 615, 255, -1, F::Sans, true, B, T},
        {"btn_revserse", K::Button, "Frame8", "Reverse", 5160, 120, 855, 255, 43, F::Window, true},
        {"btn_stop", K::Button, "Frame8", "STOP", 6000, 120, 495, 495, 46, F::Window, false},
        {"Label8", K::Label, "Frame8", "Length =", 1440, 360, 735, 255, -1, F::Sans, true},
        {"LSED2", K::TextBox, "Frame8", "", 2280, 360, 615, 270, 44, F::SizeMonoBold, true, B, 0,
         true},
        {"Label7", K::Label, "Frame8", "Size (byte) =", 3480, 360, 975, 255, -1, F::Sans, true},
        {"HSED2", K::TextBox, "Frame8", "", 4440, 360, 615, 270, 45, F::SizeMonoBold, true, B, 0,
         true},
        {"btn_revsersego", K::Button, "Frame8", "Go !", 5160, 360, 855, 255, 42, F::Window, true},
    };
    return table;
}

void install_font_substitutes() {
    // Liberation faces share the metrics of the faces the layout was drawn with.
    QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "Arial", "DejaVu Sans"});
    QFont::insertSubstitutions("Courier New", {"Liberation Mono", "DejaVu Sans Mono"});
}

QFont face_font(Face face) {
    // The substitute faces run a little wider than the faces the layout was drawn with;
    // a slightly tighter spacing keeps every caption inside its control.
    auto make = [](const char* family, double points, bool bold) {
        QFont font(family);
        font.setPointSizeF(points);
        font.setBold(bold);
        font.setLetterSpacing(QFont::AbsoluteSpacing, bold && points < 8 ? -0.5 : -0.25);
        return font;
    };
    switch (face) {
    case Face::Window:
        return make("Courier New", 6.75, true);
    case Face::FrameBold:
        return make("MS Sans Serif", 8.25, true);
    case Face::Sans:
        return make("MS Sans Serif", 8.25, false);
    case Face::ListingMono:
        return make("Courier New", 6.75, false);
    case Face::HeaderMono:
        return make("Courier New", 8.25, false);
    case Face::SizeMonoBold:
        return make("Courier New", 8.25, true);
    }
    return {};
}

QColor system_colour(std::uint32_t code, const QPalette& palette) {
    switch (code) {
    case kActiveTitleBar:
        return palette.color(QPalette::Active, QPalette::Highlight);
    case kWindowBackground:
        return palette.color(QPalette::Base);
    case kWindowText:
        return palette.color(QPalette::Text);
    case kButtonFace:
        return palette.color(QPalette::Button);
    default:
        return QColor::fromRgb(code & 0xFF, (code >> 8) & 0xFF, (code >> 16) & 0xFF);
    }
}

void set_back_color(QWidget* control, std::uint32_t code) {
    control->setProperty("BackColor", QVariant::fromValue(quint32(code)));
    QPalette palette = control->palette();
    const QColor colour = system_colour(code, QApplication::palette());
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

std::uint32_t back_color(const QWidget* control) {
    return control->property("BackColor").value<quint32>();
}

static void set_fore_color(QWidget* control, std::uint32_t code) {
    QPalette palette = control->palette();
    const QColor colour = system_colour(code, QApplication::palette());
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    control->setPalette(palette);
}

static QWidget* make_control(const ControlSpec& spec, QWidget* parent) {
    const QString caption = QString::fromUtf8(spec.caption);
    switch (spec.kind) {
    case Kind::Button: {
        // Enter clicks the focused button, as Space does.
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(true);
        return button;
    }
    case Kind::Label: {
        auto* label = new ClickableLabel(caption, parent);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    }
    case Kind::TextBox: {
        auto* edit = new QLineEdit(parent);
        edit->setReadOnly(spec.locked);
        return edit;
    }
    case Kind::ListingBox:
        return new ListingBox(parent);
    case Kind::Frame:
        return new QGroupBox(caption, parent);
    case Kind::CheckBox:
        return new QCheckBox(caption, parent);
    case Kind::PictureBox:
        return new PictureBox(parent);
    }
    return nullptr;
}

QHash<QString, QWidget*> build_controls(QWidget* window) {
    QHash<QString, QWidget*> controls;
    std::vector<std::pair<int, QWidget*>> focus_chain;
    for (const ControlSpec& spec : control_table()) {
        QWidget* parent = spec.container ? controls.value(spec.container) : window;
        QWidget* control = make_control(spec, parent);
        control->setObjectName(spec.name);
        control->setGeometry(spec.left / kTwipsPerPixel, spec.top / kTwipsPerPixel,
                             spec.width / kTwipsPerPixel, spec.height / kTwipsPerPixel);
        control->setFont(face_font(spec.face));
        if (spec.back) set_back_color(control, spec.back);
        // A frame hands its caption colour down to the controls inside, so every control
        // sets its own.
        set_fore_color(control, spec.fore ? spec.fore : kWindowText);
        control->setVisible(spec.visible);
        control->raise();
        if (spec.tab < 0)
            control->setFocusPolicy(Qt::NoFocus);
        else
            focus_chain.emplace_back(spec.tab, control);
        controls.insert(spec.name, control);
    }
    std::sort(focus_chain.begin(), focus_chain.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focus_chain.size(); ++i)
        QWidget::setTabOrder(focus_chain[i - 1].second, focus_chain[i].second);
    if (!focus_chain.empty()) focus_chain.front().second->setFocus();
    return controls;
}

} // namespace dotlane::ui
