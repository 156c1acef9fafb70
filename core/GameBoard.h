// SPDX-License-Identifier: GPL-3.0-or-later
// The game as a value: the arrangement, the selected cell, edit mode, solved, and the moves that can be taken back.
#pragma once

#include "KeptGame.h"
#include "LineMove.h"
#include "MoveHistory.h"
#include "Tangle.h"
#include "TileGrid.h"

#include <optional>

namespace quorra {

class GameBoard
{
public:
    const TileGrid &grid() const { return m_grid; }
    CellPos selected() const { return m_selected; }
    bool isEditMode() const { return m_editMode; }
    bool isSolved() const { return m_solved; }
    // A game being played takes moves; one being edited or solved takes none.
    bool isPlaying() const { return !m_editMode && !m_solved; }

    // A new split: solved, in edit mode, nothing selected and nothing to take back.
    void setUp(int rows, int columns, bool emptyRow, bool emptyColumn);
    // The arrangement a puzzle file stored; the moves before it are not this game's.
    void adopt(const TileGrid &grid);
    // A tangle begins a game from the solved arrangement; Shift is one step of it, which never wins.
    void beginTangle();
    void resetArrangement()
    {
        m_grid.reset();
        m_start = m_grid;
    }
    // The game begins where the tangle's last step leaves it.
    void tangleStep(const TangleShift &shift)
    {
        m_grid.shift(shift.from, shift.to);
        m_start = m_grid;
    }
    // The arrangement the game began with, which Restart puts back.
    const TileGrid &start() const { return m_start; }
    const MoveHistory &history() const { return m_history; }
    // Back to the start of the game: its moves are forgotten, so nothing can be taken back or made again.
    bool canRestart() const { return isPlaying(); }
    void restart();
    // The game in progress as it was kept (its moves and time are the owner's to count): checked already when it
    // was read, so it is taken whole; nothing is selected.
    void resume(const KeptGame &game);

    // Selects the cell at P, or none with NoCell.
    void select(CellPos p) { m_selected = p; }
    // Turns the selected cell's line so that the cell ends at To, which is then selected. Only a move made in play
    // (InPlay) solves the puzzle: a tangle passes through the solved arrangement.
    void settle(CellPos to, bool inPlay);
    // Makes Move: its cell is selected and its line turned.
    void apply(const LineMove &move, bool inPlay);
    void record(const LineMove &move) { m_history.record(move); }

    // The move that turns the selected cell's line by Steps cells, wrapping around, recorded as made; none
    // without a selection inside the grid or without a step.
    std::optional<LineMove> turnSelected(LineAxis axis, int steps);
    // The move that takes a drag from From to To back the short way round, whichever way the pointer went.
    LineMove dragMove(CellPos from, CellPos to, LineAxis axis) const;

    bool canUndo() const { return isPlaying() && m_history.canUndo(); }
    bool canRedo() const { return isPlaying() && m_history.canRedo(); }
    // The move to make for taking the last one back (or making the last one taken back again), now moved in the
    // history; none when there is nothing to take.
    std::optional<LineMove> takeUndo();
    std::optional<LineMove> takeRedo();

private:
    friend class PuzzleProbe; // the desktop tests' one look inside, as the puzzle's

    TileGrid m_grid;
    TileGrid m_start;
    CellPos m_selected = NoCell;
    bool m_editMode = false;
    bool m_solved = false;
    MoveHistory m_history;
};

} // namespace quorra
