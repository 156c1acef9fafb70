// The puzzle object: set-up, cell geometry, the working bitmaps, cell-by-cell rendering and the zoom.
#include "Puzzle.h"

#include "Effects.h"
#include "PictureLoader.h"
#include "TextStamp.h"
#include "WorkingBitmap.h"

#include <QScopeGuard>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Cell sizes are rounded half to even in extended precision; a cell is never narrower than one pixel, whatever
// the m_scale or the picture, so that every division by the cell size stays defined.
qint32 roundCellSize(long double size)
{
    constexpr long double Largest = 1 << 20;
    if (!(size >= 1.0L)) // also catches NaN
        return 1;
    return qint32(std::nearbyintl(std::min(size, Largest)));
}

} // namespace

Puzzle::Puzzle(QImage *display, const QImage *texture) : m_display(display), m_texture(texture) {}

void Puzzle::setUp(EffectCode effect, int rows, int columns, bool semiEffect, bool emptyRow, bool emptyColumn)
{
    // A new split must not find a line half slid across the old one.
    finishAnimation();
    m_selected = NoCell;
    m_version = 1;
    m_effect = effect;
    m_semiEffect = semiEffect;
    m_grid.init(rows, columns, emptyRow, emptyColumn);
    m_history.clear();
    m_editMode = true;
    m_solved = false;
    fitToOpenPanel();
    rebuild();
    notifyStateChanged();
}

void Puzzle::setPicture(QImage picture)
{
    m_source = SourcePicture(std::move(picture));
}

void Puzzle::rebuild()
{
    settleLine();
    const QSize picture = m_source.size();
    const long double wide = m_grid.columns() > 0 ? (long double)picture.width() * m_scale / m_grid.columns() : 0;
    const long double high = m_grid.rows() > 0 ? (long double)picture.height() * m_scale / m_grid.rows() : 0;
    const qint32 cellWidth = roundCellSize(wide);
    const qint32 cellHeight = roundCellSize(high);
    const QSize plainSize(std::max(m_grid.columns(), 0) * cellWidth, std::max(m_grid.rows(), 0) * cellHeight);
    // Before anything changes: a picture that must be decoded larger and cannot be leaves the puzzle as it was.
    m_source.cover(plainSize);
    m_cellWidth = cellWidth;
    m_cellHeight = cellHeight;
    m_dragThreshold = qint32(std::nearbyintl(0.15L * std::min(m_cellWidth, m_cellHeight)));

    m_cellBitmap = createWorkingBitmap(m_cellWidth, m_cellHeight);
    // At the same size (a tangle, a save) the plain and concealed pictures keep their pixel memory, as the display
    // does: no new pages to fault in, and no second copy alive while the new one is drawn. Every pixel of both is
    // drawn anew; the plain one starts white as a new bitmap does, for pictures with transparent pixels.
    if (m_plain.size() == plainSize && m_plain.format() == WorkingFormat)
        m_plain.fill(Qt::white);
    else
        m_plain = createWorkingBitmap(plainSize.width(), plainSize.height());
    if (!m_source.isNull() && !m_plain.isNull())
        stretchDraw(m_source.bitmap(), m_plain);
    buildConcealed();

    // The display belongs to the window; it is replaced only when its size changes, so that a rebuild at the
    // same zoom (a tangle) keeps the same pixel memory.
    const QSize displaySize(m_grid.totalColumns() * m_cellWidth, m_grid.totalRows() * m_cellHeight);
    if (m_display->size() != displaySize || m_display->format() != WorkingFormat)
        *m_display = createWorkingBitmap(displaySize.width(), displaySize.height());
    if (m_rowStrip.size() != QSize(m_display->width(), m_cellHeight) || m_rowStrip.format() != WorkingFormat)
        m_rowStrip = createWorkingBitmap(m_display->width(), m_cellHeight);
    if (m_columnStrip.size() != QSize(m_cellWidth, m_display->height()) || m_columnStrip.format() != WorkingFormat)
        m_columnStrip = createWorkingBitmap(m_cellWidth, m_display->height());

    renderAll();
    // A new cell size changes what the zoom commands may do.
    notifyStateChanged();
}

