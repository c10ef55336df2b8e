// Hex-to-picture mode: "Reverse", "STOP", "Go !" and "Save Picture".
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "back/hex_reader.h"
#include "back/render.h"
#include "pictures/bmp_writer.h"
#include "window/controls.h"
#include "window/form1.h"
#include "window/listing_box.h"
#include "window/picture_box.h"
#include "write/output_file.h"

namespace dotlane::ui {

void Form1::btn_revserse_Click() {
    Picture1->clear();
    Picture2->clear();
    btn_revserse->setVisible(false);
    btn_revsersego->setVisible(true);
    btn_stop->setVisible(true);
    Text1->setVisible(true);
    Text1->setText(QString());
    LSED2->setReadOnly(false);
    LSED2->setText(QString());
    LSED->setText(QString());
    HSED2->setReadOnly(false);
    HSED2->setText(QString());
    HSED->setText(QString());
    colourSizeFields(kWindowBackground);
}

void Form1::btn_stop_Click() {
    btn_stop->setVisible(false);
    btn_revsersego->setVisible(false);
    btn_revserse->setVisible(true);
    btn_savepict->setVisible(false);
    Picture2->clear();
    Text1->setText(QString());
    LSED->setText(QString());
    HSED->setText(QString());
    LSED2->setText(QString());
    HSED2->setText(QString());
    colourSizeFields(kButtonFace);
}

void Form1::btn_revsersego_Click() {
    Picture2->clear();
    // Only a painting can be saved: a refused listing or size must not leave "Save
    // Picture" offering to write the blank area over the last good picture.
    btn_savepict->setVisible(false);
    const QString width_text = LSED2->text();
    const QString pages_text = HSED2->text();
    if (width_text.isEmpty() || pages_text.isEmpty()) {
        dialogs_.message(this, QStringLiteral("Enter the picture size. !!!"),
                         QStringLiteral("Dotlane"), Dialogs::Icon::None);
        return;
    }
    const RenderSize size = parse_render_size(width_text.toStdString(), pages_text.toStdString());
    if (size.error) {
        refuse(QString::fromStdString(*size.error));
        return;
    }
    const ListingRead listing = read_listing(Text1->text().toStdString());
    if (listing.error) {
        refuse(QString::fromStdString(*listing.error));
        return;
    }
    LSED->setText(width_text);
    HSED->setText(QString::number(size.pages * 8));
    if (size.width == 0 || size.pages == 0) return;
    Picture2->setPicture(render_listing(listing.bytes, size.width, size.pages));
    btn_savepict->setVisible(true);
}

QString Form1::savePath() const {
    return QDir::homePath() + QStringLiteral("/VavovAvoZor.bmp");
}

void Form1::btn_savepict_Click() {
    const QString path = savePath();
    btn_savepict->setToolTip(path);
    // $HOME as the bytes it is: a name Qt cannot decode would be saved somewhere else.
    const QByteArray home = qgetenv("HOME");
    const std::string bytes_path =
        (home.isEmpty() ? QFile::encodeName(path) : home + "/VavovAvoZor.bmp").toStdString();
    if (const auto error =
            write_file_whole(bytes_path, encode_mono_bmp(black_pixels(Picture2->image()))))
        refuse(QStringLiteral("The picture could not be saved to \"%1\".\n%2")
                   .arg(path, QString::fromLocal8Bit(*error)));
}

} // namespace dotlane::ui
