// The pane beside a picture dialog's file list that shows the selected picture scaled down.
#pragma once

#include <QLabel>

class QFileDialog;

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

public slots:
    // Shows the picture at path, or nothing for a file that is not a picture or cannot be read.
    void showPicture(const QString &path);

private:
    QString m_shownPath;
};
