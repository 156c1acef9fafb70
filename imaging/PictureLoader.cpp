// Choosing a picture reader by file extension, opening the file, and the memory guard every reader uses.
#include "PictureLoader.h"

#include "BmpReader.h"
#include "GifReader.h"
#include "JpegReader.h"
#include "RegularFile.h"
#include "UserError.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The extension compared as the file name has it, with only A to Z lowered: other letters stay as they are.
QString pictureExtension(const QString &path)
{
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QString();
    QString extension = name.mid(dot);
    for (QChar &c : extension)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return extension;
}

} // namespace

void checkPictureSize(qint64 width, qint64 height)
{
    // No JPEG or GIF can be wider or taller than 65535 pixels; a BMP that claims more is damaged or hostile.
    if (width > 65535 || height > 65535 || width * height > MaxPicturePixels)
        throw UserError(QStringLiteral("The picture is too large (%1 x %2 pixels).").arg(width).arg(height));
}

std::optional<QImage> readPictureFile(const QString &path, QSize fitInto)
{
    const QString extension = pictureExtension(path);
    if (extension != QLatin1String(".bmp") && extension != QLatin1String(".jpg") && extension != QLatin1String(".gif"))
        return std::nullopt;

    QFile file;
    const QString reason = openRegularFile(file, path);
    if (!reason.isEmpty())
        throw UserError(QStringLiteral("Cannot open file \"%1\". %2").arg(QFileInfo(path).absoluteFilePath(), reason));

    if (extension == QLatin1String(".jpg"))
        return readJpeg(file, fitInto);
    if (extension == QLatin1String(".bmp"))
        return readBmp(file);
    return readGif(file);
}

std::optional<SourcePicture> readSourcePicture(const QString &path, QSize fitInto)
{
    if (pictureExtension(path) != QLatin1String(".jpg")) {
        std::optional<QImage> picture = readPictureFile(path);
        if (!picture)
            return std::nullopt;
        return SourcePicture(std::move(*picture));
    }
    QFile file;
    const QString reason = openRegularFile(file, path);
    if (!reason.isEmpty())
        throw UserError(QStringLiteral("Cannot open file \"%1\". %2").arg(QFileInfo(path).absoluteFilePath(), reason));
    return SourcePicture(readJpegStream(file, fitInto));
}
