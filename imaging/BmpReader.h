// SPDX-License-Identifier: GPL-3.0-or-later
// Reading Windows BMP pictures through Qt's own BMP reader, guarded against oversized headers.
#pragma once

#include "DecodeLimits.h"

#include <QImage>

class QIODevice;

namespace quorra {

// Reads a BMP from the device's current position; the picture keeps the file's pixel format and palette, but an
// alpha channel is dropped (the colours stay as stored) and 32-bit pictures come as Format_RGB32.
// Any failure raises "Bitmap image is not valid"; a header too large to hold raises the size refusal, one beyond
// Limits (which a bitmap cannot be decoded scaled to) the size or the memory refusal, before any pixel is decoded.
QImage readBmp(QIODevice &in, const DecodeLimits &limits = {});

} // namespace quorra
