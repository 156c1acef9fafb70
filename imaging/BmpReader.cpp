// SPDX-License-Identifier: GPL-3.0-or-later
// Reading Windows BMP pictures through Qt's own BMP reader, guarded against oversized headers.
#include "BmpReader.h"

#include "DecodeLimits.h"
#include "PictureLoader.h"
#include "UserError.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QtEndian>

#include <cstdlib>
#include <new>

namespace quorra {

namespace {

// Qt takes the fourth byte of a 32-bit bitmap with a V4 or V5 header as alpha. A puzzle shows a bitmap's colours
// as they are stored: drawn with that alpha, pixels of alpha 0 would turn white, and a file whose fourth bytes
// are all 0 (as many writers leave them) would make a blank white puzzle.
QImage opaque(QImage picture)
{
    if (picture.format() != QImage::Format_ARGB32)
        picture.convertTo(QImage::Format_ARGB32);
    if (picture.isNull())
        throw UserError(notEnoughMemoryText());
    for (int y = 0; y < picture.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            row[x] |= 0xFF000000u;
    }
    picture.reinterpretAsFormat(QImage::Format_RGB32);
    return picture;
}

} // namespace

QImage readBmp(QIODevice &in, const DecodeLimits &limits)
{
    const UserError invalid(QCoreApplication::translate("Pictures", "Bitmap image is not valid"));
    // The size is read from the header here: Qt reports a top-down bitmap with a negative height and refuses
    // a huge one without saying why.
    const QByteArray header = in.peek(30);
    if (header.size() < 26 || !header.startsWith("BM"))
        throw invalid;
    const auto *p = reinterpret_cast<const uchar *>(header.constData());
    const quint32 infoSize = qFromLittleEndian<quint32>(p + 14);
    qint64 width, height;
    int bitCount = 32;
    if (infoSize == 12) {
        width = qFromLittleEndian<quint16>(p + 18);
        height = qFromLittleEndian<quint16>(p + 20);
        bitCount = qFromLittleEndian<quint16>(p + 24);
    } else {
        width = qFromLittleEndian<qint32>(p + 18);
        height = std::abs(qint64(qFromLittleEndian<qint32>(p + 22)));
        if (header.size() >= 30)
            bitCount = qFromLittleEndian<quint16>(p + 28);
    }
    if (width <= 0 || height <= 0)
        throw invalid;
    checkPictureSize(width, height);
    const QSize size{int(width), int(height)};
    // Qt's reader cannot decode a bitmap scaled: a run-length file of a kilobyte may still unpack to a quarter of
    // a gigapixel, which only a puzzle is worth waiting for.
    limits.checkPixels(size);
    // Palette bitmaps stay one byte a pixel; every other depth comes as 32 bits.
    limits.checkMemory(width * height, bitCount <= 8 ? 1 : 4);
    QImageReader reader(&in, "bmp");
    // Qt refuses pictures above its allocation limit; ours is the size guard above, so let Qt hold what passes it.
    const qint64 neededMegabytes = qint64(size.width()) * size.height() * 4 / (qint64(1024) * 1024) + 1;
    if (QImageReader::allocationLimit() < neededMegabytes)
        QImageReader::setAllocationLimit(int(neededMegabytes));
    QImage picture;
    try {
        if (!reader.read(&picture) || picture.isNull())
            throw invalid;
        if (picture.hasAlphaChannel())
            picture = opaque(std::move(picture));
    } catch (const std::bad_alloc &) {
        throw UserError(notEnoughMemoryText());
    }
    return picture;
}

} // namespace quorra
