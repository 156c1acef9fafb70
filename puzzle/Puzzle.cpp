// The puzzle object: set-up, cell geometry, the working bitmaps, cell-by-cell rendering and the zoom.
#include "Puzzle.h"

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
qint32 roundCellSize(long double size)
{
    constexpr long double Largest = 1 << 20;
    if (!(size >= 1.0L)) // also catches NaN
        return 1;
    return qint32(std::nearbyintl(std::min(size, Largest)));
}

} // namespace

Puzzle::Puzzle(QImage *display, const QImage *emptyPicture) : display(display), emptyPicture(emptyPicture)
{
}

void Puzzle::setup(qint32 newEffect, int rows, int cols, bool newSemiEffect, bool emptyRow, bool emptyCol)
{
    selected = NoCell;
    version = 1;
    effect = newEffect;
    semiEffect = newSemiEffect;
    body.init(rows, cols, emptyRow, emptyCol);
    editMode = true;
    solved = false;
    modified = true;
    rebuild();
}

void Puzzle::rebuild()
{
    const long double wide = body.cols > 0 ? (long double)source.width() * scale / body.cols : 0;
    const long double high = body.rows > 0 ? (long double)source.height() * scale / body.rows : 0;
    cellWidth = roundCellSize(wide);
    cellHeight = roundCellSize(high);
    dragThreshold = qint32(std::nearbyintl(0.15L * std::min(cellWidth, cellHeight)));

    cellBitmap = createWorkingBitmap(cellWidth, cellHeight);
    plain = createWorkingBitmap(std::max(body.cols, 0) * cellWidth, std::max(body.rows, 0) * cellHeight);
    if (!source.isNull() && !plain.isNull())
        stretchDraw(source, plain);
    concealed = createWorkingBitmap(plain.width(), plain.height());
    buildConcealed();

    // The display belongs to the window; it is replaced only when its size changes, so that a rebuild at the
    // same zoom (a tangle) keeps the same pixel memory.
    const QSize displaySize(body.totalCols() * cellWidth, body.totalRows() * cellHeight);
    if (display->size() != displaySize || display->format() != WorkingFormat)
        *display = createWorkingBitmap(displaySize.width(), displaySize.height());
    if (rowStrip.size() != QSize(display->width(), cellHeight) || rowStrip.format() != WorkingFormat)
        rowStrip = createWorkingBitmap(display->width(), cellHeight);
    if (colStrip.size() != QSize(cellWidth, display->height()) || colStrip.format() != WorkingFormat)
        colStrip = createWorkingBitmap(cellWidth, display->height());

    renderAll();
}

void Puzzle::buildConcealed()
{
    if (concealed.size() != plain.size() || concealed.format() != WorkingFormat)
        concealed = createWorkingBitmap(plain.width(), plain.height());
    for (int c = 1; c <= body.cols; ++c)
        for (int r = 1; r <= body.rows; ++r) {
            QRect cell;
            body.targetCellRect(c, r, cellWidth, cellHeight, cell);
            copyBlock(plain, cell, cellBitmap, QPoint(0, 0));
            applyEffect(cellBitmap, effect, body.targetNumber(c, r), texture());
            if (cellBitmap.format() != WorkingFormat)
                cellBitmap.convertTo(WorkingFormat);
            copyBlock(cellBitmap, cellBitmap.rect(), concealed, cell.topLeft());
        }
}

void Puzzle::renderAll()
{
    m_renderingAll = true;
    for (int c = 1; c <= body.totalCols(); ++c)
        for (int r = 1; r <= body.totalRows(); ++r)
            drawCell(QPoint(c, r), false);
    m_renderingAll = false;
    if (editMode && !display->isNull())
        stampTwoLines(*display, QStringLiteral("Edit"), QStringLiteral("Mode"));
    if (displayChanged)
        displayChanged(display->rect());
    if (processMessages)
        processMessages();
}

