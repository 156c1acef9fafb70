// The puzzle object: set-up, cell geometry, the working bitmaps, cell-by-cell rendering and the zoom.
#include "TPuzzle.h"

#include "Effects.h"
#include "PictureLoader.h"
#include "TextStamp.h"
#include "WorkingBitmap.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Cell sizes are rounded half to even in extended precision; a cell is never narrower than one pixel, whatever
// the scale or the picture, so that every division by the cell size stays defined.
qint32 RoundCellSize(long double Size)
{
    constexpr long double Largest = 1 << 20;
    if (!(Size >= 1.0L)) // also catches NaN
        return 1;
    return qint32(std::nearbyintl(std::min(Size, Largest)));
}

} // namespace

TPuzzle::TPuzzle(QImage *Display, const QImage *EmptyPicture) : Display(Display), EmptyPicture(EmptyPicture)
{
}

void TPuzzle::Setup(qint32 NewEffect, int Rows, int Cols, bool NewSemiEffect, bool EmptyRow, bool EmptyCol)
{
    Selected = NoCell;
    Version = 1;
    Effect = NewEffect;
    SemiEffect = NewSemiEffect;
    Body.Init(Rows, Cols, EmptyRow, EmptyCol);
    EditMode = true;
    Solved = false;
    Modified = true;
    Rebuild();
}

void TPuzzle::Rebuild()
{
    const long double Wide = Body.Cols > 0 ? (long double)Source.width() * Scale / Body.Cols : 0;
    const long double High = Body.Rows > 0 ? (long double)Source.height() * Scale / Body.Rows : 0;
    CellWidth = RoundCellSize(Wide);
    CellHeight = RoundCellSize(High);
    DragThreshold = qint32(std::nearbyintl(0.15L * std::min(CellWidth, CellHeight)));

    CellBitmap = CreateWorkingBitmap(CellWidth, CellHeight);
    Plain = CreateWorkingBitmap(std::max(Body.Cols, 0) * CellWidth, std::max(Body.Rows, 0) * CellHeight);
    if (!Source.isNull() && !Plain.isNull())
        StretchDraw(Source, Plain);
    Concealed = CreateWorkingBitmap(Plain.width(), Plain.height());
    BuildConcealed();

    // The display belongs to the window; it is replaced only when its size changes, so that a rebuild at the
    // same zoom (a tangle) keeps the same pixel memory.
    const QSize DisplaySize(Body.TotalCols() * CellWidth, Body.TotalRows() * CellHeight);
    if (Display->size() != DisplaySize || Display->format() != WorkingFormat)
        *Display = CreateWorkingBitmap(DisplaySize.width(), DisplaySize.height());
    if (RowStrip.size() != QSize(Display->width(), CellHeight) || RowStrip.format() != WorkingFormat)
        RowStrip = CreateWorkingBitmap(Display->width(), CellHeight);
    if (ColStrip.size() != QSize(CellWidth, Display->height()) || ColStrip.format() != WorkingFormat)
        ColStrip = CreateWorkingBitmap(CellWidth, Display->height());

    RenderAll();
}

void TPuzzle::BuildConcealed()
{
    if (Concealed.size() != Plain.size() || Concealed.format() != WorkingFormat)
        Concealed = CreateWorkingBitmap(Plain.width(), Plain.height());
    for (int c = 1; c <= Body.Cols; ++c)
        for (int r = 1; r <= Body.Rows; ++r) {
            QRect R;
            Body.TargetCellRect(c, r, CellWidth, CellHeight, R);
            CopyBlock(Plain, R, CellBitmap, QPoint(0, 0));
            ApplyEffect(CellBitmap, Effect, Body.TargetNumber(c, r), Texture());
            if (CellBitmap.format() != WorkingFormat)
                CellBitmap.convertTo(WorkingFormat);
            CopyBlock(CellBitmap, CellBitmap.rect(), Concealed, R.topLeft());
        }
}

void TPuzzle::RenderAll()
{
    FRenderingAll = true;
    for (int c = 1; c <= Body.TotalCols(); ++c)
        for (int r = 1; r <= Body.TotalRows(); ++r)
            DrawCell(QPoint(c, r), false);
    FRenderingAll = false;
    if (EditMode && !Display->isNull())
        StampTwoLines(*Display, QStringLiteral("Edit"), QStringLiteral("Mode"));
    if (DisplayChanged)
        DisplayChanged(Display->rect());
    if (ProcessMessages)
        ProcessMessages();
}

void TPuzzle::DrawCell(QPoint P, bool Advice)
{
    if (IsNoCell(P) || !InGrid(P) || CellBitmap.isNull())
        return;

    // The cell is drawn straight into its place on the display (a view of those pixels), which saves copying
    // every cell twice; the scratch bitmap serves only a display that does not hold the whole cell.
    const QPoint At((P.x() - 1) * CellWidth, (P.y() - 1) * CellHeight);
    const QRect Place(At, CellBitmap.size());
    const bool Direct = Display->format() == WorkingFormat && Display->rect().contains(Place);
    QImage View;
    if (Direct)
        View = QImage(Display->scanLine(At.y()) + qsizetype(At.x()) * 3, Place.width(), Place.height(),
                      Display->bytesPerLine(), WorkingFormat);
    QImage &Cell = Direct ? View : CellBitmap;

    if (Body.IsEmpty(P.x(), P.y())) {
        TilePicture(Cell, Texture());
    } else {
        const bool ShowPlain = !EditMode && (Solved || (SemiEffect && P == Selected));
        QRect R;
        Body.CurrentCellRect(P.x(), P.y(), CellWidth, CellHeight, R);
        CopyBlock(ShowPlain ? Plain : Concealed, R, Cell, QPoint(0, 0));
    }

    int Frame = 0;
    if (Advice)
        Frame = 8;
    else if (P == Selected && DragState == TDragState::Caught)
        Frame = 4;
    else if (P == Selected)
        Frame = 2;
    else if (!Solved)
        Frame = 1;
    if (Frame > 0)
        DrawCellFrame(Cell, Frame);

    if (!Direct)
        CopyBlock(CellBitmap, CellBitmap.rect(), *Display, At);
    if (DisplayChanged && !FRenderingAll)
        DisplayChanged(Place);
}

