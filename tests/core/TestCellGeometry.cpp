// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the cell geometry: cell sizes as the desktop rounds them, positions on the grid, the fit and the zoom.
#include "core/CellGeometry.h"
#include "core/TileGrid.h"

#include <doctest/doctest.h>

#include <limits>

using namespace quorra;

namespace {

struct Shown {
    TileGrid grid;
    CellGeometry geometry{grid};

    Shown(PixelSize picture, int rows, int columns, bool emptyRow, bool emptyColumn, double scale)
    {
        grid.init(rows, columns, emptyRow, emptyColumn);
        geometry.setPicture(picture, true);
        geometry.setScale(scale);
        geometry.placeCells(geometry.cellSizeAtScale());
    }
};

} // namespace

TEST_CASE("cell sizes and the drag threshold round as on the desktop")
{
    struct Row {
        const char *name;
        PixelSize picture;
        int rows, columns;
        double scale;
        int cellWidth, cellHeight, threshold;
        bool canZoomOut;
    };
    const Row rows[] = {
        {"whole cells", {400, 300}, 3, 4, 1.0, 100, 100, 15, true},
        {"halves round to even", {250, 21}, 2, 4, 1.0, 62, 10, 2, false},
        {"halves round to even, upwards", {300, 47}, 2, 4, 1.0, 75, 24, 4, true},
        {"no cell below one pixel", {400, 300}, 3, 4, std::numeric_limits<double>::min(), 1, 1, 0, false},
        {"no cell beyond 2^20 pixels", {400, 300}, 3, 4, 1e9, 1 << 20, 1 << 20, 157286, true},
        // Computed in a long double wider than x87's, these cells would be 359 wide and the threshold 28.
        {"the product rounded to 64 bits first", {2159, 2159}, 3, 3, 0.4981472904122279, 358, 358, 54, true},
        {"a threshold on a half goes the x87's way", {760, 570}, 3, 4, 1.0, 190, 190, 29, true},
        {"the threshold follows the narrower side", {760, 60}, 2, 4, 1.0, 190, 30, 4, true},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        const Shown shown(row.picture, row.rows, row.columns, false, true, row.scale);
        CHECK(shown.geometry.cellWidth() == row.cellWidth);
        CHECK(shown.geometry.cellHeight() == row.cellHeight);
        CHECK(shown.geometry.dragThreshold() == row.threshold);
        CHECK(shown.geometry.canZoomOut() == row.canZoomOut);
    }
}

TEST_CASE("pointer positions fall in cells, wrap along lines and snap near centres")
{
    // Four columns and an empty fifth, three rows, cells of 100 pixels and a threshold of 15.
    const Shown shown({400, 300}, 3, 4, false, true, 1.0);
    struct Row {
        const char *name;
        PicturePoint at;
        CellPos cell;
        bool inGrid;
        int wrappedColumn, wrappedRow;
        bool nearCentre;
    };
    const Row rows[] = {
        {"the first pixel", {0, 0}, CellPos(1, 1), true, 1, 1, false},
        {"left of the picture is no column of it", {-1, 50}, CellPos(0, 1), false, 5, 1, false},
        {"above the picture is no row of it", {50, -50}, CellPos(1, 0), false, 1, 3, false},
        {"the empty column is in the grid", {499, 299}, CellPos(5, 3), true, 5, 3, false},
        {"past the empty column", {500, 0}, CellPos(6, 1), false, 1, 1, false},
        {"a centre", {250, 150}, CellPos(3, 2), true, 3, 2, true},
        {"just inside the threshold", {264, 136}, CellPos(3, 2), true, 3, 2, true},
        {"on the threshold", {265, 150}, CellPos(3, 2), true, 3, 2, false},
        {"wrapped round, a line reads its cell but snaps only on the picture",
         {-250, 750},
         CellPos(-2, 8),
         false,
         3,
         2,
         false},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        CHECK(shown.geometry.cellAt(row.at) == row.cell);
        CHECK(shown.geometry.inGrid(row.cell) == row.inGrid);
        CHECK(shown.geometry.wrappedColumn(row.at.x) == row.wrappedColumn);
        CHECK(shown.geometry.wrappedRow(row.at.y) == row.wrappedRow);
        CHECK(shown.geometry.nearCellCentre(row.at) == row.nearCentre);
    }
    // An odd cell's centre lies on its left (upper) middle pixel.
    const Shown odd({28, 10}, 2, 4, false, false, 1.0);
    CHECK(odd.geometry.cellCentre(CellPos(2, 2)) == PicturePoint{10, 7});
}

