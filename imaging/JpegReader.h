// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding JPEG streams with libjpeg straight into a bitmap, turned upright by the EXIF orientation.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

class QIODevice;

namespace quorra {

// Progressive files from cameras and editors have few scans: libjpeg's own progression, which most editors use,
// writes 6 for grey, 10 for colour and 18 for CMYK, and optimising encoders stay near those. Every scan costs a
// pass over the whole picture even when it holds no data, so a small file of thousands of empty scans would keep
// the decoder busy for minutes. A hundred is far beyond any real file and bounds that waste to a few seconds on
// the largest picture the size guard lets through.
constexpr int MaxJpegScans = 100;

// What a stream may hold besides its picture: segments a decoder does not need (EXIF, colour profiles, comments,
// editors' data) and filler libjpeg skips. Cameras write up to a few hundred kilobytes of them, a profile or an
// editor's history rarely more than a megabyte or two; a stream that would make the program read, keep and save
// gigabytes of them is refused as soon as it passes this, instead of at its end.
constexpr qint64 MaxJpegNonPictureBytes = qint64(8) * 1024 * 1024;

// Decodes the JPEG stream at In's position, reading In a buffer at a time and no further than a buffer past its
// end-of-image marker (a device that can seek is left just after the marker). Colour (CMYK converted) gives
// Format_BGR888, grey Format_Grayscale8, turned upright by the EXIF orientation. A valid FitInto lets libjpeg
// decode at 1/2, 1/4 or 1/8 of the size, as small as it can while the picture still covers what fitting it into
// FitInto would show; such a decode takes at most 512 MB of libjpeg's own memory (a progressive picture keeps
// all its coefficients). Errors raise "JPEG error #%d" with libjpeg's message code; a frame too large for the size
// guard raises the size refusal before any pixel memory is taken; more than MaxJpegScans scans, or more than
// MaxJpegNonPictureBytes besides the picture, raise DamagedPictureError; memory that cannot be had raises
// NotEnoughMemoryText(). Of the APP1 segments only the first Exif one is read.
QImage readJpeg(QIODevice &in, QSize fitInto = QSize());

// A picture read with its stream kept, so that it can be decoded again larger or stored without encoding it anew.
struct JpegStream {
    // As decoded: reduced when a fit was asked for, upright.
    QImage picture;
    // The whole picture's size, upright, whatever the reduction.
    QSize fullSize;
    // The stream's bytes as the device gave them, from its first byte to its end-of-image marker (or to the end of
    // the device for a stream cut short).
    QByteArray bytes;
};

// What a decode may cost: as much memory and time as the picture needs, or what a thumbnail of a picture from
// anywhere deserves (128 MB, of which the kept stream may take half, and a second of decoding; a picture that
// needs more is refused).
enum class JpegMemory { AsNeeded, Bounded };

// As readJpeg, keeping the stream. A valid FitInto reduces as readJpeg does; memory and time are bounded only
// when Memory says so, so that a picture that opens whole also opens reduced. A Bounded decode that passes its
// second raises UserError.
JpegStream readJpegStream(QIODevice &in, QSize fitInto = QSize(), JpegMemory memory = JpegMemory::AsNeeded);

// Decodes a kept stream (see readJpegStream) at the largest reduction that still gives at least Needed pixels
// across and down, or whole when no reduction does or Needed is empty. Raises the errors of readJpeg.
QImage readJpegCovering(const QByteArray &stream, QSize needed);

} // namespace quorra
