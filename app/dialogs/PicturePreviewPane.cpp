// SPDX-License-Identifier: GPL-3.0-or-later
// The pane beside a picture dialog's file list that shows the selected picture scaled down.
#include "PicturePreviewPane.h"

#include "PicturePreview.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QPixmap>

namespace quorra {

PicturePreviewPane::PicturePreviewPane(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("picturePreview"));
    setAlignment(Qt::AlignCenter);
    setFrameShape(QFrame::StyledPanel);
    setFixedWidth(PreviewSize + 2 * frameWidth() + 8);
    setMinimumHeight(PreviewSize + 2 * frameWidth() + 8);
}

PicturePreviewPane *PicturePreviewPane::addTo(QFileDialog *dialog)
{
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    auto *pane = new PicturePreviewPane(dialog);
    if (auto *grid = qobject_cast<QGridLayout *>(dialog->layout())) {
        grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1);
        // The pane comes on top of the dialog's usual width rather than out of the file list's.
        dialog->resize(dialog->sizeHint().expandedTo(dialog->size()).width() + pane->width(), dialog->height());
    }
    connect(dialog, &QFileDialog::currentChanged, pane, &PicturePreviewPane::showPicture);
    // A name typed or completed in the name field picks a file too, without the list's current item moving.
    if (auto *nameField = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        connect(nameField, &QLineEdit::textChanged, pane, [dialog, pane](const QString &typed) {
            const QString path = QDir(dialog->directory()).absoluteFilePath(typed);
            if (!typed.isEmpty() && QFileInfo(path).isFile())
                pane->showPicture(path);
        });
    return pane;
}

void PicturePreviewPane::showPicture(const QString &path)
{
    // A click changes both the list and the name field; the picture is read once.
    if (path == m_shownPath)
        return;
    m_shownPath = path;
    // The picture shown so far is another file's; its decode, if it still runs, is given up.
    clear();
    // Drawn at the screen's own pixel density, so that it is sharp on a scaled screen.
    const qreal ratio = devicePixelRatioF();
    const int side = qRound(PreviewSize * ratio);
    setCursor(Qt::BusyCursor);
    m_decode.start<QImage>(
        this, [path, side] { return picturePreview(path, QSize(side, side)); },
        [this, ratio](WorkerOutcome<QImage> decoded) {
            unsetCursor();
            // picturePreview gives a null image for whatever it cannot show; it raises nothing.
            QImage preview = decoded.value ? std::move(*decoded.value) : QImage();
            if (!preview.isNull()) {
                QPixmap pixmap = QPixmap::fromImage(std::move(preview));
                pixmap.setDevicePixelRatio(ratio);
                setPixmap(pixmap);
            }
            emit pictureShown();
        });
}

} // namespace quorra