TEST_CASE("the fit takes whole cells and the zoom keeps within it")
{
    constexpr double Smallest = std::numeric_limits<double>::min();
    struct Row {
        const char *name;
        PixelSize picture;
        int columns;
        bool present;
        PixelSize panel;
        bool keepFitted;
        double scaleBefore;
        double fitScale, scale;
        bool refitted, canZoomIn, canActualSize;
    };
    // Four columns and an empty fifth, three rows.
    const Row rows[] = {
        {"whole cells of the panel's share", {400, 300}, 4, true, {1000, 1000}, true, 1.0, 2.0, 2.0, true, false, true},
        {"a scale inside the fit stays", {400, 300}, 4, true, {1000, 1000}, false, 1.0, 2.0, 1.0, false, true, false},
        {"a scale past the fit comes down", {400, 300}, 4, true, {1000, 1000}, false, 3.0, 2.0, 2.0, true, false, true},
        {"a panel with no pixel per cell",
         {400, 300},
         4,
         true,
         {4, 1000},
         true,
         1.0,
         0.0,
         Smallest,
         true,
         false,
         false},
        {"no picture, no fit", {400, 300}, 4, false, {1000, 1000}, true, 1.5, 0.0, 1.5, false, false, false},
        // The quotient rounded to 64 bits and then to a double, as the desktop always has.
        {"the desktop's double rounding",
         {2071, 100},
         2,
         true,
         {1797, 1000},
         true,
         1.0,
         0x1.282c800fd282cp-1,
         0x1.282c800fd282cp-1,
         true,
         false,
         false},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        TileGrid grid;
        grid.init(3, row.columns, false, true);
        CellGeometry geometry(grid);
        geometry.setPicture(row.picture, row.present);
        geometry.setScale(row.scaleBefore);
        CHECK(geometry.updateFit(row.panel, row.keepFitted) == row.refitted);
        CHECK(geometry.fitScale() == row.fitScale);
        CHECK(geometry.scale() == row.scale);
        CHECK(geometry.canZoomIn() == row.canZoomIn);
        CHECK(geometry.canActualSize() == row.canActualSize);
    }
}

TEST_CASE("zoom steps stop at the fit and never reach zero")
{
    TileGrid grid;
    grid.init(3, 4, false, false);
    CellGeometry geometry(grid);
    geometry.setPicture({400, 300}, true);
    geometry.updateFit({420, 420}, false); // fits at 1.05
    CHECK(geometry.fitScale() == 1.05);

    geometry.setScale(0.5);
    geometry.zoomIn();
    CHECK(geometry.scale() == 0.5 * 1.1);
    geometry.setScale(1.0);
    geometry.zoomIn();
    CHECK(geometry.scale() == 1.05);
    geometry.zoomOut();
    CHECK(geometry.scale() == 1.05 / 1.1);
    geometry.actualSize();
    CHECK(geometry.scale() == 1.0);
    geometry.setScale(-2.0);
    CHECK(geometry.scale() == std::numeric_limits<double>::min());

    // A panel too small for the grid leaves the scale a first showing would have had.
    geometry.setScale(3.0);
    CHECK_FALSE(geometry.fitToPanel({3, 3}, true));
    CHECK(geometry.scale() == 3.0);
    CHECK(geometry.fitToPanel({840, 840}, false));
    CHECK(geometry.scale() == 2.1);
}
