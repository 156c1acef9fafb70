// SPDX-License-Identifier: GPL-3.0-or-later
// What a picture reader may spend on one decode, checked against the header before any pixel is decoded.
#include "DecodeLimits.h"

#include "UserError.h"

#include <QCoreApplication>

#include <cmath>

namespace quorra {

QString pictureNeedsTooMuchMemoryText()
{
    return QCoreApplication::translate("Pictures", "This picture is too large: it needs more than 1 GB of memory.");
}

void DecodeLimits::checkMemory(qint64 pixels, qint64 bytesPerPixel) const
{
    if (maxBytes > 0 && pixels * bytesPerPixel > maxBytes)
        throw UserError(pictureNeedsTooMuchMemoryText());
}

void DecodeLimits::checkPixels(QSize size) const
{
    if (exceedsPixels(size))
        throw UserError(QCoreApplication::translate("Pictures", "The picture is too large (%1 x %2 pixels).")
                            .arg(size.width())
                            .arg(size.height()));
}

QSize DecodeLimits::scaledSize(QSize size) const
{
    if (fitInto.isValid() && !fitInto.isEmpty())
        return size.scaled(fitInto, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    const double shrink = std::sqrt(double(maxPixels) / (double(size.width()) * size.height()));
    return QSize(std::max(1, int(size.width() * shrink)), std::max(1, int(size.height() * shrink)));
}

} // namespace quorra
