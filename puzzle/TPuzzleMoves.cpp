// The puzzle object's play: tangling, hover and catch, the sliding line, committed moves and the advice flash.
#include "TPuzzle.h"

#include "TRandom.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>

void TPuzzle::Tangle()
{
    Solved = false;
    EditMode = false;
    Rebuild();
    Body.Reset();
    RenderAll();

    const int Cols = Body.TotalCols();
    const int Rows = Body.TotalRows();
    if (Cols < 2 || Rows < 2)
        return;

    // Entries 1..Cols are the columns, Cols + 1..N the rows. An empty line holds nothing but empty cells until
    // a line across it has moved, so it is not offered before then.
    const int N = Cols + Rows;
    bool Available[2 * MaxGrid + 1];
    std::fill(std::begin(Available), std::end(Available), true);
    Available[Cols] = Body.ExtraCol == 0;
    Available[N] = Body.ExtraRow == 0;

    TRandom &Random = Randomizer();
    Random.Randomize();
    for (int Step = 1; Step <= N - 1; ++Step) {
        int k;
        do
            k = Random.Below(N) + 1;
        while (!Available[k]);
        Available[k] = false;

        QPoint From, To;
        if (k <= Cols) {
            From = QPoint(k, 1);
            To = QPoint(k, Random.Below(Rows - 1) + 2);
            std::fill(Available + Cols + 1, Available + N + 1, true);
        } else {
            const int r = k - Cols;
            From = QPoint(1, r);
            To = QPoint(Random.Below(Cols - 1) + 2, r);
            std::fill(Available + 1, Available + Cols + 1, true);
        }
        Body.Shift(From, To);
        RenderAll();
        if (TangleStep)
            TangleStep();
    }
}

void TPuzzle::HoverAt(int X, int Y)
{
    QPoint P = CellAt(X, Y);
    if (!InGrid(P))
        P = NoCell;
    if (!IsNoCell(Selected) && Selected != P)
        Deselect();
    if (IsNoCell(Selected)) {
        Selected = P;
        DrawCell(P, false);
    }
    Anchor = CellCentre(Selected);
}

void TPuzzle::Deselect()
{
    const QPoint Old = Selected;
    Selected = NoCell;
    DrawCell(Old, false);
}

bool TPuzzle::TryStartDrag(int X, int Y)
{
    if (IsNoCell(Selected))
        return false;
    const int dx = std::abs(X - Anchor.x());
    const int dy = std::abs(Y - Anchor.y());
    if (std::max(dx, dy) < DragThreshold)
        return false;
    DragState = dx >= dy ? TDragState::Row : TDragState::Column;
    CaptureStrip();
    return true;
}

void TPuzzle::CaptureStrip()
{
    if (DragState == TDragState::Row)
        CopyBlock(*Display, QRect(0, (Selected.y() - 1) * CellHeight, RowStrip.width(), RowStrip.height()), RowStrip,
                  QPoint(0, 0));
    else if (DragState == TDragState::Column)
        CopyBlock(*Display, QRect((Selected.x() - 1) * CellWidth, 0, ColStrip.width(), ColStrip.height()), ColStrip,
                  QPoint(0, 0));
}

void TPuzzle::RenderDrag(int X, int Y)
{
    // Called for every pointer move of a drag: two row copies per scan line, nothing allocated.
    if (DragState == TDragState::Row) {
        const int W = std::min(RowStrip.width(), Display->width());
        const int Top = (Selected.y() - 1) * CellHeight;
        const int Lines = std::min(RowStrip.height(), Display->height() - Top);
        if (W <= 0 || Top < 0 || Lines <= 0)
            return;
        const int Off = ((X - Anchor.x()) % W + W) % W;
        const size_t Tail = size_t(Off) * 3;
        const size_t Head = size_t(W - Off) * 3;
        for (int y = 0; y < Lines; ++y) {
            const uchar *From = RowStrip.constScanLine(y);
            uchar *To = Display->scanLine(Top + y);
            std::memcpy(To, From + Head, Tail);
            std::memcpy(To + Tail, From, Head);
        }
        if (DisplayChanged)
            DisplayChanged(QRect(0, Top, W, Lines));
    } else if (DragState == TDragState::Column) {
        const int H = std::min(ColStrip.height(), Display->height());
        const int Left = (Selected.x() - 1) * CellWidth;
        const int Wide = std::min(ColStrip.width(), Display->width() - Left);
        if (H <= 0 || Left < 0 || Wide <= 0)
            return;
        const int Off = ((Y - Anchor.y()) % H + H) % H;
        const size_t Bytes = size_t(Wide) * 3;
        for (int y = 0; y < H; ++y) {
            const int StripRow = y >= Off ? y - Off : y - Off + H;
            std::memcpy(Display->scanLine(y) + size_t(Left) * 3, ColStrip.constScanLine(StripRow), Bytes);
        }
        if (DisplayChanged)
            DisplayChanged(QRect(Left, 0, Wide, H));
    }
}

bool TPuzzle::NearCellCentre(int X, int Y) const
{
    if (CellWidth <= 0 || CellHeight <= 0)
        return false;
    const int dx = std::abs(X % CellWidth - CellWidth / 2);
    const int dy = std::abs(Y % CellHeight - CellHeight / 2);
    return std::max(dx, dy) < DragThreshold;
}

int TPuzzle::WrappedColumn(int X) const
{
    const int W = Body.TotalCols() * CellWidth;
    return W > 0 ? ((X % W + W) % W) / CellWidth + 1 : 0;
}

int TPuzzle::WrappedRow(int Y) const
{
    const int H = Body.TotalRows() * CellHeight;
    return H > 0 ? ((Y % H + H) % H) / CellHeight + 1 : 0;
}

bool TPuzzle::Commit(int X, int Y)
{
    // A dragged line is read along its own direction only, wrapped as it is drawn: a pointer that is not held
    // on the line (no confinement) or that ends past the picture's edge still lands on the cell the player
    // sees there, and never on a position outside the grid.
    QPoint T = CellAt(X, Y);
    if (!IsNoCell(Selected)) {
        if (DragState == TDragState::Row)
            T = QPoint(WrappedColumn(X), Selected.y());
        else if (DragState == TDragState::Column)
            T = QPoint(Selected.x(), WrappedRow(Y));
    }
    if (!InGrid(T))
        T = Selected;

    Body.Shift(Selected, T);
    const QPoint C = CellCentre(T);
    RenderDrag(C.x(), C.y());
    Selected = T;
    Anchor = CellCentre(T);
    Solved = !EditMode && Body.IsSolved();
    return Solved;
}

void TPuzzle::ShowAdvice(int X, int Y)
{
    const QPoint P = CellAt(X, Y);
    if (!InGrid(P))
        return;
    QPoint Home = NoCell;
    Body.FindHome(P, Home);
    DrawCell(Home, true);

    using namespace std::chrono;
    const auto End = steady_clock::now() + milliseconds(200);
    for (auto Now = steady_clock::now(); Now < End; Now = steady_clock::now()) {
        if (ProcessMessages) {
            ProcessMessages();
            // Messages are handled in short slices so that the wait does not spin the processor.
            std::this_thread::sleep_for(std::min<steady_clock::duration>(End - steady_clock::now(), milliseconds(5)));
        } else {
            std::this_thread::sleep_for(End - Now);
        }
    }
    RenderAll();
}
