// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the EXIF block that PNG and WebP files keep in a chunk of their own, which Qt's readers leave unread.
#pragma once

#include <QByteArray>

class QIODevice;

namespace quorra {

// The payload of a PNG's "eXIf" chunk (looked for before the image data, where it belongs) or of a WebP's
// "EXIF" chunk (when its extended header announces one), prefixed with "Exif\0\0" as a JPEG carries it, so that
// exifOrientation reads it; empty when there is none or the device cannot seek. The device's position is kept.
QByteArray pngExifChunk(QIODevice &in);
QByteArray webpExifChunk(QIODevice &in);

} // namespace quorra