void Puzzle::buildConcealed()
{
    if (m_concealed.size() != m_plain.size() || m_concealed.format() != WorkingFormat)
        m_concealed = createWorkingBitmap(m_plain.width(), m_plain.height());
    for (int c = 1; c <= m_grid.columns(); ++c)
        for (int r = 1; r <= m_grid.rows(); ++r) {
            const QRect cell = homeRect(m_grid.targetAt(CellPos(c, r)).home);
            copyBlock(m_plain, cell, m_cellBitmap, QPoint(0, 0));
            applyEffect(m_cellBitmap, m_effect, m_grid.targetAt(CellPos(c, r)).number, texture());
            if (m_cellBitmap.format() != WorkingFormat)
                m_cellBitmap.convertTo(WorkingFormat);
            copyBlock(m_cellBitmap, m_cellBitmap.rect(), m_concealed, cell.topLeft());
        }
}

void Puzzle::renderAll()
{
    settleLine();
    m_renderingAll = true;
    for (int c = 1; c <= m_grid.totalColumns(); ++c)
        for (int r = 1; r <= m_grid.totalRows(); ++r)
            drawCell(CellPos(c, r), false);
    m_renderingAll = false;
    if (m_editMode && !m_display->isNull())
        stampTwoLines(*m_display, QStringLiteral("Edit"), QStringLiteral("Mode"));
    if (m_hooks.displayChanged)
        m_hooks.displayChanged(m_display->rect());
}

void Puzzle::drawCell(CellPos p, bool advice)
{
    settleLine();
    if (isNoCell(p) || !inGrid(p) || m_cellBitmap.isNull())
        return;

    // The cell is drawn straight into its place on the display (a view of those pixels), which saves copying
    // every cell twice; the scratch bitmap serves only a display that does not hold the whole cell.
    const QPoint at((p.x() - 1) * m_cellWidth, (p.y() - 1) * m_cellHeight);
    const QRect place(at, m_cellBitmap.size());
    const bool direct = m_display->format() == WorkingFormat && m_display->rect().contains(place);
    QImage view;
    if (direct)
        view = QImage(m_display->scanLine(at.y()) + qsizetype(at.x()) * 3, place.width(), place.height(),
                      m_display->bytesPerLine(), WorkingFormat);
    QImage &cell = direct ? view : m_cellBitmap;

    if (m_grid.isEmpty(p)) {
        tilePicture(cell, texture());
    } else {
        const bool showPlain = !m_editMode && (m_solved || (m_semiEffect && p == m_selected));
        copyBlock(showPlain ? m_plain : m_concealed, homeRect(m_grid.tileAt(p).home), cell, QPoint(0, 0));
    }

    int frame = 0;
    if (advice)
        frame = 8;
    else if (p == m_selected && m_dragState == DragState::Caught)
        frame = 4;
    else if (p == m_selected)
        frame = 2;
    else if (!m_solved)
        frame = 1;
    if (frame > 0)
        drawCellFrame(cell, frame);

    if (!direct)
        copyBlock(m_cellBitmap, m_cellBitmap.rect(), *m_display, at);
    if (m_hooks.displayChanged && !m_renderingAll)
        m_hooks.displayChanged(place);
}

void Puzzle::setEffect(EffectCode effect)
{
    m_effect = effect;
    buildConcealed();
    renderAll();
}

void Puzzle::adopt(StoredPuzzle stored)
{
    finishAnimation();
    m_version = stored.version;
    m_effect = stored.effect;
    m_semiEffect = stored.semiEffect;
    m_grid = stored.grid;
    m_history.clear();
    m_source = SourcePicture(std::move(stored.source), stored.pictureSize, std::move(stored.pictureStream));
    fitToOpenPanel();
    notifyStateChanged();
}

void Puzzle::loadPicture(const QString &path)
{
    adoptPicture(readSourcePicture(path, m_openPanel));
}

void Puzzle::adoptPicture(std::optional<SourcePicture> picture)
{
    if (picture)
        m_source = std::move(*picture);
}

CellPos Puzzle::cellAt(int x, int y) const
{
    if (m_cellWidth <= 0 || m_cellHeight <= 0)
        return NoCell;
    if (x < 0)
        x -= m_cellWidth;
    if (y < 0)
        y -= m_cellHeight;
    return CellPos(x / m_cellWidth + 1, y / m_cellHeight + 1);
}

QPoint Puzzle::cellCentre(CellPos p) const
{
    return QPoint((p.x() - 1) * m_cellWidth + m_cellWidth / 2, (p.y() - 1) * m_cellHeight + m_cellHeight / 2);
}

bool Puzzle::inGrid(CellPos p) const
{
    return p.x() >= 1 && p.x() <= m_grid.totalColumns() && p.y() >= 1 && p.y() <= m_grid.totalRows()
           && m_grid.totalColumns() <= MaxGrid && m_grid.totalRows() <= MaxGrid;
}

