// The moves made since the last tangle, for taking them back and making them again.
#pragma once

#include <QList>
#include <QPoint>

#include <optional>

// One turn of a row or column: the cell at From went Steps cells along the line (negative: left or up) and ended
// at To. Steps is the way it is shown sliding; the arrangement depends only on From and To.
struct LineMove {
    QPoint from;
    QPoint to;
    Qt::Orientation orientation = Qt::Horizontal;
    int steps = 0;

    // The move that takes this one back.
    LineMove reversed() const { return {to, from, orientation, -steps}; }
    friend bool operator==(const LineMove &, const LineMove &) = default;
};

class MoveHistory
{
public:
    // A new move ends what could be made again.
    void record(const LineMove &move);
    void clear();

    bool canUndo() const { return !m_done.isEmpty(); }
    bool canRedo() const { return !m_undone.isEmpty(); }
    // The last move made, now offered for redoing; none when there is nothing to undo.
    std::optional<LineMove> takeUndo();
    // The last move undone, now made again; none when there is nothing to redo.
    std::optional<LineMove> takeRedo();

private:
    QList<LineMove> m_done;
    QList<LineMove> m_undone;
};
