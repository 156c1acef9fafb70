// A picture file read small, for a preview beside a file list.
#include "PicturePreview.h"

#include "PictureLoader.h"
#include "TError.h"

#include <new>

QImage PicturePreview(const QString &Path, QSize Bounds)
{
    if (Bounds.isEmpty())
        return QImage();
    // A FIFO or a device named like a picture is refused by the reader without being waited on.
    QImage Picture;
    try {
        if (std::optional<QImage> Read = ReadPictureFile(Path, Bounds))
            Picture = std::move(*Read);
    } catch (const TError &) {
        return QImage();
    } catch (const std::bad_alloc &) {
        return QImage();
    }
    if (Picture.isNull() || (Picture.width() <= Bounds.width() && Picture.height() <= Bounds.height()))
        return Picture;
    return Picture.scaled(Bounds, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
