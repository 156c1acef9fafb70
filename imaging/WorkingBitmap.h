// Working bitmaps (24-bit BGR, white when new) and the raster helpers the renderer is built from.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

// The pixel format of every bitmap the program draws into.
constexpr QImage::Format WorkingFormat = QImage::Format_BGR888;

// An empty (0 x 0) working bitmap.
QImage CreateWorkingBitmap();
// A white working bitmap; the dots per inch are fixed at 96 so that point sizes give the same pixels everywhere.
QImage CreateWorkingBitmap(int Width, int Height);

// Nearest-neighbour stretch of the whole of Source (any QImage format) onto the whole of Target (a working
// bitmap). Source pixels that are transparent (alpha 0, the GIF transparency mark) are left out, so Target keeps
// its own pixels there.
void StretchDraw(const QImage &Source, QImage &Target);

// Copies the rectangle SourceRect of Source (a working bitmap) to TargetPos of Target, clipped to both bitmaps.
void CopyRect(const QImage &Source, const QRect &SourceRect, QImage &Target, QPoint TargetPos);

// Every byte of the rectangle becomes 255 minus itself (destination inversion), clipped to the bitmap.
void InvertRect(QImage &Target, const QRect &Rect);

// Target := Target xor Source over their common area, both working bitmaps (source exclusive-or).
void XorCopy(const QImage &Source, QImage &Target);

// Tiles Picture unscaled from Target's top-left corner; tiles past the edges are clipped.
void TilePicture(QImage &Target, const QImage &Picture);

// Inverts a border band Thickness pixels wide; twice restores the bitmap.
void DrawCellFrame(QImage &Target, int Thickness);

// The 150 x 150 paper texture that conceals cells, compiled into the program.
const QImage &ConcealmentTexture();
