// SPDX-License-Identifier: GPL-3.0-or-later
// The tests' one look inside a puzzle: states that play reaches only by long ways set directly, the owner's hooks
// changed in place, and the scratch bitmaps a drag works with.
#pragma once

#include "Puzzle.h"

#include <QMetaType>

namespace quorra {

class PuzzleProbe
{
public:
    explicit PuzzleProbe(Puzzle &puzzle) : m_puzzle(puzzle) {}

    // The grid's own commands keep it a permutation of its targets.
    TileGrid &grid() { return m_puzzle.m_game.m_grid; }
    // A game in play that began at Arrangement, as a tangle that ended there would leave it.
    void beginAt(const TileGrid &arrangement)
    {
        m_puzzle.m_game.m_grid = arrangement;
        m_puzzle.m_game.m_start = arrangement;
        m_puzzle.m_game.m_history.clear();
    }

    void setScale(double scale) { m_puzzle.m_geometry.m_scale = scale; }
    void setFitScale(double scale) { m_puzzle.m_geometry.m_fitScale = scale; }
    void setEditMode(bool on) { m_puzzle.m_game.m_editMode = on; }
    void setSolved(bool on) { m_puzzle.m_game.m_solved = on; }
    void setSelected(CellPos p) { m_puzzle.m_game.select(p); }
    void setDragState(DragState state) { m_puzzle.m_drag.m_state = state; }
    void setEffectCode(EffectCode effect) { m_puzzle.m_effect = effect; }

    // The working bitmaps at the view's scale, whole: the picture as it is and as its effect hides it.
    const QImage &plainPicture() const { return m_puzzle.m_plain; }
    const QImage &concealedPicture() const { return m_puzzle.m_concealed; }
    const QImage &cellBitmap() const { return m_puzzle.m_cellBitmap; }
    const QImage &rowStrip() const { return m_puzzle.m_rowStrip; }
    const QImage &columnStrip() const { return m_puzzle.m_columnStrip; }

private:
    Puzzle &m_puzzle;
};

} // namespace quorra

// Grid positions go into the tests' data tables.
Q_DECLARE_METATYPE(quorra::CellPos)