void Puzzle::drawCell(QPoint p, bool advice)
{
    if (isNoCell(p) || !inGrid(p) || cellBitmap.isNull())
        return;

    // The cell is drawn straight into its place on the display (a view of those pixels), which saves copying
    // every cell twice; the scratch bitmap serves only a display that does not hold the whole cell.
    const QPoint at((p.x() - 1) * cellWidth, (p.y() - 1) * cellHeight);
    const QRect place(at, cellBitmap.size());
    const bool direct = display->format() == WorkingFormat && display->rect().contains(place);
    QImage view;
    if (direct)
        view = QImage(display->scanLine(at.y()) + qsizetype(at.x()) * 3, place.width(), place.height(),
                      display->bytesPerLine(), WorkingFormat);
    QImage &cell = direct ? view : cellBitmap;

    if (body.isEmpty(p.x(), p.y())) {
        tilePicture(cell, texture());
    } else {
        const bool showPlain = !editMode && (solved || (semiEffect && p == selected));
        QRect r;
        body.currentCellRect(p.x(), p.y(), cellWidth, cellHeight, r);
        copyBlock(showPlain ? plain : concealed, r, cell, QPoint(0, 0));
    }

    int frame = 0;
    if (advice)
        frame = 8;
    else if (p == selected && dragState == DragState::Caught)
        frame = 4;
    else if (p == selected)
        frame = 2;
    else if (!solved)
        frame = 1;
    if (frame > 0)
        drawCellFrame(cell, frame);

    if (!direct)
        copyBlock(cellBitmap, cellBitmap.rect(), *display, at);
    if (displayChanged && !m_renderingAll)
        displayChanged(place);
}

void Puzzle::setEffect(qint32 kind)
{
    effect = kind;
    buildConcealed();
    renderAll();
}

void Puzzle::loadPicture(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    title = dot < 0 ? QString() : name.left(dot);
    if (std::optional<QImage> picture = readPictureFile(path))
        source = std::move(*picture);
}

QPoint Puzzle::cellAt(int x, int y) const
{
    if (cellWidth <= 0 || cellHeight <= 0)
        return NoCell;
    if (x < 0)
        x -= cellWidth;
    if (y < 0)
        y -= cellHeight;
    return QPoint(x / cellWidth + 1, y / cellHeight + 1);
}

QPoint Puzzle::cellCentre(QPoint p) const
{
    return QPoint((p.x() - 1) * cellWidth + cellWidth / 2, (p.y() - 1) * cellHeight + cellHeight / 2);
}

bool Puzzle::inGrid(QPoint p) const
{
    return p.x() >= 1 && p.x() <= body.totalCols() && p.y() >= 1 && p.y() <= body.totalRows()
        && body.totalCols() <= MaxGrid && body.totalRows() <= MaxGrid;
}

double Puzzle::fitScaleFor(int panelWidth, int panelHeight) const
{
    const long double fitX = (long double)((panelWidth / body.totalCols()) * body.cols) / source.width();
    const long double fitY = (long double)((panelHeight / body.totalRows()) * body.rows) / source.height();
    return double(std::max(std::min(fitX, fitY), 0.0L));
}

void Puzzle::updateFit(int panelWidth, int panelHeight, bool keepFitted)
{
    if (source.isNull() || body.totalCols() <= 0 || body.totalRows() <= 0) {
        fitScale = 0;
        return;
    }
    fitScale = fitScaleFor(panelWidth, panelHeight);
    if (keepFitted) {
        if (std::fabs(scale - fitScale) > 0.00001)
            bestFit();
    } else if (scale > fitScale * 1.00001) {
        bestFit();
    }
}

void Puzzle::fitToOpenPanel()
{
    // The same guard as the window's: a panel with less than a pixel per cell gives no usable scale.
    if (source.isNull() || body.totalCols() <= 0 || body.totalRows() <= 0
        || openPanel.width() < body.totalCols() || openPanel.height() < body.totalRows())
        return;
    const double fit = fitScaleFor(openPanel.width(), openPanel.height());
    if (!(fit > 0))
        return;
    if (openAutoFit ? std::fabs(scale - fit) > 0.00001 : scale > fit * 1.00001)
        scale = fit;
}

void Puzzle::zoomIn()
{
    if (scale * 1.1 < fitScale)
        scale = scale * 1.1;
    else
        scale = fitScale;
    rebuild();
}

void Puzzle::zoomOut()
{
    scale = scale / 1.1;
    rebuild();
}

void Puzzle::actualSize()
{
    scale = 1.0;
    rebuild();
}

void Puzzle::bestFit()
{
    scale = fitScale;
    rebuild();
}

bool Puzzle::canZoomIn() const
{
    return fitScale * 0.99999 > scale;
}

bool Puzzle::canZoomOut() const
{
    return std::max(plain.width(), plain.height()) > 256;
}

bool Puzzle::canActualSize() const
{
    return fitScale > 0.99999 && std::fabs(scale - 1.0) > 0.00001;
}

const QImage &Puzzle::texture() const
{
    if (emptyPicture && emptyPicture->width() > 0 && emptyPicture->height() > 0)
        return *emptyPicture;
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
