// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing a picture reader by file extension, opening the file, and the memory guard every reader uses.
#include "PictureLoader.h"

#include "BmpReader.h"
#include "GifReader.h"
#include "JpegReader.h"
#include "QtImageReader.h"
#include "RegularFile.h"
#include "UserError.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace quorra {

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

enum class Reader { Bmp, Jpeg, Gif, Png, WebP, Tiff };

struct ReaderChoice {
    const char *extension;
    Reader reader;
};

const ReaderChoice ReaderChoices[] = {
    {".bmp", Reader::Bmp},   {".jpg", Reader::Jpeg},  {".jpeg", Reader::Jpeg}, {".jpe", Reader::Jpeg},
    {".jfif", Reader::Jpeg}, {".gif", Reader::Gif},   {".png", Reader::Png},   {".webp", Reader::WebP},
    {".tif", Reader::Tiff},  {".tiff", Reader::Tiff},
};

std::optional<Reader> readerFor(const QString &path)
{
    const QString extension = pictureExtension(path);
    for (const ReaderChoice &choice : ReaderChoices)
        if (extension == QLatin1String(choice.extension))
            return choice.reader;
    return std::nullopt;
}

} // namespace

bool hasPictureExtension(const QString &path)
{
    return readerFor(path).has_value();
}

void checkPictureSize(qint64 width, qint64 height)
{
    // No JPEG or GIF can be wider or taller than 65535 pixels; a BMP that claims more is damaged or hostile.
    if (width > 65535 || height > 65535 || width * height > MaxPicturePixels)
        throw UserError(QCoreApplication::translate("Pictures", "The picture is too large (%1 x %2 pixels).")
                            .arg(width)
                            .arg(height));
}

std::optional<QImage> readPictureFile(const QString &path, QSize fitInto, const DecodeLimits &limits)
{
    const std::optional<Reader> reader = readerFor(path);
    if (!reader)
        return std::nullopt;

    QFile file;
    const QString reason = openRegularFile(file, path);
    if (!reason.isEmpty())
        throw UserError(QCoreApplication::translate("Pictures", "Cannot open file \"%1\". %2")
                            .arg(QFileInfo(path).absoluteFilePath(), reason));

    switch (*reader) {
    case Reader::Bmp:
        return readBmp(file, limits);
    case Reader::Jpeg:
        return readJpeg(file, fitInto);
    case Reader::Gif:
        return readGif(file, limits);
    case Reader::Png:
        return readQtImage(file, QtImageKind::Png, limits);
    case Reader::WebP:
        return readQtImage(file, QtImageKind::WebP, limits);
    case Reader::Tiff:
        break;
    }
    return readQtImage(file, QtImageKind::Tiff, limits);
}

std::optional<SourcePicture> readSourcePicture(const QString &path, QSize fitInto, const DecodeLimits &limits)
{
    if (readerFor(path) != Reader::Jpeg) {
        std::optional<QImage> picture = readPictureFile(path, QSize(), limits);
        if (!picture)
            return std::nullopt;
        return SourcePicture(std::move(*picture));
    }
    QFile file;
    const QString reason = openRegularFile(file, path);
    if (!reason.isEmpty())
        throw UserError(QCoreApplication::translate("Pictures", "Cannot open file \"%1\". %2")
                            .arg(QFileInfo(path).absoluteFilePath(), reason));
    return SourcePicture(readJpegStream(file, fitInto));
}

} // namespace quorra
