// The tile-arrangement grid: set-up layout, cyclic line shifts, the solved test and the stored image.
#include "TileGrid.h"

#include <QIODevice>
#include <QtEndian>

#include <cstring>

namespace {

constexpr int CellBytes = 3 * 4;
constexpr int ArrangementBytes = MaxGrid * MaxGrid * CellBytes;
constexpr int ImageBytes = 4 * 4 + 2 * ArrangementBytes;

void putInt(char *&at, qint32 value)
{
    qToLittleEndian<qint32>(value, at);
    at += 4;
}

qint32 takeInt(const char *&at)
{
    const qint32 value = qFromLittleEndian<qint32>(at);
    at += 4;
    return value;
}

void putArrangement(char *&at, const Tile (&cells)[MaxGrid][MaxGrid])
{
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            putInt(at, cells[c][r].number);
            putInt(at, cells[c][r].home.x());
            putInt(at, cells[c][r].home.y());
        }
}

void takeArrangement(const char *&at, Tile (&cells)[MaxGrid][MaxGrid])
{
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            cells[c][r].number = takeInt(at);
            const qint32 x = takeInt(at);
            const qint32 y = takeInt(at);
            cells[c][r].home = QPoint(x, y);
        }
}

} // namespace

void TileGrid::init(int newRows, int newCols, bool emptyRow, bool emptyCol)
{
    rows = newRows;
    cols = newCols;
    extraRow = emptyRow ? 1 : 0;
    extraCol = emptyCol ? 1 : 0;
    for (int c = 1; c <= totalCols(); ++c)
        for (int r = 1; r <= totalRows(); ++r) {
            Tile &cell = current[c - 1][r - 1];
            if (c <= cols && r <= rows) {
                cell.home = QPoint(c, r);
                cell.number = (r - 1) * cols + c;
            } else {
                // An empty cell keeps whatever Home it had: only its Number says it is empty.
                cell.number = 0;
            }
        }
    std::memcpy(static_cast<void *>(target), current, sizeof(target));
}

void TileGrid::reset()
{
    std::memcpy(static_cast<void *>(current), target, sizeof(current));
}

void TileGrid::shift(QPoint from, QPoint to)
{
    // A position off the grid would never be reached by the tracker below and the loop would not end.
    auto inside = [this](QPoint p) {
        return p.x() >= 1 && p.x() <= totalCols() && p.y() >= 1 && p.y() <= totalRows();
    };
    if (!inside(from) || !inside(to))
        return;

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
        const int length = totalCols();
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
    for (int c = 0; c < totalCols(); ++c)
        for (int r = 0; r < totalRows(); ++r)
            if (current[c][r].number != target[c][r].number)
                return false;
    return true;
}

bool TileGrid::isEmpty(int col, int row) const
{
    return current[col - 1][row - 1].number == 0;
}

qint32 TileGrid::targetNumber(int col, int row) const
{
    return target[col - 1][row - 1].number;
}

void TileGrid::findHome(QPoint p, QPoint &home) const
{
    const qint32 wanted = currentAt(p).number;
    for (int c = 1; c <= totalCols(); ++c)
        for (int r = 1; r <= totalRows(); ++r)
            if (target[c - 1][r - 1].number == wanted) {
                home = QPoint(c, r);
                return;
            }
}

void TileGrid::currentCellRect(int col, int row, int w, int h, QRect &r) const
{
    const QPoint home = current[col - 1][row - 1].home;
    r = QRect((home.x() - 1) * w, (home.y() - 1) * h, w, h);
}

void TileGrid::targetCellRect(int col, int row, int w, int h, QRect &r) const
{
    const QPoint home = target[col - 1][row - 1].home;
    r = QRect((home.x() - 1) * w, (home.y() - 1) * h, w, h);
}

void TileGrid::saveToStream(QIODevice &stream) const
{
    QByteArray image(ImageBytes, '\0');
    char *at = image.data();
    putInt(at, rows);
    putInt(at, cols);
    putInt(at, extraRow);
    putInt(at, extraCol);
    putArrangement(at, target);
    putArrangement(at, current);
    stream.write(image);
}

bool TileGrid::loadFromStream(QIODevice &stream)
{
    // Read the whole image first so that a short stream leaves this grid as it was.
    const QByteArray image = stream.read(ImageBytes);
    if (image.size() != ImageBytes)
        return false;
    const char *at = image.constData();
    rows = takeInt(at);
    cols = takeInt(at);
    extraRow = takeInt(at);
    extraCol = takeInt(at);
    takeArrangement(at, target);
    takeArrangement(at, current);
    return true;
}

bool TileGrid::isPlayable() const
{
    if (rows < 2 || rows > 4 || cols < 2 || cols > 4)
        return false;
    if ((extraRow != 0 && extraRow != 1) || (extraCol != 0 && extraCol != 1))
        return false;

    for (int c = 1; c <= totalCols(); ++c)
        for (int r = 1; r <= totalRows(); ++r) {
            const Tile &cell = target[c - 1][r - 1];
            if (c <= cols && r <= rows) {
                if (cell.number != (r - 1) * cols + c || cell.home != QPoint(c, r))
                    return false;
            } else if (cell.number != 0) {
                return false;
            }
        }

    // Every picture piece must appear exactly once, with the home it has in the solved layout; the rest of the
    // positions are then necessarily the empty cells.
    bool seen[MaxGrid * MaxGrid + 1] = {};
    for (int c = 1; c <= totalCols(); ++c)
        for (int r = 1; r <= totalRows(); ++r) {
            const Tile &cell = current[c - 1][r - 1];
            if (cell.number == 0)
                continue;
            if (cell.number < 1 || cell.number > rows * cols || seen[cell.number])
                return false;
            const int index = cell.number - 1;
            if (cell.home != QPoint(index % cols + 1, index / cols + 1))
                return false;
            seen[cell.number] = true;
        }
    for (int n = 1; n <= rows * cols; ++n)
        if (!seen[n])
            return false;
    return true;
}
