// Decoding JPEG streams with libjpeg straight into a bitmap, turned upright by the EXIF orientation.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Decodes a whole JPEG held in memory: Format_BGR888 for colour (CMYK converted), Format_Grayscale8 for grey.
// Errors raise "JPEG error #%d" with libjpeg's message code; an oversized frame raises the size refusal first.
void ReadJpeg(const QByteArray &Data, QImage &Target);

// The frame size a JPEG stream declares in its start-of-frame marker, found without decoding; invalid if none.
QSize JpegFrameSize(const QByteArray &Data);

// The orientation (1 to 8) of an APP1 "Exif" segment's first image directory; 1 when absent or unreadable.
int ExifOrientation(const QByteArray &App1);

// Turns a picture stored with the given EXIF orientation so that it shows as the camera saw it.
QImage OrientUpright(const QImage &Picture, int Orientation);
