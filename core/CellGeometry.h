// SPDX-License-Identifier: GPL-3.0-or-later
// Where the cells lie on the picture as shown: their size at the view's scale, the fit to a panel and the zoom.
#pragma once

#include "CellPos.h"
#include "PicturePoint.h"

namespace quorra {

class TileGrid;

class CellGeometry
{
public:
    // Grid is the arrangement whose lines the cells divide the picture into; it must outlive the geometry.
    explicit CellGeometry(const TileGrid &grid) : m_grid(grid) {}

    // Cell sizes are rounded half to even in x87 extended precision, whatever long double is where this runs; a
    // cell is never narrower than one pixel, so every division by a cell size stays defined.
    static int roundCellSize(long double size);

    // The whole picture's size, from which every size is computed; Present is false while there is none.
    void setPicture(PixelSize size, bool present)
    {
        m_picture = size;
        m_hasPicture = present;
    }

    // The cells at the scale, as the next placeCells would take them.
    PixelSize cellSizeAtScale() const;
    // The picture without its empty row and column, drawn in cells of Cell.
    PixelSize plainSize(PixelSize cell) const;
    // Takes Cell as the size of the cells shown from now on.
    void placeCells(PixelSize cell);
    int cellWidth() const { return m_cell.width; }
    int cellHeight() const { return m_cell.height; }
    // How far a caught cell must be pulled before its line moves, and how near a cell centre a line snaps.
    int dragThreshold() const { return m_dragThreshold; }

    CellPos cellAt(PicturePoint p) const;
    PicturePoint cellCentre(CellPos p) const;
    // True for a position inside the grid as it is now, empty row and column included.
    bool inGrid(CellPos p) const;
    // The column (row) a position falls in, wrapped around the grid as a dragged line wraps.
    int wrappedColumn(int x) const;
    int wrappedRow(int y) const;
    bool nearCellCentre(PicturePoint p) const;

    double scale() const { return m_scale; }
    double fitScale() const { return m_fitScale; }
    // Every change of the scale goes through here, which keeps it positive.
    void setScale(double scale);
    // The largest scale at which the whole grid fits a panel of that size, in whole cells.
    double fitScaleFor(PixelSize panel) const;
    // Follows a panel of that size; true when the scale changed to the fit (KeepFitted holds it there, otherwise
    // only a scale the panel no longer holds is brought down).
    bool updateFit(PixelSize panel, bool keepFitted);
    // The scale updateFit would leave for a panel the puzzle is about to be shown in; true when it changed.
    bool fitToPanel(PixelSize panel, bool autoFit);

    void zoomIn();
    void zoomOut();
    void actualSize() { setScale(1.0); }
    void bestFit() { setScale(m_fitScale); }
    bool canZoomIn() const;
    bool canZoomOut() const;
    bool canActualSize() const;

private:
    friend class PuzzleProbe; // the desktop tests' one look inside, as the puzzle's

    bool hasGrid() const;

    const TileGrid &m_grid;
    PixelSize m_picture;
    bool m_hasPicture = false;
    double m_scale = 1.0;
    double m_fitScale = 0;
    PixelSize m_cell;
    PixelSize m_plain;
    int m_dragThreshold = 0;
};

} // namespace quorra
