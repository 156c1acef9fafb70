// SPDX-License-Identifier: GPL-3.0-or-later
// The game's moves on its arrangement, and the history that takes them back.
#include "GameBoard.h"

namespace quorra {

void GameBoard::setUp(int rows, int columns, bool emptyRow, bool emptyColumn)
{
    m_selected = NoCell;
    m_grid.init(rows, columns, emptyRow, emptyColumn);
    m_start = m_grid;
    m_history.clear();
    m_editMode = true;
    m_solved = false;
}

void GameBoard::adopt(const TileGrid &grid)
{
    m_grid = grid;
    m_start = grid;
    m_history.clear();
}

void GameBoard::beginTangle()
{
    m_history.clear();
    m_solved = false;
    m_editMode = false;
}

void GameBoard::restart()
{
    if (!canRestart())
        return;
    m_grid = m_start;
    m_history.clear();
}

void GameBoard::resume(const KeptGame &game)
{
    m_grid = game.grid;
    m_start = game.start;
    m_history = MoveHistory(game.done, game.undone);
    m_selected = NoCell;
    m_editMode = false;
    m_solved = false;
}

void GameBoard::settle(CellPos to, bool inPlay)
{
    m_grid.shift(m_selected, to);
    m_selected = to;
    m_solved = !m_editMode && inPlay && m_grid.isSolved();
}

void GameBoard::apply(const LineMove &move, bool inPlay)
{
    m_selected = move.from;
    settle(move.to, inPlay);
}

std::optional<LineMove> GameBoard::turnSelected(LineAxis axis, int steps)
{
    if (!m_grid.contains(m_selected) || steps == 0)
        return std::nullopt;
    const bool row = axis == LineAxis::Row;
    const CellPos from = m_selected;
    const int length = row ? m_grid.totalColumns() : m_grid.totalRows();
    const int end = ((row ? from.x() : from.y()) - 1 + steps % length + length) % length + 1;
    const LineMove move{from, row ? CellPos(end, from.y()) : CellPos(from.x(), end), axis, steps};
    m_history.record(move);
    return move;
}

LineMove GameBoard::dragMove(CellPos from, CellPos to, LineAxis axis) const
{
    const bool row = axis == LineAxis::Row;
    const int length = row ? m_grid.totalColumns() : m_grid.totalRows();
    int steps = ((row ? to.x() - from.x() : to.y() - from.y()) % length + length) % length;
    if (steps > length / 2)
        steps -= length;
    return {from, to, axis, steps};
}

std::optional<LineMove> GameBoard::takeUndo()
{
    if (!canUndo())
        return std::nullopt;
    return m_history.takeUndo()->reversed();
}

std::optional<LineMove> GameBoard::takeRedo()
{
    if (!canRedo())
        return std::nullopt;
    return m_history.takeRedo();
}

} // namespace quorra
