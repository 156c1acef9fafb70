// SPDX-License-Identifier: GPL-3.0-or-later
// The tile-arrangement grid: dimensions, the solved and the current arrangement, and cyclic line shifts.
#pragma once

#include "Tile.h"

#include <cstdint>
#include <optional>

namespace quorra {

constexpr int MaxGrid = 6;

// The current arrangement is always a permutation of the solved one: a grid is set up solved, moves only by
// whole-line rotations, and a stored grid is taken only when it is one the program can make.
class TileGrid
{
public:
    // Everything a grid holds, as puzzle files store it: both arrangements whole, [column - 1][row - 1],
    // column-major, the cells outside the used region included, so a file read and written again keeps its bytes.
    struct Record {
        std::int32_t rows = 0;
        std::int32_t columns = 0;
        std::int32_t extraRow = 0;
        std::int32_t extraColumn = 0;
        Tile target[MaxGrid][MaxGrid];
        Tile current[MaxGrid][MaxGrid];

        // True when the dimensions and arrangements are ones the program can make.
        bool isPlayable() const;
        friend bool operator==(const Record &, const Record &) = default;
    };

    // An empty grid of no cells.
    TileGrid() = default;
    // The grid a record describes, or none when it is not one the program can make.
    static std::optional<TileGrid> fromRecord(const Record &record);
    const Record &record() const { return m_record; }

    int rows() const { return m_record.rows; }
    int columns() const { return m_record.columns; }
    bool hasEmptyRow() const { return m_record.extraRow != 0; }
    bool hasEmptyColumn() const { return m_record.extraColumn != 0; }
    int totalRows() const { return m_record.rows + m_record.extraRow; }
    int totalColumns() const { return m_record.columns + m_record.extraColumn; }
    // True for a position inside the grid, empty row and column included.
    bool contains(CellPos p) const
    {
        return p.x() >= 1 && p.x() <= totalColumns() && p.y() >= 1 && p.y() <= totalRows();
    }

    // The cell at P now and in the solved picture; P must lie inside the grid.
    const Tile &tileAt(CellPos p) const { return m_record.current[p.x() - 1][p.y() - 1]; }
    const Tile &targetAt(CellPos p) const { return m_record.target[p.x() - 1][p.y() - 1]; }
    bool isEmpty(CellPos p) const { return tileAt(p).number == 0; }
    bool isSolved() const;
    // The position whose target number is the current number at P, if any.
    std::optional<CellPos> home(CellPos p) const;

    // Sets up the solved grid; rows and columns are taken between 2 and 4, the sizes the program offers.
    void init(int rows, int columns, bool emptyRow, bool emptyColumn);
    // Puts every piece back where it belongs.
    void reset();
    // Rotates the row or column holding both positions so that the cell at From ends at To; positions off the
    // grid, or on different lines, change nothing.
    void shift(CellPos from, CellPos to);

private:
    Record m_record;
};

} // namespace quorra
