// SPDX-License-Identifier: GPL-3.0-or-later
// The mouse tests' game: a puzzle of 2 x 3 cells of 100 pixels on screen, and the mouse's events sent to it.
#pragma once

#include "../../PuzzleProbe.h"
#include "PictureView.h"
#include "WindowFixture.h"

#include <QApplication>
#include <QMouseEvent>

namespace quorra {

namespace {

// Cells of 100 x 100 pixels (drag threshold 15): a 300 x 200 picture split 2 x 3, shown at its actual size.
struct Game {
    WindowFixture f;
    PictureView *image = nullptr;

    // Rotations of the solved arrangement: row 1 right by Row1 cells, row 2 right by Row2 cells.
    explicit Game(int row1 = 1, int row2 = 1)
    {
        f.open(f.makePuzzleFile(QStringLiteral("g.nbq"), 300, 200, 2, 3));
        image = f.form->pictureView();
        Puzzle &p = puzzle();
        PuzzleProbe(p).grid().reset();
        if (row1)
            PuzzleProbe(p).grid().shift(CellPos(1, 1), CellPos(1 + row1, 1));
        if (row2)
            PuzzleProbe(p).grid().shift(CellPos(1, 2), CellPos(1 + row2, 2));
        PuzzleProbe(p).setSolved(false);
        p.renderAll();
        f.form->updateCommands();
    }

    Puzzle &puzzle() const { return *f.form->documents().puzzle(); }
    QPoint global(int x, int y) const { return image->mapToGlobal(QPoint(x, y)); }
    QRect globalRect(int x, int y, int w, int h) const { return QRect(global(x, y), QSize(w, h)); }

    void send(QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held, QPoint at, QWidget *to = nullptr)
    {
        QWidget *target = to ? to : image;
        QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    void press(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        send(QEvent::MouseButtonPress, button, button, at);
    }
    void drag(QPoint at) { send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, at); }
    void hover(QPoint at) { send(QEvent::MouseMove, Qt::NoButton, Qt::NoButton, at); }
    void release(QPoint at, Qt::MouseButton button = Qt::LeftButton)
    {
        send(QEvent::MouseButtonRelease, button, Qt::NoButton, at);
    }

    // The numbers along a row, left to right.
    QList<int> row(int r) const
    {
        QList<int> numbers;
        for (int c = 1; c <= puzzle().grid().totalColumns(); ++c)
            numbers << puzzle().grid().tileAt(CellPos(c, r)).number;
        return numbers;
    }
    QList<int> column(int c) const
    {
        QList<int> numbers;
        for (int r = 1; r <= puzzle().grid().totalRows(); ++r)
            numbers << puzzle().grid().tileAt(CellPos(c, r)).number;
        return numbers;
    }
};

} // namespace

} // namespace quorra
