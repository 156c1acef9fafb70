// SPDX-License-Identifier: GPL-3.0-or-later
// The EXIF orientation of a photograph, and turning its pixels upright by it.
#pragma once

#include <QByteArray>
#include <QImage>

namespace quorra {

// The orientation (1 to 8) of an APP1 "Exif" segment's first image directory; 1 when absent or unreadable.
int exifOrientation(const QByteArray &app1);

// Turns a picture stored with the given EXIF orientation so that it shows as the camera saw it.
QImage orientUpright(const QImage &picture, int orientation);

} // namespace quorra
