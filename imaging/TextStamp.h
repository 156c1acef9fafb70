// SPDX-License-Identifier: GPL-3.0-or-later
// Text drawn on pictures: the stamp font, the size search, and the inverted two-line stamp.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>

namespace quorra {

// Every text is measured on a 96-dpi working bitmap, whatever the desktop's own resolution.
const QImage &measuringBitmap();

// "Times New Roman" bold at 8 points; the colour that goes with it is StampColor().
QFont stampFont();
// Black, whatever the desktop's theme: the text is drawn on the light concealment paper.
QColor stampColor();

// Font at the smallest point size from 8 to 255 at which Text reaches half of Width or half of Height
// (measured on a working bitmap at 96 dots per inch).
QFont fitFont(QFont font, const QString &text, int width, int height);

// Draws Upper just above the middle and Lower from the middle, each fitted on its own, white on black, combined
// with Target by exclusive or: twice restores the bitmap.
void stampTwoLines(QImage &target, const QString &upper, const QString &lower);

} // namespace quorra
