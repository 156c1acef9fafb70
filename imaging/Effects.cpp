// SPDX-License-Identifier: GPL-3.0-or-later
// The concealing effects on the desktop's working bitmaps: core's effects over the bitmaps' own rows.
#include "Effects.h"

#include "QtNumberStamp.h"
#include "WorkingBitmap.h"

namespace quorra {

void applyEffect(QImage &cell, qint32 effect, qint32 number, const QImage &texture)
{
    // The effects read every row as 24-bit pixels: a narrower layout would be written past the ends of its rows.
    if (!cell.isNull() && cell.format() != WorkingFormat)
        cell.convertTo(WorkingFormat);
    const QImage paper =
        texture.isNull() || texture.format() == WorkingFormat ? texture : texture.convertToFormat(WorkingFormat);
    // bits() gives the cell its own pixels first, so a copy that shares them is not concealed with it.
    const PixelView pixels(cell.bits(), cell.width(), cell.height(), cell.bytesPerLine());
    const ConstPixelView paperPixels(paper.constBits(), paper.width(), paper.height(), paper.bytesPerLine());
    QtNumberStamp stamp(texture);
    applyEffect(pixels, effect, number, paperPixels, stamp);
}

} // namespace quorra
