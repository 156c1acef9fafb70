// Reading Windows BMP pictures through Qt's own BMP reader, guarded against oversized headers.
#pragma once

#include <QImage>

class QIODevice;

// Reads a BMP from the device's current position; the picture keeps the file's pixel format and palette.
// Any failure raises "Bitmap image is not valid"; a header too large to hold raises the size refusal.
void ReadBmp(QIODevice &In, QImage &Target);
