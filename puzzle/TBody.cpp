// The tile-arrangement grid: set-up layout, cyclic line shifts, the solved test and the stored image.
#include "TBody.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>

namespace {

constexpr int CellBytes = 3 * 4;
constexpr int ArrangementBytes = MaxGrid * MaxGrid * CellBytes;
constexpr int ImageBytes = 4 * 4 + 2 * ArrangementBytes;

void PutInt(char *&At, qint32 Value)
{
    qToLittleEndian<qint32>(Value, At);
    At += 4;
}

qint32 TakeInt(const char *&At)
{
    const qint32 Value = qFromLittleEndian<qint32>(At);
    At += 4;
    return Value;
}

void PutArrangement(char *&At, const TCell (&Cells)[MaxGrid][MaxGrid])
{
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            PutInt(At, Cells[c][r].Number);
            PutInt(At, Cells[c][r].Home.x());
            PutInt(At, Cells[c][r].Home.y());
        }
}

void TakeArrangement(const char *&At, TCell (&Cells)[MaxGrid][MaxGrid])
{
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            Cells[c][r].Number = TakeInt(At);
            const qint32 X = TakeInt(At);
            const qint32 Y = TakeInt(At);
            Cells[c][r].Home = QPoint(X, Y);
        }
}

} // namespace

void TBody::Init(int NewRows, int NewCols, bool EmptyRow, bool EmptyCol)
{
    Rows = NewRows;
    Cols = NewCols;
    ExtraRow = EmptyRow ? 1 : 0;
    ExtraCol = EmptyCol ? 1 : 0;
    for (int c = 1; c <= TotalCols(); ++c)
        for (int r = 1; r <= TotalRows(); ++r) {
            TCell &Cell = Current[c - 1][r - 1];
            if (c <= Cols && r <= Rows) {
                Cell.Home = QPoint(c, r);
                Cell.Number = (r - 1) * Cols + c;
            } else {
                // An empty cell keeps whatever Home it had: only its Number says it is empty.
                Cell.Number = 0;
            }
        }
    std::memcpy(static_cast<void *>(Target), Current, sizeof(Target));
}

void TBody::Reset()
{
    std::memcpy(static_cast<void *>(Current), Target, sizeof(Current));
}

void TBody::Shift(QPoint From, QPoint To)
{
    // A position off the grid would never be reached by the tracker below and the loop would not end.
    auto Inside = [this](QPoint P) {
        return P.x() >= 1 && P.x() <= TotalCols() && P.y() >= 1 && P.y() <= TotalRows();
    };
    if (!Inside(From) || !Inside(To))
        return;

    if (From.x() == To.x()) {
        TCell *Line = Current[From.x() - 1];
        const int Length = TotalRows();
        int t = From.y();
        while (t != To.y()) {
            const TCell Saved = Line[0];
            for (int k = 0; k < Length - 1; ++k)
                Line[k] = Line[k + 1];
            Line[Length - 1] = Saved;
            if (--t == 0)
                t = Length;
        }
    } else if (From.y() == To.y()) {
        const int r = From.y() - 1;
        const int Length = TotalCols();
        int t = From.x();
        while (t != To.x()) {
            const TCell Saved = Current[0][r];
            for (int k = 0; k < Length - 1; ++k)
                Current[k][r] = Current[k + 1][r];
            Current[Length - 1][r] = Saved;
            if (--t == 0)
                t = Length;
        }
    }
}

bool TBody::IsSolved() const
{
    for (int c = 0; c < TotalCols(); ++c)
        for (int r = 0; r < TotalRows(); ++r)
            if (Current[c][r].Number != Target[c][r].Number)
                return false;
    return true;
}

bool TBody::IsEmpty(int Col, int Row) const
{
    return Current[Col - 1][Row - 1].Number == 0;
}

qint32 TBody::TargetNumber(int Col, int Row) const
{
    return Target[Col - 1][Row - 1].Number;
}

void TBody::FindHome(QPoint P, QPoint &Home) const
{
    const qint32 Wanted = CurrentAt(P).Number;
    for (int c = 1; c <= TotalCols(); ++c)
        for (int r = 1; r <= TotalRows(); ++r)
            if (Target[c - 1][r - 1].Number == Wanted) {
                Home = QPoint(c, r);
                return;
            }
}

void TBody::CurrentCellRect(int Col, int Row, int W, int H, QRect &R) const
{
    const QPoint Home = Current[Col - 1][Row - 1].Home;
    R = QRect((Home.x() - 1) * W, (Home.y() - 1) * H, W, H);
}

void TBody::TargetCellRect(int Col, int Row, int W, int H, QRect &R) const
{
    const QPoint Home = Target[Col - 1][Row - 1].Home;
    R = QRect((Home.x() - 1) * W, (Home.y() - 1) * H, W, H);
}

void TBody::SaveToStream(QIODevice &Stream) const
{
    QByteArray Image(ImageBytes, '\0');
    char *At = Image.data();
    PutInt(At, Rows);
    PutInt(At, Cols);
    PutInt(At, ExtraRow);
    PutInt(At, ExtraCol);
    PutArrangement(At, Target);
    PutArrangement(At, Current);
    Stream.write(Image);
}

bool TBody::LoadFromStream(QIODevice &Stream)
{
    // Read the whole image first so that a short stream leaves this grid as it was.
    const QByteArray Image = Stream.read(ImageBytes);
    if (Image.size() != ImageBytes)
        return false;
    const char *At = Image.constData();
    Rows = TakeInt(At);
    Cols = TakeInt(At);
    ExtraRow = TakeInt(At);
    ExtraCol = TakeInt(At);
    TakeArrangement(At, Target);
    TakeArrangement(At, Current);
    return true;
}

bool TBody::IsPlayable() const
{
    if (Rows < 2 || Rows > 4 || Cols < 2 || Cols > 4)
        return false;
    if ((ExtraRow != 0 && ExtraRow != 1) || (ExtraCol != 0 && ExtraCol != 1))
        return false;

    for (int c = 1; c <= TotalCols(); ++c)
        for (int r = 1; r <= TotalRows(); ++r) {
            const TCell &Cell = Target[c - 1][r - 1];
            if (c <= Cols && r <= Rows) {
                if (Cell.Number != (r - 1) * Cols + c || Cell.Home != QPoint(c, r))
                    return false;
            } else if (Cell.Number != 0) {
                return false;
            }
        }

    // Every picture piece must appear exactly once, with the home it has in the solved layout; the rest of the
    // positions are then necessarily the empty cells.
    bool Seen[MaxGrid * MaxGrid + 1] = {};
    for (int c = 1; c <= TotalCols(); ++c)
        for (int r = 1; r <= TotalRows(); ++r) {
            const TCell &Cell = Current[c - 1][r - 1];
            if (Cell.Number == 0)
                continue;
            if (Cell.Number < 1 || Cell.Number > Rows * Cols || Seen[Cell.Number])
                return false;
            const int Index = Cell.Number - 1;
            if (Cell.Home != QPoint(Index % Cols + 1, Index / Cols + 1))
                return false;
            Seen[Cell.Number] = true;
        }
    for (int n = 1; n <= Rows * Cols; ++n)
        if (!Seen[n])
            return false;
    return true;
}
