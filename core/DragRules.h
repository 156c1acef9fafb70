// SPDX-License-Identifier: GPL-3.0-or-later
// The pointer's rules on the picture: hovering selects, a press catches, a pull past the threshold chooses the line,
// a line that comes near a cell centre snaps there, and the release makes the move.
#pragma once

#include "CellGeometry.h"
#include "GameBoard.h"
#include "PicturePoint.h"

#include <cstdint>
#include <optional>

namespace quorra {

enum class DragState : std::uint8_t { Idle = 0, Caught = 1, Row = 2, Column = 3 };

// What one pointer move came to.
struct DragStep {
    enum class Kind : std::uint8_t {
        Nothing,
        // The selection followed the pointer (perhaps to the same cell, or to none).
        Hovered,
        // The caught cell was pulled far enough: its row or column now moves with the pointer.
        LineChosen,
        // The moving line follows the pointer.
        Shifted,
        // The position read along the line came near a cell centre: the move is to be made at At, and the cell
        // caught again on the same line.
        Snapped,
    };
    Kind kind = Kind::Nothing;
    PicturePoint at;
    friend bool operator==(const DragStep &, const DragStep &) = default;
};

class DragRules
{
public:
    // Both must outlive the rules; the board's selection is the cell the pointer works on.
    DragRules(const CellGeometry &geometry, GameBoard &board) : m_geometry(geometry), m_board(board) {}

    DragState state() const { return m_state; }
    bool isDragging() const { return m_state == DragState::Row || m_state == DragState::Column; }
    // The selected cell's centre when it was selected or last settled: a drag is measured from here.
    PicturePoint anchor() const { return m_anchor; }

    // Selects the cell under the pointer, or none off the grid.
    void hover(PicturePoint p);
    // Selects P as the keyboard does; false (nothing changes) for a position off the grid.
    bool select(CellPos p);
    // A press catches the selected cell free to be dragged along its row or its column; caught again after its
    // dragged line snapped, it keeps to that line until the button is let go, wherever the hand drifts (a pointer
    // nothing holds on the line, as on Wayland or a tablet, would otherwise turn the drag after every snap).
    void catchSelected();
    void catchOnLine();
    void letGo();
    // Chooses the line once the pointer has gone the threshold from the anchor: the held line, or the way the
    // pointer went further (the row on a tie). False while it has not.
    bool tryStartDrag(PicturePoint p);
    // A line that moves by itself (keyboard, undo, redo) is held as a drag holds it.
    void startLine(LineAxis axis);
    // One pointer move: hovering, choosing the line, or moving it, which may snap.
    DragStep move(PicturePoint p);

    // How far the moving strip is turned along a line of Length pixels, from 0 to Length - 1.
    int shiftAlong(PicturePoint p, int length) const;
    // Where a dragged line released at P leaves the selected cell.
    CellPos landing(PicturePoint p) const;
    // Turns the selected cell's line so that the cell ends at To (see GameBoard::settle), measured from there on.
    void settle(CellPos to, bool inPlay);
    // Settles the dragged line at To; the move when it changed the arrangement, now recorded.
    std::optional<LineMove> commit(CellPos to, bool inPlay);
    // The cell where the piece under the pointer belongs, or none off the grid.
    std::optional<CellPos> adviceAt(PicturePoint p) const;

private:
    friend class PuzzleProbe; // the desktop tests' one look inside, as the puzzle's

    const CellGeometry &m_geometry;
    GameBoard &m_board;
    DragState m_state = DragState::Idle;
    // The line a snapped drag keeps to (Row or Column), or Idle while the drag may still choose.
    DragState m_heldLine = DragState::Idle;
    PicturePoint m_anchor;
};

} // namespace quorra
