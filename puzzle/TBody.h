// The tile-arrangement grid: dimensions, the solved and the current arrangement, and cyclic line shifts.
#pragma once

#include <QPoint>
#include <QRect>

class QIODevice;

// Grid positions are 1-based: X is the column, Y the row; (0, 0) is no cell.
constexpr QPoint NoCell(0, 0);
inline bool IsNoCell(QPoint P) { return P.x() == 0 && P.y() == 0; }
inline bool SamePoint(QPoint A, QPoint B) { return A == B; }

struct TCell {
    qint32 Number = 0; // 1 .. Rows * Cols in reading order of its home; 0 for an empty cell
    QPoint Home;       // where the piece lies in the solved picture
};

constexpr int MaxGrid = 6;

class TBody
{
public:
    // [column - 1][row - 1], column-major as stored in puzzle files.
    TCell Target[MaxGrid][MaxGrid];
    TCell Current[MaxGrid][MaxGrid];
    qint32 Rows = 0;
    qint32 Cols = 0;
    qint32 ExtraRow = 0;
    qint32 ExtraCol = 0;

    int TotalRows() const { return Rows + ExtraRow; }
    int TotalCols() const { return Cols + ExtraCol; }

    TCell &CurrentAt(QPoint P) { return Current[P.x() - 1][P.y() - 1]; }
    const TCell &CurrentAt(QPoint P) const { return Current[P.x() - 1][P.y() - 1]; }
    const TCell &TargetAt(QPoint P) const { return Target[P.x() - 1][P.y() - 1]; }

    void Init(int NewRows, int NewCols, bool EmptyRow, bool EmptyCol);
    void Reset();
    // Rotates the row or column holding both positions so that the cell at From ends at To.
    void Shift(QPoint From, QPoint To);
    bool IsSolved() const;
    bool IsEmpty(int Col, int Row) const;
    qint32 TargetNumber(int Col, int Row) const;
    // The position whose target number is the current number at P; Home is left as it was when none matches.
    void FindHome(QPoint P, QPoint &Home) const;
    void CurrentCellRect(int Col, int Row, int W, int H, QRect &R) const;
    void TargetCellRect(int Col, int Row, int W, int H, QRect &R) const;

    // Little-endian: Rows, Cols, ExtraRow, ExtraCol, Target (432 bytes), Current (432 bytes).
    void SaveToStream(QIODevice &Stream) const;
    // Reads the image as stored; returns false when the stream ends before all 880 bytes were read.
    bool LoadFromStream(QIODevice &Stream);
    // True when the dimensions and arrangements are ones the program can make (see the puzzle file reader).
    bool IsPlayable() const;
};
