// The puzzle object: source picture, effect, grid, cell geometry, working bitmaps, rendering, tangling and moves.
#pragma once

#include "TBody.h"

#include <QImage>
#include <QString>
#include <functional>

enum class TDragState : quint8 { Idle = 0, Caught = 1, Row = 2, Column = 3 };

enum class TLoadResult {
    Loaded,
    NoFile, // nothing at the path: silently nothing
    TooNew, // Version holds the file's version, greater than 1
};

class TPuzzle
{
public:
    // Display is the bitmap on screen and EmptyPicture the concealment texture; neither is owned.
    TPuzzle(QImage *Display, const QImage *EmptyPicture);
    ~TPuzzle() = default;
    TPuzzle(const TPuzzle &) = delete;
    TPuzzle &operator=(const TPuzzle &) = delete;

    qint32 Version = 0;
    qint32 Effect = 0;
    bool SemiEffect = false;
    bool EditMode = false;
    bool Solved = false;
    bool Modified = false;
    double Scale = 1.0;
    TBody Body;
    QString FileName;
    QString Title;
    QImage Source;
    QImage Plain;
    QImage Concealed;
    QImage *Display;
    const QImage *EmptyPicture;
    qint32 CellWidth = 0;
    qint32 CellHeight = 0;
    qint32 DragThreshold = 0;
    QPoint Anchor;
    QPoint Selected = NoCell;
    QImage CellBitmap;
    QImage RowStrip;
    QImage ColStrip;
    TDragState DragState = TDragState::Idle;
    double FitScale = 0;
    // The panel the view will fit the puzzle into, when its owner knows it before a file is opened (empty
    // otherwise), and whether the view keeps it fitted: the first tangle after LoadFromFile then renders at the
    // scale the view is about to choose instead of at the picture's own size, which would cost three more
    // full-size bitmaps and their drawing only to be thrown away.
    QSize OpenPanel;
    bool OpenAutoFit = false;

    // Installed by the owner: lets the application process pending messages (end of RenderAll, the advice
    // wait). Empty in headless use.
    std::function<void()> ProcessMessages;
    // Installed by the owner: the rectangle of Display that has just changed (for partial repaints).
    std::function<void(const QRect &)> DisplayChanged;
    // Installed by the owner: called after each shown step of a tangle, so that a window can pace it.
    std::function<void()> TangleStep;

    void Setup(qint32 NewEffect, int Rows, int Cols, bool NewSemiEffect, bool EmptyRow, bool EmptyCol);
    void Rebuild();
    void BuildConcealed();
    void RenderAll();
    void DrawCell(QPoint P, bool Advice);
    void RedrawSelected() { DrawCell(Selected, false); }
    void SetEffect(qint32 Kind);
    void LoadPicture(const QString &Path);
    QPoint CellAt(int X, int Y) const;
    QPoint CellCentre(QPoint P) const;
    QPoint SelectedCentre() const { return CellCentre(Selected); }

    // View and zoom.
    void UpdateFit(int PanelWidth, int PanelHeight, bool Auto);
    void ZoomIn();
    void ZoomOut();
    void ActualSize();
    void BestFit();
    bool CanZoomIn() const;
    bool CanZoomOut() const;
    bool CanActualSize() const;

    // Tangling.
    void Tangle();

    // Moves.
    void HoverAt(int X, int Y);
    void Deselect();
    bool TryStartDrag(int X, int Y);
    void CaptureStrip();
    void RenderDrag(int X, int Y);
    bool NearCellCentre(int X, int Y) const;
    bool Commit(int X, int Y);
    void ShowAdvice(int X, int Y);

    // Puzzle files and export; these three live in the files library. Saving tangles; an opened puzzle is
    // tangled by its owner, where the person can watch it.
    void SaveToFile(const QString &Path);
    TLoadResult LoadFromFile(const QString &Path);
    void SaveImageAs(const QString &Path) const;

    // True for a position inside the grid as it is now, empty row and column included.
    bool InGrid(QPoint P) const;

private:
    // The texture for empty cells and the effects; the compiled-in one stands in when none was handed over.
    const QImage &Texture() const;
    // Copies a rectangle between two working bitmaps row by row, clipped to both.
    static void CopyBlock(const QImage &Source, QRect SourceRect, QImage &Target, QPoint TargetPos);
    // The column (row) a pointer position falls in, wrapped around the grid as a dragged line wraps.
    int WrappedColumn(int X) const;
    int WrappedRow(int Y) const;

    // The largest scale at which the whole grid fits a panel of that size.
    double FitScaleFor(int PanelWidth, int PanelHeight) const;
    // Gives Scale the value that UpdateFit would leave for OpenPanel, without rebuilding.
    void FitToOpenPanel();

    // Set while RenderAll redraws every cell, so that the cells do not report their own changes.
    bool FRenderingAll = false;
};
