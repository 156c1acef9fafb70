// SPDX-License-Identifier: GPL-3.0-or-later
// Reading PNG, WebP and TIFF pictures through Qt's image readers, guarded, upright and opaque.
#include "QtImageReader.h"

#include "DecodeLimits.h"
#include "ExifChunk.h"
#include "ExifOrientation.h"
#include "PictureLoader.h"
#include "UserError.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <new>

namespace quorra {

namespace {

// Qt's name for the format, which picks its reader, and the name a person knows it by.
struct KindNames {
    const char *format;
    const char *shown;
};

KindNames namesOf(QtImageKind kind)
{
    switch (kind) {
    case QtImageKind::Png:
        return {"png", "PNG"};
    case QtImageKind::WebP:
        return {"webp", "WebP"};
    case QtImageKind::Tiff:
        break;
    }
    return {"tiff", "TIFF"};
}

[[noreturn]] void refuse(const QImageReader &reader, QtImageKind kind)
{
    const QString shown = QString::fromLatin1(namesOf(kind).shown);
    // PNG is built into Qt; WebP and TIFF come as plugins that a system can lack.
    if (reader.error() == QImageReader::UnsupportedFormatError)
        throw UserError(QCoreApplication::translate("Pictures", "%1 pictures cannot be read: Qt's image format plugins "
                                                                "(qt6-image-formats-plugins) are not installed.")
                            .arg(shown));
    throw UserError(QCoreApplication::translate("Pictures", "%1 image is not valid").arg(shown));
}

// The size a WebP's first chunk declares: the canvas of an extended file, else the lossless or lossy frame's.
// Qt's WebP reader takes an animation's whole canvas while it only looks at the header, so the size guard must
// be served from the bytes themselves.
QSize webpSize(QIODevice &in)
{
    const QByteArray head = in.peek(30);
    if (head.size() < 30 || !head.startsWith("RIFF") || head.mid(8, 4) != "WEBP")
        return QSize();
    const auto *p = reinterpret_cast<const uchar *>(head.constData());
    const QByteArray chunk = head.mid(12, 4);
    auto read24 = [p](int at) { return int(p[at] | p[at + 1] << 8 | p[at + 2] << 16); };
    if (chunk == "VP8X")
        return QSize(1 + read24(24), 1 + read24(27));
    if (chunk == "VP8L" && p[20] == 0x2F) {
        const quint32 bits = qFromLittleEndian<quint32>(p + 21);
        return QSize(1 + int(bits & 0x3FFF), 1 + int((bits >> 14) & 0x3FFF));
    }
    if (chunk == "VP8 " && p[23] == 0x9D && p[24] == 0x01 && p[25] == 0x2A)
        return QSize(qFromLittleEndian<quint16>(p + 26) & 0x3FFF, qFromLittleEndian<quint16>(p + 28) & 0x3FFF);
    return QSize();
}

// The first image as Qt decodes it, and the EXIF orientation that Qt left for us to apply.
struct Decoded {
    QImage picture;
    int orientation;
};

// Reads the EXIF orientation where Qt does not apply one itself (its TIFF reader turns by the tag).
int orientationLeftToUs(QImageReader &reader, QIODevice &in, QtImageKind kind)
{
    if (reader.supportsOption(QImageIOHandler::ImageTransformation))
        return 1;
    switch (kind) {
    case QtImageKind::Png:
        return exifOrientation(pngExifChunk(in));
    case QtImageKind::WebP:
        return exifOrientation(webpExifChunk(in));
    case QtImageKind::Tiff:
        break;
    }
    return 1;
}

// Decodes after the size guard. The reader goes with this function, and with it a WebP animation's canvas that
// the picture shares, so that changing the picture afterwards copies nothing.
// The bytes a pixel takes as Qt decodes it in Format, and in the copy that opaqueOnWhite then makes of it.
qint64 decodedBytesPerPixel(QImage::Format format, bool animation)
{
    switch (format) {
    case QImage::Format_Invalid:
        // Not told before the decode: Qt's readers give at most 32 bits a pixel for what they do not announce.
        return animation ? 8 : 4;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        break;
    default:
        return QImage::toPixelFormat(format).bitsPerPixel() / 8 + 4;
    }
    return std::max(1, QImage::toPixelFormat(format).bitsPerPixel() / 8) + (animation ? 4 : 0);
}

Decoded decode(QIODevice &in, QtImageKind kind, const DecodeLimits &limits)
{
    QImageReader reader(&in, namesOf(kind).format);
    // A file is read as what its name says, as every other picture is: a JPEG named .png is no PNG.
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    // Looked for before Qt reads anything, while the device is still at the file's start.
    const int orientation = orientationLeftToUs(reader, in, kind);
    const QSize size = kind == QtImageKind::WebP ? webpSize(in) : reader.size();
    if (size.isEmpty())
        refuse(reader, kind);
    checkPictureSize(size.width(), size.height());
    QSize decoded = size;
    if (limits.exceedsPixels(size)) {
        // Only some of Qt's readers decode scaled; the others decode whole and scale afterwards. Qt's PNG reader
        // claims the option but decodes whole first: a 16384 x 16384 16-bit picture took 4 GB and 20 s for a
        // 200-pixel preview.
        if (kind == QtImageKind::Png || !reader.supportsOption(QImageIOHandler::ScaledSize))
            limits.checkPixels(size);
        decoded = limits.scaledSize(size);
        reader.setScaledSize(decoded);
    }
    limits.checkMemory(qint64(decoded.width()) * decoded.height(),
                       decodedBytesPerPixel(reader.imageFormat(), kind == QtImageKind::WebP));
    // Qt refuses pictures above its own allocation limit; ours is the size guard, so let Qt hold what passes it,
    // at 16 bits a channel or as an animation's canvas and its frame.
    const qint64 neededMegabytes = qint64(size.width()) * size.height() * 8 / (qint64(1024) * 1024) + 1;
    if (QImageReader::allocationLimit() > 0 && QImageReader::allocationLimit() < neededMegabytes)
        QImageReader::setAllocationLimit(int(neededMegabytes));
    QImage picture;
    if (!reader.read(&picture) || picture.isNull())
        refuse(reader, kind);
    return {std::move(picture), orientation};
}

uchar onWhite(int colour, int alpha)
{
    return uchar((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

QRgb onWhite(QRgb c)
{
    const int a = qAlpha(c);
    return qRgb(onWhite(qRed(c), a), onWhite(qGreen(c), a), onWhite(qBlue(c), a));
}

// A premultiplied colour already holds its share; white fills the rest. Damaged data may exceed its alpha.
QRgb premultipliedOnWhite(QRgb c)
{
    const int rest = 255 - qAlpha(c);
    return qRgb(std::min(255, qRed(c) + rest), std::min(255, qGreen(c) + rest), std::min(255, qBlue(c) + rest));
}

// The picture in one of the formats the other readers give, with what shows through painted onto white, in place.
QImage opaqueOnWhite(QImage picture)
{
    switch (picture.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_Grayscale8:
        return picture;
    case QImage::Format_Indexed8:
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        if (picture.hasAlphaChannel()) {
            QList<QRgb> table = picture.colorTable();
            for (QRgb &colour : table)
                colour = onWhite(colour);
            picture.setColorTable(table);
        }
        if (picture.format() == QImage::Format_MonoLSB)
            picture.convertTo(QImage::Format_Mono);
        return picture;
    case QImage::Format_Grayscale16:
        picture.convertTo(QImage::Format_Grayscale8);
        return picture;
    default:
        break;
    }
    if (!picture.hasAlphaChannel()) {
        picture.convertTo(QImage::Format_RGB32);
        return picture;
    }
    if (picture.format() != QImage::Format_ARGB32 && picture.format() != QImage::Format_ARGB32_Premultiplied)
        picture.convertTo(QImage::Format_ARGB32);
    if (picture.isNull())
        return picture;
    const bool premultiplied = picture.format() == QImage::Format_ARGB32_Premultiplied;
    for (int y = 0; y < picture.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(row[x]) != 255)
                row[x] = premultiplied ? premultipliedOnWhite(row[x]) : onWhite(row[x]);
    }
    picture.reinterpretAsFormat(QImage::Format_RGB32);
    return picture;
}

} // namespace

QImage readQtImage(QIODevice &in, QtImageKind kind, const DecodeLimits &limits)
{
    try {
        Decoded decoded = decode(in, kind, limits);
        QImage picture = opaqueOnWhite(std::move(decoded.picture));
        if (!picture.isNull())
            picture = orientUpright(picture, decoded.orientation);
        if (picture.isNull())
            throw UserError(notEnoughMemoryText());
        return picture;
    } catch (const std::bad_alloc &) {
        throw UserError(notEnoughMemoryText());
    }
}

} // namespace quorra
