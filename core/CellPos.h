// SPDX-License-Identifier: GPL-3.0-or-later
// A place in the puzzle's grid: 1-based column and row, as players and puzzle files count them.
#pragma once

namespace quorra {

class CellPos
{
public:
    constexpr CellPos() = default;
    constexpr CellPos(int x, int y) : m_x(x), m_y(y) {}

    // X is the column, Y the row.
    constexpr int x() const { return m_x; }
    constexpr int y() const { return m_y; }

    friend constexpr bool operator==(CellPos, CellPos) = default;

private:
    int m_x = 0;
    int m_y = 0;
};

// (0, 0) is no cell: what nothing is selected at, and what a pointer off the grid points to.
constexpr CellPos NoCell(0, 0);
constexpr bool isNoCell(CellPos p)
{
    return p == NoCell;
}

} // namespace quorra
