// Choosing a picture reader by file extension, opening the file, and the memory guard every reader uses.
#include "PictureLoader.h"

#include "BmpReader.h"
#include "GifReader.h"
#include "JpegReader.h"
#include "RegularFile.h"
#include "TError.h"

#include <QFile>
#include <QFileInfo>

namespace {

// The extension compared as the file name has it, with only A to Z lowered: other letters stay as they are.
QString PictureExtension(const QString &Path)
{
    const QString Name = Path.mid(Path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype Dot = Name.lastIndexOf(QLatin1Char('.'));
    if (Dot < 0)
        return QString();
    QString Extension = Name.mid(Dot);
    for (QChar &C : Extension)
        if (C >= QLatin1Char('A') && C <= QLatin1Char('Z'))
            C = QChar(C.unicode() + ('a' - 'A'));
    return Extension;
}

} // namespace

void CheckPictureSize(qint64 Width, qint64 Height)
{
    // No JPEG or GIF can be wider or taller than 65535 pixels; a BMP that claims more is damaged or hostile.
    if (Width > 65535 || Height > 65535 || Width * Height > MaxPicturePixels)
        throw TError(QStringLiteral("The picture is too large (%1 x %2 pixels).").arg(Width).arg(Height));
}

std::optional<QImage> ReadPictureFile(const QString &Path, QSize FitInto)
{
    const QString Extension = PictureExtension(Path);
    if (Extension != QLatin1String(".bmp") && Extension != QLatin1String(".jpg")
        && Extension != QLatin1String(".gif"))
        return std::nullopt;

    QFile File;
    const QString Reason = OpenRegularFile(File, Path);
    if (!Reason.isEmpty())
        throw TError(QStringLiteral("Cannot open file \"%1\". %2").arg(QFileInfo(Path).absoluteFilePath(), Reason));

    if (Extension == QLatin1String(".jpg"))
        return ReadJpeg(File, FitInto);
    QImage Picture;
    if (Extension == QLatin1String(".bmp"))
        ReadBmp(File, Picture);
    else
        ReadGif(File, Picture);
    return Picture;
}

void LoadPictureFile(QImage &Target, const QString &Path)
{
    if (std::optional<QImage> Picture = ReadPictureFile(Path))
        Target = std::move(*Picture);
}
