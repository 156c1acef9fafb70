// SPDX-License-Identifier: GPL-3.0-or-later
// Cell sizes, positions, the fit and the zoom steps, computed as the desktop always has computed them.
#include "CellGeometry.h"

#include "TileGrid.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace quorra {

namespace {

// Every size was first computed in the desktop's x87 long double, whose significand has 64 bits. Where long double
// is wider (the 128-bit one of WebAssembly) each operation is rounded back to 64 bits, once, from its exact value,
// so that both give the same cells; where it is the x87 one this costs nothing.
constexpr int ExtendedDigits = 64;
static_assert(LDBL_MANT_DIG >= ExtendedDigits, "long double must hold the x87 extended precision");

// V rounded to a 64-bit significand, ties to even; Exact tells where the exact value lies from V (-1, 0 or +1),
// which decides a tie the wider type produced by its own rounding.
long double toExtended(long double v, int exact)
{
    if constexpr (LDBL_MANT_DIG == ExtendedDigits) {
        return v;
    } else {
        if (v == 0 || !std::isfinite(v))
            return v;
        int exponent = 0;
        const long double significand = std::ldexp(std::frexp(v, &exponent), ExtendedDigits);
        long double rounded = std::nearbyint(significand);
        if (exact != 0 && std::fabs(significand - std::trunc(significand)) == 0.5L)
            rounded = exact > 0 ? std::ceil(significand) : std::floor(significand);
        return std::ldexp(rounded, exponent - ExtendedDigits);
    }
}

int signOf(long double v)
{
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

long double extendedProduct(long double a, long double b)
{
    const long double p = a * b;
    if (!std::isfinite(p))
        return p;
    return toExtended(p, signOf(std::fma(a, b, -p)));
}

long double extendedQuotient(long double a, long double b)
{
    const long double q = a / b;
    if (!std::isfinite(q))
        return q;
    // The remainder of a rounded quotient is exact, and its sign tells on which side the true quotient lies.
    return toExtended(q, signOf(std::fma(-q, b, a)) * signOf(b));
}

// 0.15 as the x87 holds it, a little above 0.15: a drag threshold that falls on a half is decided by it.
constexpr long double ThresholdShare = 0x9.99999999999999ap-6L;

} // namespace

int CellGeometry::roundCellSize(long double size)
{
    constexpr long double Largest = 1 << 20;
    if (!(size >= 1.0L)) // also catches NaN
        return 1;
    return int(std::nearbyint(std::min(size, Largest)));
}

bool CellGeometry::hasGrid() const
{
    return m_grid.totalColumns() > 0 && m_grid.totalRows() > 0;
}

PixelSize CellGeometry::cellSizeAtScale() const
{
    const long double scale = m_scale;
    const long double wide =
        m_grid.columns() > 0 ? extendedQuotient(extendedProduct(m_picture.width, scale), m_grid.columns()) : 0;
    const long double high =
        m_grid.rows() > 0 ? extendedQuotient(extendedProduct(m_picture.height, scale), m_grid.rows()) : 0;
    return {roundCellSize(wide), roundCellSize(high)};
}

PixelSize CellGeometry::plainSize(PixelSize cell) const
{
    return {std::max(m_grid.columns(), 0) * cell.width, std::max(m_grid.rows(), 0) * cell.height};
}

void CellGeometry::placeCells(PixelSize cell)
{
    m_cell = cell;
    m_plain = plainSize(cell);
    m_dragThreshold = int(std::nearbyint(extendedProduct(ThresholdShare, std::min(cell.width, cell.height))));
}

CellPos CellGeometry::cellAt(PicturePoint p) const
{
    if (m_cell.width <= 0 || m_cell.height <= 0)
        return NoCell;
    // Division truncates towards zero: a position left of or above the picture must not fall into cell 1.
    if (p.x < 0)
        p.x -= m_cell.width;
    if (p.y < 0)
        p.y -= m_cell.height;
    return CellPos(p.x / m_cell.width + 1, p.y / m_cell.height + 1);
}

PicturePoint CellGeometry::cellCentre(CellPos p) const
{
    return {(p.x() - 1) * m_cell.width + m_cell.width / 2, (p.y() - 1) * m_cell.height + m_cell.height / 2};
}

bool CellGeometry::inGrid(CellPos p) const
{
    return m_grid.contains(p) && m_grid.totalColumns() <= MaxGrid && m_grid.totalRows() <= MaxGrid;
}

int CellGeometry::wrappedColumn(int x) const
{
    const int w = m_grid.totalColumns() * m_cell.width;
    return w > 0 ? ((x % w + w) % w) / m_cell.width + 1 : 0;
}

int CellGeometry::wrappedRow(int y) const
{
    const int h = m_grid.totalRows() * m_cell.height;
    return h > 0 ? ((y % h + h) % h) / m_cell.height + 1 : 0;
}

bool CellGeometry::nearCellCentre(PicturePoint p) const
{
    if (m_cell.width <= 0 || m_cell.height <= 0)
        return false;
    const int dx = std::abs(p.x % m_cell.width - m_cell.width / 2);
    const int dy = std::abs(p.y % m_cell.height - m_cell.height / 2);
    return std::max(dx, dy) < m_dragThreshold;
}

void CellGeometry::setScale(double scale)
{
    // A panel smaller than the grid fits it at zero, and zooming out goes on dividing: the smallest positive
    // scale stands in, which draws the same one-pixel cells and never divides by zero.
    m_scale = scale > 0 ? scale : std::numeric_limits<double>::min();
}

double CellGeometry::fitScaleFor(PixelSize panel) const
{
    // Whole cells only: the panel's share per cell is rounded down before it is scaled back to the picture.
    const int fitWidth = (panel.width / m_grid.totalColumns()) * m_grid.columns();
    const int fitHeight = (panel.height / m_grid.totalRows()) * m_grid.rows();
    const long double fitX = extendedQuotient(fitWidth, m_picture.width);
    const long double fitY = extendedQuotient(fitHeight, m_picture.height);
    return double(std::max(std::min(fitX, fitY), 0.0L));
}

bool CellGeometry::updateFit(PixelSize panel, bool keepFitted)
{
    if (!m_hasPicture || !hasGrid()) {
        m_fitScale = 0;
        return false;
    }
    m_fitScale = fitScaleFor(panel);
    const bool refit = keepFitted ? std::fabs(m_scale - m_fitScale) > 0.00001 : m_scale > m_fitScale * 1.00001;
    if (refit)
        bestFit();
    return refit;
}

bool CellGeometry::fitToPanel(PixelSize panel, bool autoFit)
{
    // The same guard as the window's: a panel with less than a pixel per cell gives no usable scale.
    if (!m_hasPicture || !hasGrid() || panel.width < m_grid.totalColumns() || panel.height < m_grid.totalRows())
        return false;
    const double fit = fitScaleFor(panel);
    if (!(fit > 0))
        return false;
    if (!(autoFit ? std::fabs(m_scale - fit) > 0.00001 : m_scale > fit * 1.00001))
        return false;
    setScale(fit);
    return true;
}

void CellGeometry::zoomIn()
{
    setScale(m_scale * 1.1 < m_fitScale ? m_scale * 1.1 : m_fitScale);
}

void CellGeometry::zoomOut()
{
    setScale(m_scale / 1.1);
}

bool CellGeometry::canZoomIn() const
{
    return m_fitScale * 0.99999 > m_scale;
}

bool CellGeometry::canZoomOut() const
{
    return std::max(m_plain.width, m_plain.height) > 256;
}

bool CellGeometry::canActualSize() const
{
    return m_fitScale > 0.99999 && std::fabs(m_scale - 1.0) > 0.00001;
}

} // namespace quorra
