// SPDX-License-Identifier: GPL-3.0-or-later
// The puzzle object: set-up, the working bitmaps, cell-by-cell rendering and the zoom shown.
#include "Puzzle.h"

#include "Effects.h"
#include "PictureLoader.h"
#include "TextStamp.h"
#include "WorkingBitmap.h"

#include <QCoreApplication>
#include <QScopeGuard>

#include <cstring>

namespace quorra {

Puzzle::Puzzle(QImage *display, const QImage *texture) : m_display(display), m_texture(texture) {}

void Puzzle::setUp(EffectCode effect, int rows, int columns, bool semiEffect, bool emptyRow, bool emptyColumn)
{
    // A new split must not find a line half slid across the old one.
    finishAnimation();
    m_version = 1;
    m_effect = effect;
    m_semiEffect = semiEffect;
    m_game.setUp(rows, columns, emptyRow, emptyColumn);
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
    showPictureToGeometry();
    const PixelSize cell = m_geometry.cellSizeAtScale();
    const PixelSize plain = m_geometry.plainSize(cell);
    const QSize plainSize(plain.width, plain.height);
    // Before anything changes: a picture that must be decoded larger and cannot be leaves the puzzle as it was.
    m_source.cover(plainSize);
    m_geometry.placeCells(cell);

    m_cellBitmap = createWorkingBitmap(cellWidth(), cellHeight());
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
    const QSize displaySize(grid().totalColumns() * cellWidth(), grid().totalRows() * cellHeight());
    if (m_display->size() != displaySize || m_display->format() != WorkingFormat)
        *m_display = createWorkingBitmap(displaySize.width(), displaySize.height());
    if (m_rowStrip.size() != QSize(m_display->width(), cellHeight()) || m_rowStrip.format() != WorkingFormat)
        m_rowStrip = createWorkingBitmap(m_display->width(), cellHeight());
    if (m_columnStrip.size() != QSize(cellWidth(), m_display->height()) || m_columnStrip.format() != WorkingFormat)
        m_columnStrip = createWorkingBitmap(cellWidth(), m_display->height());

    renderAll();
    // A new cell size changes what the zoom commands may do.
    notifyStateChanged();
}

void Puzzle::buildConcealed()
{
    if (m_concealed.size() != m_plain.size() || m_concealed.format() != WorkingFormat)
        m_concealed = createWorkingBitmap(m_plain.width(), m_plain.height());
    for (int c = 1; c <= grid().columns(); ++c)
        for (int r = 1; r <= grid().rows(); ++r) {
            const QRect cell = homeRect(grid().targetAt(CellPos(c, r)).home);
            copyBlock(m_plain, cell, m_cellBitmap, QPoint(0, 0));
            applyEffect(m_cellBitmap, m_effect, grid().targetAt(CellPos(c, r)).number, texture());
            if (m_cellBitmap.format() != WorkingFormat)
                m_cellBitmap.convertTo(WorkingFormat);
            copyBlock(m_cellBitmap, m_cellBitmap.rect(), m_concealed, cell.topLeft());
        }
}

void Puzzle::renderAll()
{
    settleLine();
    m_renderingAll = true;
    for (int c = 1; c <= grid().totalColumns(); ++c)
        for (int r = 1; r <= grid().totalRows(); ++r)
            drawCell(CellPos(c, r), false);
    m_renderingAll = false;
    if (isEditMode() && !m_display->isNull())
        stampTwoLines(*m_display, QCoreApplication::translate("Puzzle", "Edit"),
                      QCoreApplication::translate("Puzzle", "Mode"));
    emit displayChanged(m_display->rect());
}

void Puzzle::drawCell(CellPos p, bool advice)
{
    settleLine();
    if (isNoCell(p) || !inGrid(p) || m_cellBitmap.isNull())
        return;

    // The cell is drawn straight into its place on the display (a view of those pixels), which saves copying
    // every cell twice; the scratch bitmap serves only a display that does not hold the whole cell.
    const QPoint at((p.x() - 1) * cellWidth(), (p.y() - 1) * cellHeight());
    const QRect place(at, m_cellBitmap.size());
    const bool direct = m_display->format() == WorkingFormat && m_display->rect().contains(place);
    QImage view;
    if (direct)
        view = QImage(m_display->scanLine(at.y()) + qsizetype(at.x()) * 3, place.width(), place.height(),
                      m_display->bytesPerLine(), WorkingFormat);
    QImage &cell = direct ? view : m_cellBitmap;

    if (grid().isEmpty(p)) {
        tilePicture(cell, texture());
    } else {
        const bool showPlain = !isEditMode() && (isSolved() || (m_semiEffect && p == selected()));
        copyBlock(showPlain ? m_plain : m_concealed, homeRect(grid().tileAt(p).home), cell, QPoint(0, 0));
    }

    // Inverted bands by their thickness; the selection wears a frame of its own (drawSelectionFrame).
    constexpr int SelectionFrame = -1;
    int frame = 0;
    if (advice)
        frame = 8;
    else if (p == selected() && dragState() == DragState::Caught)
        frame = 4;
    else if (p == selected() && !m_selectionFrameHidden)
        frame = SelectionFrame;
    else if (!isSolved())
        frame = 1;
    if (frame == SelectionFrame)
        drawSelectionFrame(cell);
    else if (frame > 0)
        drawCellFrame(cell, frame);

    if (!direct)
        copyBlock(m_cellBitmap, m_cellBitmap.rect(), *m_display, at);
    if (!m_renderingAll)
        emit displayChanged(place);
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
    m_game.adopt(stored.grid);
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

void Puzzle::showPictureToGeometry()
{
    const QSize picture = m_source.size();
    m_geometry.setPicture({picture.width(), picture.height()}, !m_source.isNull());
}

void Puzzle::updateFit(int panelWidth, int panelHeight, bool keepFitted)
{
    const double before = m_geometry.fitScale();
    // Only a fit that really changed is told: the owner fits again whenever it is told, and must come to rest.
    auto told = qScopeGuard([this, before] {
        if (m_geometry.fitScale() != before)
            notifyStateChanged();
    });
    showPictureToGeometry();
    if (m_geometry.updateFit({panelWidth, panelHeight}, keepFitted))
        rebuild();
}

void Puzzle::fitToOpenPanel()
{
    // The panel serves the first showing only: a later set-up (a new split) keeps the zoom the person chose.
    const QSize panel = m_openPanel;
    m_openPanel = QSize();
    showPictureToGeometry();
    if (panel.isValid() && m_openPixelRatio > 1.0)
        m_geometry.setScale(m_openPixelRatio);
    m_geometry.fitToPanel({panel.width(), panel.height()}, m_openAutoFit);
}

void Puzzle::zoomIn()
{
    m_geometry.zoomIn();
    rebuild();
}

void Puzzle::zoomOut()
{
    m_geometry.zoomOut();
    rebuild();
}

void Puzzle::actualSize()
{
    m_geometry.actualSize();
    rebuild();
}

void Puzzle::bestFit()
{
    m_geometry.bestFit();
    rebuild();
}

void Puzzle::zoomTo(double scale)
{
    m_geometry.setScale(scale);
    rebuild();
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

} // namespace quorra
