#pragma once
// Dotlane's window and how data flows through the program.
//
// Import: "Open file" (BtnOpenFile_Click) asks the Dialogs seam for a file (a BMP file
// dropped onto the window skips the dialog, ui/file_drop.cpp), and the engine
// (dotlane_core, no toolkit) opens it, reads only the bytes it needs and checks its header
// (import/header); a refused file ends in a message box. An accepted file is listed for
// T6963C straight from its pixel rows (import/listings), its picture is loaded by the
// platform's loader into Picture1, read back into SharedState::source_grid and painted as
// the black-and-white working copy into Picture2 and SharedState::pixel_grid
// (import/working_copy); Command1_Click then lists pixel_grid for SED1565. Numbers pass
// between the stages through label captions, as the handlers read them back.
//
// Hex-to-picture mode: "Reverse" and "STOP" switch the controls; "Go !" reads the pasted
// listing (reverse/hex_reader), paints it into a picture (reverse/render) held by Picture2,
// and "Save Picture" writes that picture as a 1-bit BMP, atomically (reverse/bmp_writer).
//
// The command-line program dotlane-cli runs the same engine functions without a window.
#include <QHash>
#include <QWidget>
#include <memory>

#include "dialogs.h"
#include "shared/module1.h"

class QCheckBox;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace dotlane {
struct LoadedFile;
}

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

protected:
    // A BMP file dropped anywhere on the window is imported as "Open file" imports it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void connectHandlers();
    void acceptFileDrops();
    bool takeFileDrop(QEvent* event);
    void clearForImport();
    void resetToImportMode();
    void colourSizeFields(std::uint32_t typed_fields);
    void importFile(const QString& path);
    void refuse(const QString& text); // the stop-icon message box titled "Dotlane"
    void showInformation(const LoadedFile& file);

    Dialogs& dialogs_;
    SharedState state_;
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
