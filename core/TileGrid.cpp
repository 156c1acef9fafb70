// SPDX-License-Identifier: GPL-3.0-or-later
// The tile-arrangement grid: set-up layout, cyclic line shifts, the solved test and the stored record's check.
#include "TileGrid.h"

#include <algorithm>

namespace quorra {

namespace {
constexpr std::ptrdiff_t CellCount = std::ptrdiff_t(MaxGrid) * MaxGrid;
}

std::optional<TileGrid> TileGrid::fromRecord(const Record &record)
{
    if (!record.isPlayable())
        return std::nullopt;
    TileGrid grid;
    grid.m_record = record;
    return grid;
}

void TileGrid::init(int rows, int columns, bool emptyRow, bool emptyColumn)
{
    Record &g = m_record;
    g.rows = std::clamp(rows, 2, 4);
    g.columns = std::clamp(columns, 2, 4);
    g.extraRow = emptyRow ? 1 : 0;
    g.extraColumn = emptyColumn ? 1 : 0;
    for (int c = 1; c <= totalColumns(); ++c)
        for (int r = 1; r <= totalRows(); ++r) {
            Tile &cell = g.current[c - 1][r - 1];
            if (c <= g.columns && r <= g.rows) {
                cell.home = CellPos(c, r);
                cell.number = (r - 1) * g.columns + c;
            } else {
                // An empty cell keeps whatever home it had: only its number says it is empty.
                cell.number = 0;
            }
        }
    std::copy(&g.current[0][0], &g.current[0][0] + CellCount, &g.target[0][0]);
}

void TileGrid::reset()
{
    Record &g = m_record;
    std::copy(&g.target[0][0], &g.target[0][0] + CellCount, &g.current[0][0]);
}

void TileGrid::shift(CellPos from, CellPos to)
{
    // A position off the grid would never be reached by the tracker below and the loop would not end.
    if (!contains(from) || !contains(to))
        return;

    Tile(&current)[MaxGrid][MaxGrid] = m_record.current;
    if (from.x() == to.x()) {
        Tile *line = current[from.x() - 1];
        const int length = totalRows();
        int t = from.y();
        while (t != to.y()) {
            const Tile saved = line[0];
            for (int k = 0; k < length - 1; ++k)
                line[k] = line[k + 1];
            line[length - 1] = saved;
            if (--t == 0)
                t = length;
        }
    } else if (from.y() == to.y()) {
        const int r = from.y() - 1;
        const int length = totalColumns();
        int t = from.x();
        while (t != to.x()) {
            const Tile saved = current[0][r];
            for (int k = 0; k < length - 1; ++k)
                current[k][r] = current[k + 1][r];
            current[length - 1][r] = saved;
            if (--t == 0)
                t = length;
        }
    }
}

bool TileGrid::isSolved() const
{
    for (int c = 0; c < totalColumns(); ++c)
        for (int r = 0; r < totalRows(); ++r)
            if (m_record.current[c][r].number != m_record.target[c][r].number)
                return false;
    return true;
}

std::optional<CellPos> TileGrid::home(CellPos p) const
{
    const std::int32_t wanted = tileAt(p).number;
    for (int c = 1; c <= totalColumns(); ++c)
        for (int r = 1; r <= totalRows(); ++r)
            if (m_record.target[c - 1][r - 1].number == wanted)
                return CellPos(c, r);
    return std::nullopt;
}

bool TileGrid::Record::isPlayable() const
{
    if (rows < 2 || rows > 4 || columns < 2 || columns > 4)
        return false;
    if ((extraRow != 0 && extraRow != 1) || (extraColumn != 0 && extraColumn != 1))
        return false;

    const int allColumns = columns + extraColumn;
    const int allRows = rows + extraRow;
    for (int c = 1; c <= allColumns; ++c)
        for (int r = 1; r <= allRows; ++r) {
            const Tile &cell = target[c - 1][r - 1];
            if (c <= columns && r <= rows) {
                if (cell.number != (r - 1) * columns + c || cell.home != CellPos(c, r))
                    return false;
            } else if (cell.number != 0) {
                return false;
            }
        }

    // Every picture piece must appear exactly once, with the home it has in the solved layout; the rest of the
    // positions are then necessarily the empty cells.
    bool seen[MaxGrid * MaxGrid + 1] = {};
    for (int c = 1; c <= allColumns; ++c)
        for (int r = 1; r <= allRows; ++r) {
            const Tile &cell = current[c - 1][r - 1];
            if (cell.number == 0)
                continue;
            if (cell.number < 1 || cell.number > rows * columns || seen[cell.number])
                return false;
            const int index = cell.number - 1;
            if (cell.home != CellPos(index % columns + 1, index / columns + 1))
                return false;
            seen[cell.number] = true;
        }
    for (int n = 1; n <= rows * columns; ++n)
        if (!seen[n])
            return false;
    return true;
}

} // namespace quorra
