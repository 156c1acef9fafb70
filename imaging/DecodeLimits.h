// SPDX-License-Identifier: GPL-3.0-or-later
// What a picture reader may spend on one decode, checked against the header before any pixel is decoded.
#pragma once

#include <QSize>
#include <QtGlobal>

namespace quorra {

// The memory a new puzzle may take in all: the decoder's output as it comes (16-bit pictures at 8 bytes a pixel)
// with the copy that makes it opaque, and the working bitmaps. A picture that passes the size guard at 16 bits a
// channel could otherwise take several gigabytes and leave the whole desktop swapping.
constexpr qint64 MaxPictureMemory = qint64(1) << 30;

// A preview shows at most a few hundred pixels across; a picture that no reader can decode scaled above this many
// pixels gets none rather than a decode of seconds.
constexpr qint64 PreviewPixelBudget = 4LL * 1000 * 1000;

// The refusal of a picture that would take more than MaxPictureMemory.
QString pictureNeedsTooMuchMemoryText();

struct DecodeLimits {
    // More pixels than this are decoded scaled down to FitInto (or to this many pixels) where the reader can,
    // and refused where it cannot; 0 for no limit.
    qint64 maxPixels = 0;
    // What the fitting asks for, when maxPixels calls for a scaled decode.
    QSize fitInto;
    // The bytes the decode's output may take, conversions included; 0 for no limit.
    qint64 maxBytes = 0;

    // Raises the size refusal or the memory refusal for Pixels decoded at BytesPerPixel (the copy that
    // converts it included); the pixel limit is the caller's, since only it knows whether it can scale.
    void checkMemory(qint64 pixels, qint64 bytesPerPixel) const;
    // Raises the size refusal for a picture beyond maxPixels, for a reader that cannot decode it scaled.
    void checkPixels(QSize size) const;
    bool exceedsPixels(QSize size) const { return maxPixels > 0 && qint64(size.width()) * size.height() > maxPixels; }
    // The size a scaled decode asks for: Size fitted into FitInto, or shrunk to maxPixels.
    QSize scaledSize(QSize size) const;
};

} // namespace quorra
