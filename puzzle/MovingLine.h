// SPDX-License-Identifier: GPL-3.0-or-later
// A dragged row or column as the player sees it: a strip of the display, rotated along the line.
#pragma once

#include <QImage>
#include <QRect>

#include <algorithm>

namespace quorra {

struct MovingLine {
    // The part of the display the line covers, and the display's pixels there when the drag began.
    QRect band;
    const QImage *strip = nullptr;
    Qt::Orientation orientation = Qt::Horizontal;
    // How far the strip is rotated along the line, from 0 to the band's length less one.
    int shift = 0;

    // Hands the 24-bit pixels that display line Y shows from column X for Count columns (all inside the band) to
    // Run(pixels, column, count), one call per piece that lies contiguous in the strip, left to right.
    template <typename Run>
    void forEachRun(int y, int x, int count, Run run) const
    {
        if (orientation == Qt::Vertical) {
            const int length = band.height();
            const int row = (y - shift) % length;
            run(strip->constScanLine(row < 0 ? row + length : row) + qsizetype(x - band.left()) * 3, x, count);
            return;
        }
        const uchar *line = strip->constScanLine(y - band.top());
        const int width = band.width();
        int along = x - band.left();
        const int end = along + count;
        // Columns before the shift show the strip's end, the others its beginning.
        if (along < shift) {
            const int n = std::min(end, shift) - along;
            run(line + qsizetype(along + width - shift) * 3, x, n);
            along += n;
            x += n;
        }
        if (along < end)
            run(line + qsizetype(along - shift) * 3, x, end - along);
    }
};

} // namespace quorra
