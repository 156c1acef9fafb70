// SPDX-License-Identifier: GPL-3.0-or-later
// A picture file read small, for a preview beside a file list.
#include "PicturePreview.h"

#include "LogCategory.h"
#include "PictureLoader.h"
#include "UserError.h"

#include <new>

namespace quorra {

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
    } catch (const UserError &e) {
        qCWarning(lcQuorra, "No preview of %s: %s", qUtf8Printable(path), qUtf8Printable(e.message()));
        return QImage();
    } catch (const std::bad_alloc &) {
        qCWarning(lcQuorra, "No preview of %s: not enough memory to decode it", qUtf8Printable(path));
        return QImage();
    }
    if (picture.isNull() || (picture.width() <= bounds.width() && picture.height() <= bounds.height()))
        return picture;
    return picture.scaled(bounds, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace quorra
