// SPDX-License-Identifier: GPL-3.0-or-later
// Reading picture files (BMP, JPEG, GIF, PNG, WebP and TIFF, chosen by extension alone) into a source bitmap.
#pragma once

#include "DecodeLimits.h"
#include "SourcePicture.h"

#include <QCoreApplication>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

class QIODevice;

namespace quorra {

// Pictures above this many pixels are refused before any pixel memory is taken (a 200-megapixel photograph
// still loads).
constexpr qint64 MaxPicturePixels = 256LL * 1024 * 1024;

// Throws UserError when a picture of Width x Height would be too large to hold.
void checkPictureSize(qint64 width, qint64 height);

// What every reader raises when the memory for a picture cannot be had.
inline QString notEnoughMemoryText()
{
    return QCoreApplication::translate("Pictures", "There is not enough memory to open this picture.");
}

// Whether Path ends in the extension of a picture that readPictureFile reads, in any letter case: ".bmp"; ".jpg",
// ".jpeg", ".jpe" or ".jfif"; ".gif"; ".png"; ".webp"; ".tif" or ".tiff".
bool hasPictureExtension(const QString &path);

// The picture in the file, or none for an extension it does not read. A valid FitInto lets a JPEG be decoded
// at a fraction of its size that still covers it (see readJpeg). Failures raise UserError with the reader's text
// ("Bitmap image is not valid", "JPEG error #%d", the GIF texts, "PNG image is not valid", ..., "Cannot open
// file "%s". %s"). Limits bound the other kinds' decodes (see DecodeLimits; a JPEG is bounded by its reduction).
std::optional<QImage> readPictureFile(const QString &path, QSize fitInto = QSize(), const DecodeLimits &limits = {});

// As readPictureFile, for a picture that becomes a puzzle: a JPEG keeps its stream, so that it can be decoded
// again larger when its reduction no longer covers what is shown (see SourcePicture).
std::optional<SourcePicture> readSourcePicture(const QString &path, QSize fitInto = QSize(),
                                               const DecodeLimits &limits = {});

} // namespace quorra