void TPuzzle::SetEffect(qint32 Kind)
{
    Effect = Kind;
    BuildConcealed();
    RenderAll();
}

void TPuzzle::LoadPicture(const QString &Path)
{
    const QString Name = QFileInfo(Path).fileName();
    const qsizetype Dot = Name.lastIndexOf(QLatin1Char('.'));
    Title = Dot < 0 ? QString() : Name.left(Dot);
    LoadPictureFile(Source, Path);
}

QPoint TPuzzle::CellAt(int X, int Y) const
{
    if (CellWidth <= 0 || CellHeight <= 0)
        return NoCell;
    if (X < 0)
        X -= CellWidth;
    if (Y < 0)
        Y -= CellHeight;
    return QPoint(X / CellWidth + 1, Y / CellHeight + 1);
}

QPoint TPuzzle::CellCentre(QPoint P) const
{
    return QPoint((P.x() - 1) * CellWidth + CellWidth / 2, (P.y() - 1) * CellHeight + CellHeight / 2);
}

bool TPuzzle::InGrid(QPoint P) const
{
    return P.x() >= 1 && P.x() <= Body.TotalCols() && P.y() >= 1 && P.y() <= Body.TotalRows()
        && Body.TotalCols() <= MaxGrid && Body.TotalRows() <= MaxGrid;
}

double TPuzzle::FitScaleFor(int PanelWidth, int PanelHeight) const
{
    const long double FitX = (long double)((PanelWidth / Body.TotalCols()) * Body.Cols) / Source.width();
    const long double FitY = (long double)((PanelHeight / Body.TotalRows()) * Body.Rows) / Source.height();
    return double(std::max(std::min(FitX, FitY), 0.0L));
}

void TPuzzle::UpdateFit(int PanelWidth, int PanelHeight, bool Auto)
{
    if (Source.isNull() || Body.TotalCols() <= 0 || Body.TotalRows() <= 0) {
        FitScale = 0;
        return;
    }
    FitScale = FitScaleFor(PanelWidth, PanelHeight);
    if (Auto) {
        if (std::fabs(Scale - FitScale) > 0.00001)
            BestFit();
    } else if (Scale > FitScale * 1.00001) {
        BestFit();
    }
}

void TPuzzle::FitToOpenPanel()
{
    // The same guard as the window's: a panel with less than a pixel per cell gives no usable scale.
    if (Source.isNull() || Body.TotalCols() <= 0 || Body.TotalRows() <= 0
        || OpenPanel.width() < Body.TotalCols() || OpenPanel.height() < Body.TotalRows())
        return;
    const double Fit = FitScaleFor(OpenPanel.width(), OpenPanel.height());
    if (!(Fit > 0))
        return;
    if (OpenAutoFit ? std::fabs(Scale - Fit) > 0.00001 : Scale > Fit * 1.00001)
        Scale = Fit;
}

void TPuzzle::ZoomIn()
{
    if (Scale * 1.1 < FitScale)
        Scale = Scale * 1.1;
    else
        Scale = FitScale;
    Rebuild();
}

void TPuzzle::ZoomOut()
{
    Scale = Scale / 1.1;
    Rebuild();
}

void TPuzzle::ActualSize()
{
    Scale = 1.0;
    Rebuild();
}

void TPuzzle::BestFit()
{
    Scale = FitScale;
    Rebuild();
}

bool TPuzzle::CanZoomIn() const
{
    return FitScale * 0.99999 > Scale;
}

bool TPuzzle::CanZoomOut() const
{
    return std::max(Plain.width(), Plain.height()) > 256;
}

bool TPuzzle::CanActualSize() const
{
    return FitScale > 0.99999 && std::fabs(Scale - 1.0) > 0.00001;
}

const QImage &TPuzzle::Texture() const
{
    if (EmptyPicture && EmptyPicture->width() > 0 && EmptyPicture->height() > 0)
        return *EmptyPicture;
    return ConcealmentTexture();
}

void TPuzzle::CopyBlock(const QImage &Source, QRect SourceRect, QImage &Target, QPoint TargetPos)
{
    // Clip against both bitmaps, moving the target position along with the source corner.
    const QRect Clipped = SourceRect & Source.rect();
    TargetPos += Clipped.topLeft() - SourceRect.topLeft();
    QRect Dest = QRect(TargetPos, Clipped.size()) & Target.rect();
    if (Dest.isEmpty())
        return;
    const QPoint From = Clipped.topLeft() + (Dest.topLeft() - TargetPos);
    const int Bytes = Source.depth() / 8;
    const size_t RowBytes = size_t(Dest.width()) * Bytes;
    for (int y = 0; y < Dest.height(); ++y)
        std::memcpy(Target.scanLine(Dest.top() + y) + qsizetype(Dest.left()) * Bytes,
                    Source.constScanLine(From.y() + y) + qsizetype(From.x()) * Bytes, RowBytes);
}
