// A picture file read small, for a preview beside a file list.
#include "PicturePreview.h"

#include "BmpReader.h"
#include "GifReader.h"
#include "JpegReader.h"
#include "RegularFile.h"
#include "TError.h"

#include <QFile>
#include <QFileInfo>

#include <new>

namespace {

enum class PictureKind { None, Bmp, Jpeg, Gif };

PictureKind KindOf(const QString &Path)
{
    const QString Name = QFileInfo(Path).fileName();
    for (const auto &[Extension, Kind] : {std::pair{QLatin1String(".bmp"), PictureKind::Bmp},
                                          std::pair{QLatin1String(".jpg"), PictureKind::Jpeg},
                                          std::pair{QLatin1String(".gif"), PictureKind::Gif}})
        if (Name.endsWith(Extension, Qt::CaseInsensitive))
            return Kind;
    return PictureKind::None;
}

QImage Read(QFile &File, PictureKind Kind, QSize Bounds)
{
    QImage Picture;
    switch (Kind) {
    case PictureKind::Jpeg:
        return ReadJpeg(File, Bounds);
    case PictureKind::Bmp:
        ReadBmp(File, Picture);
        return Picture;
    case PictureKind::Gif:
        ReadGif(File, Picture);
        return Picture;
    case PictureKind::None:
        break;
    }
    return Picture;
}

} // namespace

QImage PicturePreview(const QString &Path, QSize Bounds)
{
    const PictureKind Kind = KindOf(Path);
    // A FIFO or a device named like a picture would block the dialog, or never end.
    if (Kind == PictureKind::None || Bounds.isEmpty())
        return QImage();
    QFile File;
    if (!OpenRegularFile(File, Path).isEmpty())
        return QImage();
    QImage Picture;
    try {
        Picture = Read(File, Kind, Bounds);
    } catch (const TError &) {
        return QImage();
    } catch (const std::bad_alloc &) {
        return QImage();
    }
    if (Picture.isNull() || (Picture.width() <= Bounds.width() && Picture.height() <= Bounds.height()))
        return Picture;
    return Picture.scaled(Bounds, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}
