// SPDX-License-Identifier: GPL-3.0-or-later
// The drag's state machine over picture positions.
#include "DragRules.h"

#include <algorithm>
#include <cstdlib>

namespace quorra {

void DragRules::hover(PicturePoint p)
{
    CellPos cell = m_geometry.cellAt(p);
    if (!m_geometry.inGrid(cell))
        cell = NoCell;
    m_board.select(cell);
    m_anchor = m_geometry.cellCentre(cell);
}

bool DragRules::select(CellPos p)
{
    if (!m_geometry.inGrid(p))
        return false;
    m_board.select(p);
    m_anchor = m_geometry.cellCentre(p);
    return true;
}

void DragRules::catchSelected()
{
    m_heldLine = DragState::Idle;
    if (!isNoCell(m_board.selected()))
        m_state = DragState::Caught;
}

void DragRules::catchOnLine()
{
    const DragState line = m_state;
    catchSelected();
    if (line == DragState::Row || line == DragState::Column)
        m_heldLine = line;
}

void DragRules::letGo()
{
    m_state = DragState::Idle;
    m_heldLine = DragState::Idle;
}

bool DragRules::tryStartDrag(PicturePoint p)
{
    if (isNoCell(m_board.selected()))
        return false;
    const int dx = std::abs(p.x - m_anchor.x);
    const int dy = std::abs(p.y - m_anchor.y);
    const int threshold = m_geometry.dragThreshold();
    if (m_heldLine == DragState::Row || m_heldLine == DragState::Column) {
        // Only the distance along the held line counts: the hand's drift across it is no drag.
        if ((m_heldLine == DragState::Row ? dx : dy) < threshold)
            return false;
        m_state = m_heldLine;
    } else {
        if (std::max(dx, dy) < threshold)
            return false;
        m_state = dx >= dy ? DragState::Row : DragState::Column;
    }
    return true;
}

void DragRules::startLine(LineAxis axis)
{
    m_state = axis == LineAxis::Row ? DragState::Row : DragState::Column;
}

DragStep DragRules::move(PicturePoint p)
{
    switch (m_state) {
    case DragState::Idle:
        hover(p);
        return {DragStep::Kind::Hovered, p};
    case DragState::Caught:
        if (tryStartDrag(p))
            return {DragStep::Kind::LineChosen, p};
        return {};
    case DragState::Row:
    case DragState::Column: {
        // The pointer is held on the dragged line where the window system allows it; where it does not, the
        // position is read as if it were, so that a hand that drifts off the line still snaps.
        const PicturePoint along =
            m_state == DragState::Row ? PicturePoint{p.x, m_anchor.y} : PicturePoint{m_anchor.x, p.y};
        if (m_geometry.nearCellCentre(along))
            return {DragStep::Kind::Snapped, along};
        return {DragStep::Kind::Shifted, p};
    }
    }
    return {};
}

int DragRules::shiftAlong(PicturePoint p, int length) const
{
    if (length <= 0 || !isDragging())
        return 0;
    const int moved = m_state == DragState::Row ? p.x - m_anchor.x : p.y - m_anchor.y;
    return (moved % length + length) % length;
}

CellPos DragRules::landing(PicturePoint p) const
{
    // A dragged line is read along its own direction only, wrapped as it is drawn: a pointer that is not held
    // on the line (no confinement) or that ends past the picture's edge still lands on the cell the player
    // sees there, and never on a position outside the grid.
    const CellPos selected = m_board.selected();
    CellPos t = m_geometry.cellAt(p);
    if (!isNoCell(selected)) {
        if (m_state == DragState::Row)
            t = CellPos(m_geometry.wrappedColumn(p.x), selected.y());
        else if (m_state == DragState::Column)
            t = CellPos(selected.x(), m_geometry.wrappedRow(p.y));
    }
    return m_geometry.inGrid(t) ? t : selected;
}

void DragRules::settle(CellPos to, bool inPlay)
{
    m_board.settle(to, inPlay);
    m_anchor = m_geometry.cellCentre(to);
}

std::optional<LineMove> DragRules::commit(CellPos to, bool inPlay)
{
    const CellPos from = m_board.selected();
    const bool dragged = isDragging();
    const LineAxis axis = m_state == DragState::Row ? LineAxis::Row : LineAxis::Column;
    settle(to, inPlay);
    if (!dragged || m_board.isEditMode() || isNoCell(from) || to == from)
        return std::nullopt;
    const LineMove move = m_board.dragMove(from, to, axis);
    m_board.record(move);
    return move;
}

std::optional<CellPos> DragRules::adviceAt(PicturePoint p) const
{
    const CellPos cell = m_geometry.cellAt(p);
    if (!m_geometry.inGrid(cell))
        return std::nullopt;
    return m_board.grid().home(cell).value_or(NoCell);
}

} // namespace quorra
