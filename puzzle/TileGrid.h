// The tile-arrangement grid: dimensions, the solved and the current arrangement, and cyclic line shifts.
#pragma once

#include <QPoint>
#include <QRect>

class QIODevice;

// Grid positions are 1-based: X is the column, Y the row; (0, 0) is no cell.
constexpr QPoint NoCell(0, 0);
inline bool isNoCell(QPoint p) { return p.x() == 0 && p.y() == 0; }
inline bool samePoint(QPoint a, QPoint b) { return a == b; }

struct Tile {
    qint32 number = 0; // 1 .. Rows * Cols in reading order of its home; 0 for an empty cell
    QPoint home;       // where the piece lies in the solved picture
};

constexpr int MaxGrid = 6;

class TileGrid
{
public:
    // [column - 1][row - 1], column-major as stored in puzzle files.
    Tile target[MaxGrid][MaxGrid];
    Tile current[MaxGrid][MaxGrid];
    qint32 rows = 0;
    qint32 cols = 0;
    qint32 extraRow = 0;
    qint32 extraCol = 0;

    int totalRows() const { return rows + extraRow; }
    int totalCols() const { return cols + extraCol; }

    Tile &currentAt(QPoint p) { return current[p.x() - 1][p.y() - 1]; }
    const Tile &currentAt(QPoint p) const { return current[p.x() - 1][p.y() - 1]; }
    const Tile &targetAt(QPoint p) const { return target[p.x() - 1][p.y() - 1]; }

    void init(int newRows, int newCols, bool emptyRow, bool emptyCol);
    void reset();
    // Rotates the row or column holding both positions so that the cell at From ends at To.
    void shift(QPoint from, QPoint to);
    bool isSolved() const;
    bool isEmpty(int col, int row) const;
    qint32 targetNumber(int col, int row) const;
    // The position whose target number is the current number at P; Home is left as it was when none matches.
    void findHome(QPoint p, QPoint &home) const;
    void currentCellRect(int col, int row, int w, int h, QRect &r) const;
    void targetCellRect(int col, int row, int w, int h, QRect &r) const;

    // Little-endian: Rows, Cols, ExtraRow, ExtraCol, Target (432 bytes), Current (432 bytes).
    void saveToStream(QIODevice &stream) const;
    // Reads the image as stored; returns false when the stream ends before all 880 bytes were read.
    bool loadFromStream(QIODevice &stream);
    // True when the dimensions and arrangements are ones the program can make (see the puzzle file reader).
    bool isPlayable() const;
};
