// "Open file": the import from the chosen file to both listings.
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "pictures/import.h"
#include "window/controls.h"
#include "window/form1.h"
#include "window/listing_box.h"
#include "window/picture_box.h"

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

void Form1::showInformation(const FileFacts& facts) {
    offset->setText(text_of(facts.offset_field));
    Largeur->setText(text_of(facts.width_field));
    Hauteur->setText(text_of(facts.height_field));
    offsetdec->setText(QString::number(facts.offset));
    largeurdec->setText(QString::number(facts.width));
    hauteurdec->setText(QString::number(facts.height));
    nbzero->setText(QString::number(facts.padding));
    nbcolonne->setText(QString::number(facts.bytes_per_row));
    nbligne->setText(QString::number(facts.rows));
}

// The grids hold what the picture boxes show: the picture in its colours, the working copy
// down to whole pages.
void Form1::fillGrids(const Picture& source, const Picture& working) {
    for (int x = 0; x < source.width; ++x) {
        for (int y = 0; y < source.height; ++y)
            state_.source_grid.at(x, y) = source.at(x, y);
        for (int y = 0; y < working.height; ++y)
            state_.pixel_grid.at(x, y) = working.at(x, y);
    }
}

void Form1::importFile(const QString& path) {
    const LoadedFile file = load_bmp_file(QFile::encodeName(path).toStdString());
    if (file.error) {
        refuse(text_of(*file.error));
        return;
    }
    Taille->setText(QStringLiteral("Taille %1 Oct.").arg(file.size));
    txt_entete->setText(text_of(header_dump(file.header)));
    if (file.refusal) {
        refuse(text_of(*file.refusal));
        return;
    }
    const ImportResult result = import_bmp(
        file, {chk_inv_couleur->checkState() != Qt::Unchecked, state_.invert_colours != 0});
    showInformation(result.facts);
    Text3->setText(text_of(t6963c_listing(result.t6963c, file.header.geometry)));

    setWindowTitle(QStringLiteral("Dotlane - ") + path);
    Picture1->setPicture(result.source);
    Text1->setVisible(true);
    Text3->setVisible(true);
    fillGrids(result.source, result.working);
    Picture2->setPicture(result.working);
    LSED->setText(largeurdec->text());
    LSED2->setText(LSED->text());
    HSED->setText(QString::number(result.working.height));
    HSED2->setText(QString::number(HSED->text().toInt() / 8));
    sed1565_text_ = text_of(sed1565_listing(result.sed1565));
    Command1_Click();
}

// The hidden button appends the SED1565 listing of the import that clicked it.
void Form1::Command1_Click() {
    Text1->setText(Text1->text() + sed1565_text_);
}

} // namespace dotlane::ui
