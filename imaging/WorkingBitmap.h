// SPDX-License-Identifier: GPL-3.0-or-later
// Working bitmaps (24-bit BGR, white when new) and the raster helpers the renderer is built from.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

namespace quorra {

// The pixel format of every bitmap the program draws into.
constexpr QImage::Format WorkingFormat = QImage::Format_BGR888;

// An empty (0 x 0) working bitmap.
QImage createWorkingBitmap();
// A white working bitmap; the dots per inch are fixed at 96 so that point sizes give the same pixels everywhere.
QImage createWorkingBitmap(int width, int height);

// Nearest-neighbour stretch of the whole of Source (any QImage format) onto the whole of Target (a working
// bitmap). Source pixels that are transparent (alpha 0, the GIF transparency mark) are left out, so Target keeps
// its own pixels there.
void stretchDraw(const QImage &source, QImage &target);

// Copies the rectangle SourceRect of Source (a working bitmap) to TargetPos of Target, clipped to both bitmaps.
void copyRect(const QImage &source, const QRect &sourceRect, QImage &target, QPoint targetPos);

// Every byte of the rectangle becomes 255 minus itself (destination inversion), clipped to the bitmap.
void invertRect(QImage &target, const QRect &rect);

// Target := Target xor Source over their common area, both working bitmaps (source exclusive-or).
void xorCopy(const QImage &source, QImage &target);

// Tiles Picture unscaled from Target's top-left corner; tiles past the edges are clipped.
void tilePicture(QImage &target, const QImage &picture);

// Inverts a border band Thickness pixels wide; twice restores the bitmap.
void drawCellFrame(QImage &target, int thickness);
// The frame of the selected cell: black, white and black bands of one pixel each along the edge, which show on any
// picture where an inverted band of a like colour would not.
void drawSelectionFrame(QImage &target);

// The 150 x 150 paper texture that conceals cells, compiled into the program.
const QImage &concealmentTexture();

} // namespace quorra
