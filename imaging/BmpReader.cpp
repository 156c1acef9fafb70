// Reading Windows BMP pictures through Qt's own BMP reader, guarded against oversized headers.
#include "BmpReader.h"

#include "PictureLoader.h"
#include "TError.h"

#include <QImageReader>
#include <QtEndian>

#include <cstdlib>
#include <new>

namespace {

// Qt takes the fourth byte of a 32-bit bitmap with a V4 or V5 header as alpha. A puzzle shows a bitmap's colours
// as they are stored: drawn with that alpha, pixels of alpha 0 would turn white, and a file whose fourth bytes
// are all 0 (as many writers leave them) would make a blank white puzzle.
QImage Opaque(QImage Picture)
{
    if (Picture.format() != QImage::Format_ARGB32)
        Picture.convertTo(QImage::Format_ARGB32);
    if (Picture.isNull())
        throw TError(NotEnoughMemoryText());
    for (int Y = 0; Y < Picture.height(); ++Y) {
        auto *Row = reinterpret_cast<QRgb *>(Picture.scanLine(Y));
        for (int X = 0; X < Picture.width(); ++X)
            Row[X] |= 0xFF000000u;
    }
    Picture.reinterpretAsFormat(QImage::Format_RGB32);
    return Picture;
}

} // namespace

void ReadBmp(QIODevice &In, QImage &Target)
{
    const TError Invalid(QStringLiteral("Bitmap image is not valid"));
    // The size is read from the header here: Qt reports a top-down bitmap with a negative height and refuses
    // a huge one without saying why.
    const QByteArray Header = In.peek(26);
    if (Header.size() < 26 || !Header.startsWith("BM"))
        throw Invalid;
    const auto *P = reinterpret_cast<const uchar *>(Header.constData());
    const quint32 InfoSize = qFromLittleEndian<quint32>(P + 14);
    qint64 Width, Height;
    if (InfoSize == 12) {
        Width = qFromLittleEndian<quint16>(P + 18);
        Height = qFromLittleEndian<quint16>(P + 20);
    } else {
        Width = qFromLittleEndian<qint32>(P + 18);
        Height = std::abs(qint64(qFromLittleEndian<qint32>(P + 22)));
    }
    if (Width <= 0 || Height <= 0)
        throw Invalid;
    CheckPictureSize(Width, Height);
    const QSize Size{int(Width), int(Height)};
    QImageReader Reader(&In, "bmp");
    // Qt refuses pictures above its allocation limit; ours is the size guard above, so let Qt hold what passes it.
    const qint64 NeededMegabytes = qint64(Size.width()) * Size.height() * 4 / (1024 * 1024) + 1;
    if (QImageReader::allocationLimit() < NeededMegabytes)
        QImageReader::setAllocationLimit(int(NeededMegabytes));
    QImage Picture;
    try {
        if (!Reader.read(&Picture) || Picture.isNull())
            throw Invalid;
        if (Picture.hasAlphaChannel())
            Picture = Opaque(std::move(Picture));
    } catch (const std::bad_alloc &) {
        throw TError(NotEnoughMemoryText());
    }
    Target = std::move(Picture);
}
