// SPDX-License-Identifier: GPL-3.0-or-later
// The puzzle tests' workbench: a picture, a texture and a puzzle drawing into a display, as the window holds them.
#pragma once

#include "../PuzzleProbe.h"
#include "Puzzle.h"

#include "Effects.h"
#include "Lcg.h"
#include "WorkingBitmap.h"

#include <QtTest>

namespace quorra {

// A picture whose every pixel differs from its neighbours, so that any misplaced row or column shows.
inline QImage makeSource(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb((x * 3 + y) & 255, (y * 7 + x / 2) & 255, (x ^ (y * 5)) & 255);
    }
    return image;
}

// A small texture that looks like no part of the source picture.
inline QImage makeTexture()
{
    QImage image = createWorkingBitmap(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            image.setPixel(x, y, qRgb(10 + x * 30, 200 - y * 20, 77));
    return image;
}

inline QRgb inverted(QRgb c)
{
    return qRgb(255 - qRed(c), 255 - qGreen(c), 255 - qBlue(c));
}

// The display, the texture and the puzzle that draws into them, made the way the main window makes them.
struct Bench {
    QImage display;
    QImage texture = makeTexture();
    Puzzle puzzle{&display, &texture};
    int changes = 0;
    QRect lastChange;

    Bench(int width, int height, int rows, int cols, bool emptyRow = false, bool emptyCol = false,
          qint32 effect = Effect::Negative)
    {
        puzzle.setPicture(makeSource(width, height));
        QObject::connect(&puzzle, &Puzzle::displayChanged, &puzzle, [this](const QRect &r) {
            ++changes;
            lastChange = r;
        });
        puzzle.setUp(effect, rows, cols, false, emptyRow, emptyCol);
    }

    // Play mode on the solved arrangement, without a tangle.
    void play()
    {
        PuzzleProbe(puzzle).setEditMode(false);
        puzzle.renderAll();
    }

    QRect cellRect(CellPos p) const
    {
        return QRect((p.x() - 1) * puzzle.cellWidth(), (p.y() - 1) * puzzle.cellHeight(), puzzle.cellWidth(),
                     puzzle.cellHeight());
    }

    // The piece the cell at P should show, before its frame is drawn.
    QImage expectedPiece(CellPos p, bool plain)
    {
        if (puzzle.grid().isEmpty(p)) {
            QImage tiled = createWorkingBitmap(puzzle.cellWidth(), puzzle.cellHeight());
            for (int y = 0; y < tiled.height(); ++y)
                for (int x = 0; x < tiled.width(); ++x)
                    tiled.setPixel(x, y, texture.pixel(x % texture.width(), y % texture.height()));
            return tiled;
        }
        const QRect r = cellRect(puzzle.grid().tileAt(p).home);
        return (plain ? PuzzleProbe(puzzle).plainPicture() : PuzzleProbe(puzzle).concealedPicture()).copy(r);
    }

    // True when the cell shows the piece inside its frame band (which may be up to 8 pixels wide).
    bool showsPiece(CellPos p, bool plain)
    {
        const QRect inner = QRect(QPoint(0, 0), cellRect(p).size()).adjusted(8, 8, -8, -8);
        return display.copy(inner.translated(cellRect(p).topLeft())) == expectedPiece(p, plain).copy(inner);
    }

    // The width of the inverted border band, read along the cell's diagonal and checked on all four sides.
    // What frameWidth gives for the selected cell's black, white and black frame.
    static constexpr int SelectionFrame = -2;

    // Black, white and black one pixel each along the middle of every side, the piece itself inside them.
    bool wearsSelectionFrame(const QImage &piece, const QRect &r) const
    {
        const QRgb bands[] = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(0, 0, 0)};
        const int mx = r.width() / 2, my = r.height() / 2;
        for (int d = 0; d < 12; ++d) {
            const QPoint at[] = {{mx, d}, {d, my}, {r.width() - 1 - d, my}, {mx, r.height() - 1 - d}};
            for (const QPoint &q : at) {
                const QRgb want = d < 3 ? bands[d] : piece.pixel(q);
                if (display.pixel(r.topLeft() + q) != want)
                    return false;
            }
        }
        return true;
    }

    int frameWidth(CellPos p, bool plain)
    {
        const QImage piece = expectedPiece(p, plain);
        const QRect r = cellRect(p);
        if (wearsSelectionFrame(piece, r))
            return SelectionFrame;
        int width = 0;
        while (width < 12
               && display.pixel(r.left() + width, r.top() + r.height() / 2)
                      == inverted(piece.pixel(width, r.height() / 2)))
            ++width;
        for (int d = 0; d < 12; ++d) {
            const bool in = d < width;
            const int mx = r.width() / 2, my = r.height() / 2;
            const int rx = r.width() - 1 - d, by = r.height() - 1 - d;
            if ((display.pixel(r.left() + mx, r.top() + d) == inverted(piece.pixel(mx, d))) != in
                || (display.pixel(r.left() + rx, r.top() + my) == inverted(piece.pixel(rx, my))) != in
                || (display.pixel(r.left() + mx, r.top() + by) == inverted(piece.pixel(mx, by))) != in)
                return -1;
        }
        return width;
    }

    // The window's side of the move protocol.
    int commits = 0;
    void Catch()
    {
        PuzzleProbe(puzzle).setDragState(DragState::Caught);
        puzzle.redrawSelected();
    }
    void press(int x, int y)
    {
        puzzle.hoverAt(x, y);
        Catch();
    }
    void move(int x, int y)
    {
        if (puzzle.dragState() == DragState::Idle) {
            puzzle.hoverAt(x, y);
        } else if (puzzle.dragState() == DragState::Caught) {
            if (puzzle.tryStartDrag(x, y))
                puzzle.renderDrag(x, y);
        } else if (puzzle.nearCellCentre(x, y)) {
            puzzle.commit(x, y);
            ++commits;
            Catch();
        } else {
            puzzle.renderDrag(x, y);
        }
    }
    void release(int x, int y)
    {
        if (puzzle.dragState() == DragState::Row || puzzle.dragState() == DragState::Column) {
            puzzle.commit(x, y);
            ++commits;
        }
        puzzle.releaseCatch();
        puzzle.redrawSelected();
    }
};

inline QString rowNumbers(const TileGrid &b, int r)
{
    QStringList l;
    for (int c = 1; c <= b.totalColumns(); ++c)
        l << QString::number(b.tileAt(CellPos(c, r)).number);
    return l.join(' ');
}

inline QString arrangement(const TileGrid &b)
{
    QStringList l;
    for (int r = 1; r <= b.totalRows(); ++r)
        l << rowNumbers(b, r);
    return l.join(" / ");
}

// The positions whose number changed between two arrangements.
inline QList<CellPos> changed(const TileGrid &before, const TileGrid &after)
{
    QList<CellPos> l;
    for (int c = 1; c <= after.totalColumns(); ++c)
        for (int r = 1; r <= after.totalRows(); ++r)
            if (before.tileAt(CellPos(c, r)).number != after.tileAt(CellPos(c, r)).number)
                l << CellPos(c, r);
    return l;
}

class TestClock
{
public:
    explicit TestClock(quint32 seed)
    {
        Lcg::setTestClock([seed] { return seed; });
    }
    ~TestClock() { Lcg::setTestClock({}); }
};

} // namespace quorra