double Puzzle::fitScaleFor(int panelWidth, int panelHeight) const
{
    // Whole cells only: the panel's share per cell is rounded down before it is scaled back to the picture.
    const int fitWidth = (panelWidth / m_grid.totalColumns()) * m_grid.columns();
    const int fitHeight = (panelHeight / m_grid.totalRows()) * m_grid.rows();
    const long double fitX = (long double)fitWidth / m_source.size().width();
    const long double fitY = (long double)fitHeight / m_source.size().height();
    return double(std::max(std::min(fitX, fitY), 0.0L));
}

void Puzzle::updateFit(int panelWidth, int panelHeight, bool keepFitted)
{
    const double before = m_fitScale;
    // Only a fit that really changed is told: the owner fits again whenever it is told, and must come to rest.
    auto told = qScopeGuard([this, before] {
        if (m_fitScale != before)
            notifyStateChanged();
    });
    if (m_source.isNull() || m_grid.totalColumns() <= 0 || m_grid.totalRows() <= 0) {
        m_fitScale = 0;
        return;
    }
    m_fitScale = fitScaleFor(panelWidth, panelHeight);
    if (keepFitted) {
        if (std::fabs(m_scale - m_fitScale) > 0.00001)
            bestFit();
    } else if (m_scale > m_fitScale * 1.00001) {
        bestFit();
    }
}

void Puzzle::fitToOpenPanel()
{
    // The panel serves the first showing only: a later set-up (a new split) keeps the zoom the person chose.
    const QSize panel = m_openPanel;
    m_openPanel = QSize();
    // The same guard as the window's: a panel with less than a pixel per cell gives no usable m_scale.
    if (m_source.isNull() || m_grid.totalColumns() <= 0 || m_grid.totalRows() <= 0
        || panel.width() < m_grid.totalColumns() || panel.height() < m_grid.totalRows())
        return;
    const double fit = fitScaleFor(panel.width(), panel.height());
    if (!(fit > 0))
        return;
    if (m_openAutoFit ? std::fabs(m_scale - fit) > 0.00001 : m_scale > fit * 1.00001)
        setScale(fit);
}

void Puzzle::zoomIn()
{
    setScale(m_scale * 1.1 < m_fitScale ? m_scale * 1.1 : m_fitScale);
    rebuild();
}

void Puzzle::zoomOut()
{
    setScale(m_scale / 1.1);
    rebuild();
}

void Puzzle::actualSize()
{
    setScale(1.0);
    rebuild();
}

void Puzzle::bestFit()
{
    setScale(m_fitScale);
    rebuild();
}

void Puzzle::zoomTo(double scale)
{
    setScale(scale);
    rebuild();
}

void Puzzle::setScale(double scale)
{
    // A panel smaller than the grid fits it at zero, and zooming out halves on: the smallest positive scale
    // stands in, which draws the same one-pixel cells and never divides by zero.
    m_scale = scale > 0 ? scale : std::numeric_limits<double>::min();
}

bool Puzzle::canZoomIn() const
{
    return m_fitScale * 0.99999 > m_scale;
}

bool Puzzle::canZoomOut() const
{
    return std::max(m_plain.width(), m_plain.height()) > 256;
}

bool Puzzle::canActualSize() const
{
    return m_fitScale > 0.99999 && std::fabs(m_scale - 1.0) > 0.00001;
}

const QImage &Puzzle::texture() const
{
    if (m_texture && m_texture->width() > 0 && m_texture->height() > 0)
        return *m_texture;
    return concealmentTexture();
}

void Puzzle::copyBlock(const QImage &source, QRect sourceRect, QImage &target, QPoint targetPos)
{
    // Clip against both bitmaps, moving the target position along with the source corner.
    const QRect clipped = sourceRect & source.rect();
    targetPos += clipped.topLeft() - sourceRect.topLeft();
    QRect dest = QRect(targetPos, clipped.size()) & target.rect();
    if (dest.isEmpty())
        return;
    const QPoint from = clipped.topLeft() + (dest.topLeft() - targetPos);
    const int bytes = source.depth() / 8;
    const size_t rowBytes = size_t(dest.width()) * bytes;
    for (int y = 0; y < dest.height(); ++y)
        std::memcpy(target.scanLine(dest.top() + y) + qsizetype(dest.left()) * bytes,
                    source.constScanLine(from.y() + y) + qsizetype(from.x()) * bytes, rowBytes);
}
