// The puzzle object: source picture, effect, grid, cell geometry, working bitmaps, rendering, tangling and moves.
#pragma once

#include "TileGrid.h"

#include <QImage>
#include <QString>
#include <functional>

enum class DragState : quint8 { Idle = 0, Caught = 1, Row = 2, Column = 3 };

enum class LoadResult {
    Loaded,
    NoFile, // nothing at the path: silently nothing
    TooNew, // Version holds the file's version, greater than 1
};

class Puzzle
{
public:
    // Display is the bitmap on screen and EmptyPicture the concealment texture; neither is owned.
    Puzzle(QImage *display, const QImage *emptyPicture);
    ~Puzzle() = default;
    Puzzle(const Puzzle &) = delete;
    Puzzle &operator=(const Puzzle &) = delete;

    qint32 version = 0;
    qint32 effect = 0;
    bool semiEffect = false;
    bool editMode = false;
    bool solved = false;
    bool modified = false;
    double scale = 1.0;
    TileGrid body;
    QString fileName;
    QString title;
    QImage source;
    QImage plain;
    QImage concealed;
    QImage *display;
    const QImage *emptyPicture;
    qint32 cellWidth = 0;
    qint32 cellHeight = 0;
    qint32 dragThreshold = 0;
    QPoint anchor;
    QPoint selected = NoCell;
    QImage cellBitmap;
    QImage rowStrip;
    QImage colStrip;
    DragState dragState = DragState::Idle;
    double fitScale = 0;
    // The panel the view will fit the puzzle into, when its owner knows it before a file is opened (empty
    // otherwise), and whether the view keeps it fitted: the first tangle after LoadFromFile then renders at the
    // scale the view is about to choose instead of at the picture's own size, which would cost three more
    // full-size bitmaps and their drawing only to be thrown away.
    QSize openPanel;
    bool openAutoFit = false;

    // Installed by the owner: lets the application process pending messages (end of RenderAll, the advice
    // wait). Empty in headless use.
    std::function<void()> processMessages;
    // Installed by the owner: the rectangle of Display that has just changed (for partial repaints).
    std::function<void(const QRect &)> displayChanged;
    // Installed by the owner: called after each shown step of a tangle, so that a window can pace it.
    std::function<void()> tangleStep;

    void setup(qint32 newEffect, int rows, int cols, bool newSemiEffect, bool emptyRow, bool emptyCol);
    void rebuild();
    void buildConcealed();
    void renderAll();
    void drawCell(QPoint p, bool advice);
    void redrawSelected() { drawCell(selected, false); }
    void setEffect(qint32 kind);
    void loadPicture(const QString &path);
    QPoint cellAt(int x, int y) const;
    QPoint cellCentre(QPoint p) const;
    QPoint selectedCentre() const { return cellCentre(selected); }

    // View and zoom.
    void updateFit(int panelWidth, int panelHeight, bool keepFitted);
    void zoomIn();
    void zoomOut();
    void actualSize();
    void bestFit();
    bool canZoomIn() const;
    bool canZoomOut() const;
    bool canActualSize() const;

    // Tangling.
    void tangle();

    // Moves.
    void hoverAt(int x, int y);
    void deselect();
    bool tryStartDrag(int x, int y);
    void captureStrip();
    void renderDrag(int x, int y);
    bool nearCellCentre(int x, int y) const;
    bool commit(int x, int y);
    void showAdvice(int x, int y);

    // Puzzle files and export; these three live in the files library. Saving tangles; an opened puzzle is
    // tangled by its owner, where the person can watch it.
    void saveToFile(const QString &path);
    LoadResult loadFromFile(const QString &path);
    void saveImageAs(const QString &path) const;

    // True for a position inside the grid as it is now, empty row and column included.
    bool inGrid(QPoint p) const;

private:
    // The texture for empty cells and the effects; the compiled-in one stands in when none was handed over.
    const QImage &texture() const;
    // Copies a rectangle between two working bitmaps row by row, clipped to both.
    static void copyBlock(const QImage &source, QRect sourceRect, QImage &target, QPoint targetPos);
    // The column (row) a pointer position falls in, wrapped around the grid as a dragged line wraps.
    int wrappedColumn(int x) const;
    int wrappedRow(int y) const;

    // The largest scale at which the whole grid fits a panel of that size.
    double fitScaleFor(int panelWidth, int panelHeight) const;
    // Gives Scale the value that UpdateFit would leave for OpenPanel, without rebuilding.
    void fitToOpenPanel();

    // Set while RenderAll redraws every cell, so that the cells do not report their own changes.
    bool m_renderingAll = false;
};
