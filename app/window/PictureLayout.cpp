// SPDX-License-Identifier: GPL-3.0-or-later
// The view's fit, zoom and placing of the picture in its panel.
#include "PictureLayout.h"

#include "DecodeLimits.h"
#include "PicturePanel.h"
#include "PictureView.h"
#include "Puzzle.h"
#include "UserError.h"

#include <algorithm>

namespace quorra {

PictureLayout::PictureLayout(PicturePanel *panel, PictureView *view, std::function<Puzzle *()> puzzle,
                             std::function<bool()> autoFit, std::function<bool()> frozen)
    : m_panel(panel),
      m_view(view),
      m_puzzle(std::move(puzzle)),
      m_autoFit(std::move(autoFit)),
      m_frozen(std::move(frozen))
{
    m_view->setMovingLine([this]() -> std::optional<MovingLine> {
        const Puzzle *puzzle = m_puzzle();
        return puzzle ? puzzle->movingLine() : std::nullopt;
    });
}

QSize PictureLayout::panelPixels() const
{
    const qreal ratio = m_panel->devicePixelRatioF();
    return QSize(int(m_panel->clientWidth() * ratio), int(m_panel->clientHeight() * ratio));
}

double PictureLayout::pixelRatio() const
{
    return m_panel->devicePixelRatioF();
}

void PictureLayout::fit(Puzzle &puzzle)
{
    // The picture is made at the screen's own pixels, so on a scaled screen it fits the panel's pixels, not its
    // units.
    const QSize panel = panelPixels();
    const int width = panel.width();
    const int height = panel.height();
    // A panel with less than a pixel per cell would give a scale of 0 and cells of no size; the smallest
    // window never comes near it, but a window being laid out may.
    if (width < puzzle.grid().totalColumns() || height < puzzle.grid().totalRows() || puzzle.source().isNull())
        return;
    puzzle.updateFit(width, height, m_autoFit());
}

void PictureLayout::refit()
{
    Puzzle *puzzle = m_puzzle();
    if (!puzzle)
        return;
    // During a tangle the grid must not be rebuilt under the engine's feet; the fit follows when it ends.
    if (!m_frozen())
        fit(*puzzle);
    place();
}

void PictureLayout::keepFitted()
{
    Puzzle *puzzle = m_puzzle();
    if (!puzzle)
        return;
    fit(*puzzle);
    // A fit that changed the picture's size re-centres it.
    if (m_view->sizeToBitmap())
        place();
}

void PictureLayout::place()
{
    m_view->sizeToBitmap();
    const QRect client = m_panel->clientRect();
    m_view->move(client.left() + (client.width() - m_view->width()) / 2,
                 client.top() + (client.height() - m_view->height()) / 2);
}

void PictureLayout::repaint()
{
    if (m_view->sizeToBitmap())
        place();
    m_view->repaint();
}

void PictureLayout::sizeToBitmap()
{
    m_view->sizeToBitmap();
}

void PictureLayout::bitmapChanged(const QRect &rect)
{
    m_view->bitmapChanged(rect);
}

void PictureLayout::zoom(void (Puzzle::*change)())
{
    if (Puzzle *puzzle = m_puzzle()) {
        (puzzle->*change)();
        refit();
    }
}

void PictureLayout::zoomIn()
{
    zoom(&Puzzle::zoomIn);
}

void PictureLayout::zoomOut()
{
    zoom(&Puzzle::zoomOut);
}

void PictureLayout::actualSize()
{
    Puzzle *puzzle = m_puzzle();
    if (!puzzle)
        return;
    // At its own size a picture that passed the size guard can need gigabytes of working bitmaps: the plain and
    // the concealed picture and the display at three bytes a pixel, and a JPEG decoded whole besides.
    const QSize picture = puzzle->pictureSize();
    const TileGrid &grid = puzzle->grid();
    if (grid.columns() > 0 && grid.rows() > 0) {
        const qint64 cellWidth = std::max<qint64>(1, qRound64(double(picture.width()) / grid.columns()));
        const qint64 cellHeight = std::max<qint64>(1, qRound64(double(picture.height()) / grid.rows()));
        const qint64 plain = cellWidth * grid.columns() * cellHeight * grid.rows();
        const qint64 display = cellWidth * grid.totalColumns() * cellHeight * grid.totalRows();
        const qint64 source = puzzle->source().size() == picture ? 0 : qint64(picture.width()) * picture.height();
        if (3 * (2 * plain + display + source) > MaxPictureMemory)
            throw UserError(pictureNeedsTooMuchMemoryText());
    }
    zoom(&Puzzle::actualSize);
}

void PictureLayout::bestFit()
{
    zoom(&Puzzle::bestFit);
}

} // namespace quorra
