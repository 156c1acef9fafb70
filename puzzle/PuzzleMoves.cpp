// The puzzle object's play: tangling, hover and catch, the sliding line, committed moves and the advice flash.
#include "Puzzle.h"

#include "Lcg.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

void Puzzle::tangle()
{
    solved = false;
    editMode = false;
    rebuild();
    body.reset();
    renderAll();

    const int cols = body.totalCols();
    const int rows = body.totalRows();
    if (cols < 2 || rows < 2)
        return;

    // Entries 1..Cols are the columns, Cols + 1..N the rows. An empty line holds nothing but empty cells until
    // a line across it has moved, so it is not offered before then.
    const int n = cols + rows;
    bool available[2 * MaxGrid + 1];
    std::fill(std::begin(available), std::end(available), true);
    available[cols] = body.extraCol == 0;
    available[n] = body.extraRow == 0;

    Lcg &random = randomizer();
    random.randomize();
    for (int step = 1; step <= n - 1; ++step) {
        int k;
        do
            k = random.below(n) + 1;
        while (!available[k]);
        available[k] = false;

        QPoint from, to;
        if (k <= cols) {
            from = QPoint(k, 1);
            to = QPoint(k, random.below(rows - 1) + 2);
            std::fill(available + cols + 1, available + n + 1, true);
        } else {
            const int r = k - cols;
            from = QPoint(1, r);
            to = QPoint(random.below(cols - 1) + 2, r);
            std::fill(available + 1, available + cols + 1, true);
        }
        body.shift(from, to);
        renderAll();
        if (tangleStep)
            tangleStep();
    }
}

void Puzzle::hoverAt(int x, int y)
{
    QPoint p = cellAt(x, y);
    if (!inGrid(p))
        p = NoCell;
    if (!isNoCell(selected) && selected != p)
        deselect();
    if (isNoCell(selected)) {
        selected = p;
        drawCell(p, false);
    }
    anchor = cellCentre(selected);
}

void Puzzle::deselect()
{
    const QPoint old = selected;
    selected = NoCell;
    drawCell(old, false);
}

bool Puzzle::tryStartDrag(int x, int y)
{
    if (isNoCell(selected))
        return false;
    const int dx = std::abs(x - anchor.x());
    const int dy = std::abs(y - anchor.y());
    if (std::max(dx, dy) < dragThreshold)
        return false;
    dragState = dx >= dy ? DragState::Row : DragState::Column;
    captureStrip();
    return true;
}

void Puzzle::captureStrip()
{
    if (dragState == DragState::Row)
        copyBlock(*display, QRect(0, (selected.y() - 1) * cellHeight, rowStrip.width(), rowStrip.height()), rowStrip,
                  QPoint(0, 0));
    else if (dragState == DragState::Column)
        copyBlock(*display, QRect((selected.x() - 1) * cellWidth, 0, colStrip.width(), colStrip.height()), colStrip,
                  QPoint(0, 0));
}

void Puzzle::renderDrag(int x, int y)
{
    // Called for every pointer move of a drag: two row copies per scan line, nothing allocated.
    if (dragState == DragState::Row) {
        const int w = std::min(rowStrip.width(), display->width());
        const int top = (selected.y() - 1) * cellHeight;
        const int lines = std::min(rowStrip.height(), display->height() - top);
        if (w <= 0 || top < 0 || lines <= 0)
            return;
        const int off = ((x - anchor.x()) % w + w) % w;
        const size_t tail = size_t(off) * 3;
        const size_t head = size_t(w - off) * 3;
        for (int line = 0; line < lines; ++line) {
            const uchar *from = rowStrip.constScanLine(line);
            uchar *to = display->scanLine(top + line);
            std::memcpy(to, from + head, tail);
            std::memcpy(to + tail, from, head);
        }
        if (displayChanged)
            displayChanged(QRect(0, top, w, lines));
    } else if (dragState == DragState::Column) {
        const int h = std::min(colStrip.height(), display->height());
        const int left = (selected.x() - 1) * cellWidth;
        const int wide = std::min(colStrip.width(), display->width() - left);
        if (h <= 0 || left < 0 || wide <= 0)
            return;
        const int off = ((y - anchor.y()) % h + h) % h;
        const size_t bytes = size_t(wide) * 3;
        for (int line = 0; line < h; ++line) {
            const int stripRow = line >= off ? line - off : line - off + h;
            std::memcpy(display->scanLine(line) + size_t(left) * 3, colStrip.constScanLine(stripRow), bytes);
        }
        if (displayChanged)
            displayChanged(QRect(left, 0, wide, h));
    }
}

bool Puzzle::nearCellCentre(int x, int y) const
{
    if (cellWidth <= 0 || cellHeight <= 0)
        return false;
    const int dx = std::abs(x % cellWidth - cellWidth / 2);
    const int dy = std::abs(y % cellHeight - cellHeight / 2);
    return std::max(dx, dy) < dragThreshold;
}

int Puzzle::wrappedColumn(int x) const
{
    const int w = body.totalCols() * cellWidth;
    return w > 0 ? ((x % w + w) % w) / cellWidth + 1 : 0;
}

int Puzzle::wrappedRow(int y) const
{
    const int h = body.totalRows() * cellHeight;
    return h > 0 ? ((y % h + h) % h) / cellHeight + 1 : 0;
}

bool Puzzle::commit(int x, int y)
{
    // A dragged line is read along its own direction only, wrapped as it is drawn: a pointer that is not held
    // on the line (no confinement) or that ends past the picture's edge still lands on the cell the player
    // sees there, and never on a position outside the grid.
    QPoint t = cellAt(x, y);
    if (!isNoCell(selected)) {
        if (dragState == DragState::Row)
            t = QPoint(wrappedColumn(x), selected.y());
        else if (dragState == DragState::Column)
            t = QPoint(selected.x(), wrappedRow(y));
    }
    if (!inGrid(t))
        t = selected;

    body.shift(selected, t);
    const QPoint c = cellCentre(t);
    renderDrag(c.x(), c.y());
    selected = t;
    anchor = cellCentre(t);
    solved = !editMode && body.isSolved();
    return solved;
}

void Puzzle::showAdvice(int x, int y)
{
    const QPoint p = cellAt(x, y);
    if (!inGrid(p))
        return;
    QPoint home = NoCell;
    body.findHome(p, home);
    drawCell(home, true);

    using namespace std::chrono;
    const auto end = steady_clock::now() + milliseconds(200);
    for (auto now = steady_clock::now(); now < end; now = steady_clock::now()) {
        if (processMessages) {
            processMessages();
            // Messages are handled in short slices so that the wait does not spin the processor.
            std::this_thread::sleep_for(std::min<steady_clock::duration>(end - steady_clock::now(), milliseconds(5)));
        } else {
            std::this_thread::sleep_for(end - now);
        }
    }
    renderAll();
}
