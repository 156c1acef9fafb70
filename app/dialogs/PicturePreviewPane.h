// SPDX-License-Identifier: GPL-3.0-or-later
// The pane beside a picture dialog's file list that shows the selected picture scaled down.
#pragma once

#include "WorkerTask.h"

#include <QLabel>

class QFileDialog;

namespace quorra {

class PicturePreviewPane : public QLabel
{
    Q_OBJECT

public:
    // The largest preview, in device-independent pixels.
    static constexpr int PreviewSize = 200;

    explicit PicturePreviewPane(QWidget *parent = nullptr);

    // Puts a pane into Qt's own file dialog (not a desktop's native one, which cannot take it), right of the
    // file list, following the selection.
    static PicturePreviewPane *addTo(QFileDialog *dialog);

    // A picture is being decoded for the pane.
    bool isDecoding() const { return m_decode.isRunning(); }

public slots:
    // Shows the picture at path, or nothing for a file that is not a picture or cannot be read. The picture is
    // decoded on a worker thread, so that the dialog keeps answering; choosing another file gives it up.
    void showPicture(const QString &path);

signals:
    // The last file chosen is shown, or found to have no picture to show.
    void pictureShown();

private:
    QString m_shownPath;
    WorkerTask m_decode;
};

} // namespace quorra
