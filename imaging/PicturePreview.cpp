// A picture file read small, for a preview beside a file list.
#include "PicturePreview.h"

#include "PictureLoader.h"
#include "UserError.h"

#include <new>

QImage picturePreview(const QString &path, QSize bounds)
{
    if (bounds.isEmpty())
        return QImage();
    // A FIFO or a device named like a picture is refused by the reader without being waited on.
    QImage picture;
    try {
        // Whatever cannot be decoded near the preview's own size gets none: the person is choosing a file, and a
        // preview is not worth seconds of decoding and gigabytes.
        DecodeLimits limits;
        limits.maxPixels = PreviewPixelBudget;
        limits.fitInto = bounds;
        if (std::optional<QImage> read = readPictureFile(path, bounds, limits))
            picture = std::move(*read);
    } catch (const UserError &) {
        return QImage();
    } catch (const std::bad_alloc &) {
        return QImage();
    }
    if (picture.isNull() || (picture.width() <= bounds.width() && picture.height() <= bounds.height()))
        return picture;
    return picture.scaled(bounds, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
