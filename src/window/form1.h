#pragma once
// Dotlane's window and how data flows through the program.
//
// One engine (dotlane_core, no toolkit) runs every import and painting; the window and
// every command of dotlane-cli call it and differ only in what they do with its results.
//
// Import: the file's bytes (import/bmp_file: regular files only, no more bytes than the
// picture needs) -> header fields and checks (import/header: a refusal is a message) ->
// import_bmp (import/import), which builds only the parts its caller asks for: the facts
// the labels show, the T6963C bytes straight from the stored rows, the picture decoded once
// into set bits (shared/picture.h Bitmap) that the working copy and every byte layout
// (import/layouts) are made from -> listing text, written at its final size
// (shared/entries). "Open file" (or a dropped file) writes these results into the controls
// in the handler's order and keeps the grids of module1.h; dotlane-cli prints them.
//
// Hex-to-picture: pasted text -> its 0x entries (reverse/hex_reader) -> a picture of W x 8P
// pixels (reverse/render) -> a 1-bit BMP (reverse/bmp_writer), saved whole or not at all.
//
// Sizes travel as integers from the header to the listing; the window turns them into
// captions only where it shows them.
#include <QHash>
#include <QWidget>
#include <memory>

#include "window/dialogs.h"
#include "window/module1.h"

class QCheckBox;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace dotlane {
struct FileFacts;
struct Picture;
} // namespace dotlane

namespace dotlane::ui {

class ListingBox;
class PictureBox;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Dialogs& dialogs, QWidget* parent = nullptr);

    QWidget* control(const QString& name) const { return controls_.value(name); }
    template <class T> T* control(const QString& name) const {
        return qobject_cast<T*>(controls_.value(name));
    }
    const SharedState& state() const { return state_; }
    QString savePath() const;

protected:
    // A BMP file dropped anywhere on the window is imported as "Open file" imports it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void Form_Load();
    void BtnOpenFile_Click();
    void Command1_Click();
    void btn_revserse_Click();
    void btn_stop_Click();
    void btn_revsersego_Click();
    void btn_savepict_Click();
    void Btnquitt_Click();
    void Command2_Click();
    void Label8_Click();
    void chk_inv_couleur_Click();

private:
    void connectHandlers();
    void acceptFileDrops();
    bool takeFileDrop(QEvent* event);
    void clearForImport();
    void resetToImportMode();
    void colourSizeFields(std::uint32_t typed_fields);
    void importFile(const QString& path);
    void refuse(const QString& text); // the stop-icon message box titled "Dotlane"
    void showInformation(const FileFacts& facts);
    void fillGrids(const Picture& source, const Picture& working);

    Dialogs& dialogs_;
    SharedState state_;
    QString sed1565_text_; // what Command1 appends: the listing of the last import
    QHash<QString, QWidget*> controls_;
    QGroupBox* Frame1;
    QLabel *offset, *offsetdec, *Largeur, *largeurdec, *Hauteur, *hauteurdec;
    QLabel *nbcolonne, *nbzero, *nbligne, *Taille, *LSED, *HSED;
    QLineEdit *LSED2, *HSED2;
    ListingBox *txt_entete, *Text1, *Text3;
    PictureBox *Picture1, *Picture2;
    QPushButton *btn_revserse, *btn_revsersego, *btn_stop, *btn_savepict;
    QCheckBox *chk_inv_couleur, *chk_inv_image;
};

// Version information the window reads at start; main() installs it from the build.
void install_version_info();

} // namespace dotlane::ui
