// SPDX-License-Identifier: GPL-3.0-or-later
// The EXIF orientation of a photograph, and turning its pixels upright by it.
#include "ExifOrientation.h"

#include <QTransform>

namespace quorra {

namespace {

quint32 read16(const uchar *p, bool bigEndian)
{
    return bigEndian ? (quint32(p[0]) << 8 | p[1]) : (quint32(p[1]) << 8 | p[0]);
}

quint32 read32(const uchar *p, bool bigEndian)
{
    return bigEndian ? (read16(p, true) << 16 | read16(p + 2, true)) : (read16(p + 2, false) << 16 | read16(p, false));
}

} // namespace

int exifOrientation(const QByteArray &app1)
{
    const auto *p = reinterpret_cast<const uchar *>(app1.constData());
    const qsizetype n = app1.size();
    if (n < 14 || !app1.startsWith(QByteArrayLiteral("Exif\0\0")))
        return 1;
    const uchar *tiff = p + 6;
    const qsizetype tiffSize = n - 6;
    bool bigEndian;
    if (tiff[0] == 'M' && tiff[1] == 'M')
        bigEndian = true;
    else if (tiff[0] == 'I' && tiff[1] == 'I')
        bigEndian = false;
    else
        return 1;
    if (read16(tiff + 2, bigEndian) != 42)
        return 1;
    const quint32 directory = read32(tiff + 4, bigEndian);
    if (directory > quint32(tiffSize) - 2)
        return 1;
    const quint32 count = read16(tiff + directory, bigEndian);
    for (quint32 e = 0; e < count; ++e) {
        const quint64 at = quint64(directory) + 2 + quint64(e) * 12;
        if (at + 12 > quint64(tiffSize))
            return 1;
        const uchar *entry = tiff + at;
        // Tag 0x0112, one SHORT held in the first half of the value field.
        if (read16(entry, bigEndian) == 0x0112 && read16(entry + 2, bigEndian) == 3) {
            const quint32 value = read16(entry + 8, bigEndian);
            return value >= 1 && value <= 8 ? int(value) : 1;
        }
    }
    return 1;
}

QImage orientUpright(const QImage &picture, int orientation)
{
    const QTransform quarter = QTransform().rotate(90);
    const QTransform threeQuarters = QTransform().rotate(270);
    switch (orientation) {
    case 2:
        return picture.mirrored(true, false);
    case 3:
        return picture.mirrored(true, true);
    case 4:
        return picture.mirrored(false, true);
    case 5:
        return picture.mirrored(false, true).transformed(quarter);
    case 6:
        return picture.transformed(quarter);
    case 7:
        return picture.mirrored(true, false).transformed(quarter);
    case 8:
        return picture.transformed(threeQuarters);
    default:
        return picture;
    }
}

} // namespace quorra
