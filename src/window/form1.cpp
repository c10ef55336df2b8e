#include "window/form1.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVersionNumber>

#include "version.h"
#include "window/clickable_label.h"
#include "window/controls.h"
#include "window/listing_box.h"
#include "window/picture_box.h"

namespace dotlane::ui {

void install_version_info() {
    QCoreApplication::setApplicationName(QStringLiteral("Dotlane"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DOTLANE_VERSION));
}

Form1::Form1(Dialogs& dialogs, QWidget* parent) : QWidget(parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Dotlane"));
    setWindowIcon(QIcon(QStringLiteral(":/dotlane.png")));
    setFixedSize(kClientWidth, kClientHeight);
    setFont(face_font(Face::Window));
    controls_ = build_controls(this);

    Frame1 = control<QGroupBox>("Frame1");
    offset = control<QLabel>("offset");
    offsetdec = control<QLabel>("offsetdec");
    Largeur = control<QLabel>("Largeur");
    largeurdec = control<QLabel>("largeurdec");
    Hauteur = control<QLabel>("Hauteur");
    hauteurdec = control<QLabel>("hauteurdec");
    nbcolonne = control<QLabel>("nbcolonne");
    nbzero = control<QLabel>("nbzero");
    nbligne = control<QLabel>("nbligne");
    Taille = control<QLabel>("Taille");
    LSED = control<QLabel>("LSED");
    HSED = control<QLabel>("HSED");
    LSED2 = control<QLineEdit>("LSED2");
    HSED2 = control<QLineEdit>("HSED2");
    txt_entete = control<ListingBox>("txt_entete");
    Text1 = control<ListingBox>("Text1");
    Text3 = control<ListingBox>("Text3");
    Picture1 = control<PictureBox>("Picture1");
    Picture2 = control<PictureBox>("Picture2");
    btn_revserse = control<QPushButton>("btn_revserse");
    btn_revsersego = control<QPushButton>("btn_revsersego");
    btn_stop = control<QPushButton>("btn_stop");
    btn_savepict = control<QPushButton>("btn_savepict");
    chk_inv_couleur = control<QCheckBox>("chk_inv_couleur");
    chk_inv_image = control<QCheckBox>("chk_inv_image");
    btn_savepict->setToolTip(savePath());

    connectHandlers();
    acceptFileDrops();
    Form_Load();
}

void Form1::connectHandlers() {
    auto click = [this](const char* name, void (Form1::*handler)()) {
        connect(control<QPushButton>(name), &QPushButton::clicked, this, handler);
    };
    click("BtnOpenFile", &Form1::BtnOpenFile_Click);
    click("Command1", &Form1::Command1_Click);
    click("btn_revserse", &Form1::btn_revserse_Click);
    click("btn_stop", &Form1::btn_stop_Click);
    click("btn_revsersego", &Form1::btn_revsersego_Click);
    click("btn_savepict", &Form1::btn_savepict_Click);
    click("Btnquitt", &Form1::Btnquitt_Click);
    click("Command2", &Form1::Command2_Click);
    connect(control<ClickableLabel>("Label8"), &ClickableLabel::clicked, this,
            &Form1::Label8_Click);
    connect(chk_inv_couleur, &QCheckBox::clicked, this, &Form1::chk_inv_couleur_Click);
}

void Form1::Form_Load() {
    const QVersionNumber version =
        QVersionNumber::fromString(QCoreApplication::applicationVersion());
    // The version block holds major.minor.0.revision; the text leaves out the third number.
    Frame1->setTitle(QStringLiteral("Dotlane - Version %1.%2.%3")
                         .arg(version.majorVersion())
                         .arg(version.minorVersion())
                         .arg(version.segmentAt(3)));
    btn_revsersego->setVisible(false);
    btn_stop->setVisible(false);
    colourSizeFields(kButtonFace);
}

// The two size labels always show the button face; the two fields that take typing show
// `typed_fields`: the window background in hex-to-picture mode, the button face elsewhere.
void Form1::colourSizeFields(std::uint32_t typed_fields) {
    set_back_color(LSED, kButtonFace);
    set_back_color(HSED, kButtonFace);
    set_back_color(LSED2, typed_fields);
    set_back_color(HSED2, typed_fields);
}

void Form1::Btnquitt_Click() {
    close();
    QCoreApplication::quit();
}

void Form1::Command2_Click() {
    dialogs_.message(this, control<QLabel>("Label6")->text(), QStringLiteral("Dotlane"),
                     Dialogs::Icon::None);
}

void Form1::Label8_Click() {}

void Form1::chk_inv_couleur_Click() {
    state_.invert_colours = chk_inv_couleur->checkState() == Qt::Checked ? 1 : 0;
}

} // namespace dotlane::ui
