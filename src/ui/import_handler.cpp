// "Open file": the import from the chosen file to both listings.
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "controls.h"
#include "form1.h"
#include "import/import.h"
#include "listing_box.h"
#include "picture_box.h"

namespace dotlane::ui {

static QString text_of(const std::string& s) {
    return QString::fromStdString(s);
}

void Form1::resetToImportMode() {
    btn_revserse->setVisible(true);
    btn_revsersego->setVisible(false);
    btn_stop->setVisible(false);
    LSED->setText(QString());
    HSED->setText(QString());
    LSED2->setText(QString());
    HSED2->setText(QString());
    colourSizeFields(kButtonFace);
    Text1->setVisible(false);
    LSED2->setReadOnly(true);
    HSED2->setReadOnly(true);
    Picture2->clear();
    btn_savepict->setVisible(false);
}

// What "Open file" clears before its dialog opens; a dropped file clears the same.
void Form1::clearForImport() {
    resetToImportMode();
    Text1->setText(QString());
    txt_entete->setText(QString());
    Text1->setVisible(false);
    Text3->setVisible(false);
}

void Form1::BtnOpenFile_Click() {
    clearForImport();
    const std::optional<QString> chosen = dialogs_.openFile(this, QStringLiteral("Ouvrir"));
    if (chosen) importFile(*chosen);
}

void Form1::refuse(const QString& text) {
    dialogs_.message(this, text, QStringLiteral("Dotlane"), Dialogs::Icon::Stop);
}

void Form1::showInformation(const LoadedFile& file) {
    const InfoLabels labels = info_labels(file.header);
    offset->setText(text_of(labels.offset));
    Largeur->setText(text_of(labels.largeur));
    Hauteur->setText(text_of(labels.hauteur));
    offsetdec->setText(text_of(labels.offsetdec));
    largeurdec->setText(text_of(labels.largeurdec));
    hauteurdec->setText(text_of(labels.hauteurdec));
    nbzero->setText(text_of(labels.nbzero));
    nbcolonne->setText(text_of(labels.nbcolonne));
    nbligne->setText(text_of(labels.nbligne));
}

void Form1::importFile(const QString& path) {
    const LoadedFile file = load_bmp_file(QFile::encodeName(path).toStdString());
    if (!file.error.empty()) {
        refuse(text_of(file.error));
        return;
    }
    Taille->setText(text_of(size_caption(file.size)));
    txt_entete->setText(text_of(file.header.dump));
    if (!file.refusal.empty()) {
        refuse(text_of(file.refusal));
        return;
    }
    QImage image;
    const bool loaded = image.loadFromData(file.bytes.data(), int(file.bytes.size()), "BMP");
    if (!loaded || image.width() != file.header.width || image.height() != file.header.height) {
        refuse(QStringLiteral("Warning, this BMP file could not be read as a picture."));
        return;
    }
    showInformation(file);

    const T6963cOptions options{chk_inv_couleur->checkState() != Qt::Unchecked,
                                chk_inv_image->checkState() == Qt::Checked};
    Text3->setText(text_of(t6963c_listing(file.header, file.bytes, options)));

    setWindowTitle(QStringLiteral("Dotlane - ") + path);
    Picture1->setPicture(image);
    Text1->setVisible(true);
    Text3->setVisible(true);
    const Picture working = paint_working_copy(Picture1->heldPicture(), state_);
    Picture2->setPicture(working);
    LSED->setText(largeurdec->text());
    LSED2->setText(LSED->text());
    HSED->setText(QString::number(working.height));
    HSED2->setText(QString::number(HSED->text().toInt() / 8));
    Command1_Click();
}

void Form1::Command1_Click() {
    Text1->setText(Text1->text() +
                   text_of(sed1565_listing(state_.pixel_grid, HSED->text().toDouble(),
                                           largeurdec->text().toDouble())));
}

} // namespace dotlane::ui
