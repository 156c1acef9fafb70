// The puzzle object's play: tangling, hover and catch, the sliding line, committed moves and the advice flash.
#include "Puzzle.h"

#include "Lcg.h"
#include "WorkingBitmap.h"

#include <QScopeGuard>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Frames of a line sliding by itself: about a tenth of a second at the game's pace.
constexpr int SlideFrames = 6;

} // namespace

void Puzzle::tangle()
{
    finishAnimation();
    m_game.beginTangle();
    rebuild();
    m_game.resetArrangement();
    renderAll();
    m_tangleShifts.clear();
    m_tangleNext = 0;

    if (grid().totalColumns() < 2 || grid().totalRows() < 2)
        return;
    Lcg &random = randomizer();
    random.randomize();
    m_tangleShifts = drawTangle(grid(), random);
    if (m_tangleShifts.empty())
        return;
    m_animation = PuzzleAnimation::Tangle;
    auto failed = qScopeGuard([this] { m_animation = PuzzleAnimation::None; });
    showTangleStep();
    failed.dismiss();
    startAnimation(PuzzleAnimation::Tangle);
}

void Puzzle::showTangleStep()
{
    const TangleShift &shift = m_tangleShifts[m_tangleNext++];
    m_game.tangleStep(shift);
    renderAll();
    if (m_hooks.tangleStep)
        m_hooks.tangleStep();
}

int Puzzle::stepMs(PuzzleAnimation animation)
{
    switch (animation) {
    case PuzzleAnimation::Tangle:
        return TangleStepMs;
    case PuzzleAnimation::Slide:
        return SlideFrameMs;
    case PuzzleAnimation::Advice:
        return AdviceMs;
    case PuzzleAnimation::None:
        break;
    }
    return 0;
}

void Puzzle::startAnimation(PuzzleAnimation animation)
{
    m_animation = animation;
    notifyStateChanged();
    if (m_hooks.animationStarted)
        m_hooks.animationStarted();
    else
        finishAnimation();
}

bool Puzzle::advance()
{
    // Whatever fails on the way, the puzzle is left playable rather than refusing every move for good.
    const bool wasAnimating = isAnimating();
    auto ended = qScopeGuard([this, wasAnimating] {
        m_animation = PuzzleAnimation::None;
        if (wasAnimating)
            notifyStateChanged();
    });
    switch (m_animation) {
    case PuzzleAnimation::None:
        return false;
    case PuzzleAnimation::Tangle:
        if (m_tangleNext < m_tangleShifts.size()) {
            showTangleStep();
            ended.dismiss();
            return true;
        }
        m_tangleShifts.clear();
        m_tangleNext = 0;
        return false;
    case PuzzleAnimation::Slide:
        if (m_slideFrame < SlideFrames) {
            showSlideFrame();
            ended.dismiss();
            return true;
        }
        // Settled as a move in play, which may win.
        m_animation = PuzzleAnimation::None;
        settle(m_slideMove.to);
        m_dragState = DragState::Idle;
        drawCell(selected(), false);
        return false;
    case PuzzleAnimation::Advice:
        m_animation = PuzzleAnimation::None;
        renderAll();
        return false;
    }
    return false;
}

void Puzzle::finishAnimation()
{
    while (advance()) {
    }
}

void Puzzle::hoverAt(int x, int y)
{
    CellPos p = cellAt(x, y);
    if (!inGrid(p))
        p = NoCell;
    if (!isNoCell(selected()) && selected() != p)
        deselect();
    if (isNoCell(selected())) {
        m_game.select(p);
        drawCell(p, false);
    }
    m_anchor = cellCentre(selected());
}

void Puzzle::catchSelected()
{
    m_heldLine = DragState::Idle;
    if (!isNoCell(selected()))
        m_dragState = DragState::Caught;
    notifyStateChanged();
}

void Puzzle::catchSelectedOnLine()
{
    const DragState line = m_dragState;
    catchSelected();
    if (line == DragState::Row || line == DragState::Column)
        m_heldLine = line;
}

void Puzzle::deselect()
{
    const CellPos old = selected();
    m_game.select(NoCell);
    drawCell(old, false);
}

bool Puzzle::tryStartDrag(int x, int y)
{
    if (isNoCell(selected()))
        return false;
    const int dx = std::abs(x - m_anchor.x());
    const int dy = std::abs(y - m_anchor.y());
    if (m_heldLine == DragState::Row || m_heldLine == DragState::Column) {
        // Only the distance along the held line counts: the hand's drift across it is no drag.
        if ((m_heldLine == DragState::Row ? dx : dy) < dragThreshold())
            return false;
        m_dragState = m_heldLine;
    } else {
        if (std::max(dx, dy) < dragThreshold())
            return false;
        m_dragState = dx >= dy ? DragState::Row : DragState::Column;
    }
    captureStrip();
    notifyStateChanged();
    return true;
}

void Puzzle::captureStrip()
{
    settleLine();
    if (m_dragState == DragState::Row)
        copyBlock(*m_display, QRect(0, (selected().y() - 1) * cellHeight(), m_rowStrip.width(), m_rowStrip.height()),
                  m_rowStrip, QPoint(0, 0));
    else if (m_dragState == DragState::Column)
        copyBlock(*m_display,
                  QRect((selected().x() - 1) * cellWidth(), 0, m_columnStrip.width(), m_columnStrip.height()),
                  m_columnStrip, QPoint(0, 0));
}

void Puzzle::renderDrag(int x, int y)
{
    // Called for every pointer move of a drag: nothing allocated, and with an owner that paints the line itself
    // nothing copied either.
    MovingLine line;
    if (m_dragState == DragState::Row) {
        const int w = std::min(m_rowStrip.width(), m_display->width());
        const int top = (selected().y() - 1) * cellHeight();
        const int lines = std::min(m_rowStrip.height(), m_display->height() - top);
        if (w <= 0 || top < 0 || lines <= 0)
            return;
        line = {QRect(0, top, w, lines), &m_rowStrip, Qt::Horizontal, ((x - m_anchor.x()) % w + w) % w};
    } else if (m_dragState == DragState::Column) {
        const int h = std::min(m_columnStrip.height(), m_display->height());
        const int left = (selected().x() - 1) * cellWidth();
        const int wide = std::min(m_columnStrip.width(), m_display->width() - left);
        if (h <= 0 || left < 0 || wide <= 0)
            return;
        line = {QRect(left, 0, wide, h), &m_columnStrip, Qt::Vertical, ((y - m_anchor.y()) % h + h) % h};
    } else {
        return;
    }
    m_line = line;
    m_linePending = true;
    if (!m_hooks.paintsMovingLine)
        settleLine();
    if (m_hooks.displayChanged)
        m_hooks.displayChanged(line.band);
}

void Puzzle::settleLine() const
{
    if (!m_linePending)
        return;
    m_linePending = false;
    const QRect &band = m_line.band;
    // A display replaced meanwhile (the window drops it when a puzzle goes) is drawn anew as a whole; the line
    // belonged to the old one.
    if (m_display->format() != WorkingFormat || !m_display->rect().contains(band))
        return;
    for (int y = band.top(); y <= band.bottom(); ++y) {
        uchar *to = m_display->scanLine(y);
        m_line.forEachRun(y, band.left(), band.width(), [to](const uchar *pixels, int x, int count) {
            std::memcpy(to + qsizetype(x) * 3, pixels, size_t(count) * 3);
        });
    }
}

CellPos Puzzle::landing(int x, int y) const
{
    // A dragged line is read along its own direction only, wrapped as it is drawn: a pointer that is not held
    // on the line (no confinement) or that ends past the picture's edge still lands on the cell the player
    // sees there, and never on a position outside the grid.
    CellPos t = cellAt(x, y);
    if (!isNoCell(selected())) {
        if (m_dragState == DragState::Row)
            t = CellPos(m_geometry.wrappedColumn(x), selected().y());
        else if (m_dragState == DragState::Column)
            t = CellPos(selected().x(), m_geometry.wrappedRow(y));
    }
    return inGrid(t) ? t : selected();
}

void Puzzle::settle(CellPos to)
{
    // The strip moves first: it is drawn from the display, not from the arrangement.
    const QPoint c = cellCentre(to);
    renderDrag(c.x(), c.y());
    // Only a move made in play wins: during a tangle the grid passes through the solved arrangement.
    m_game.settle(to, !isTangling());
    m_anchor = c;
    notifyStateChanged();
}

bool Puzzle::commit(int x, int y)
{
    const CellPos from = selected();
    const bool row = m_dragState == DragState::Row;
    const bool dragged = row || m_dragState == DragState::Column;
    const CellPos to = landing(x, y);
    settle(to);
    if (dragged && !isEditMode() && !isNoCell(from) && to != from) {
        m_game.record(m_game.dragMove(from, to, row ? LineAxis::Row : LineAxis::Column));
        notifyStateChanged();
    }
    return isSolved();
}

void Puzzle::select(CellPos p)
{
    if (!inGrid(p))
        return;
    if (p != selected()) {
        deselect();
        m_game.select(p);
        drawCell(p, false);
    }
    m_anchor = cellCentre(p);
}

bool Puzzle::turnSelected(LineAxis axis, int steps)
{
    if (!isPlaying() || !inGrid(selected()) || steps == 0)
        return false;
    const std::optional<LineMove> move = m_game.turnSelected(axis, steps);
    return move ? slide(*move) : isSolved();
}

bool Puzzle::canUndo() const
{
    return isPlaying() && m_game.canUndo();
}

bool Puzzle::canRedo() const
{
    return isPlaying() && m_game.canRedo();
}

bool Puzzle::undoMove()
{
    if (!canUndo())
        return false;
    return slide(*m_game.takeUndo());
}

bool Puzzle::redoMove()
{
    if (!canRedo())
        return false;
    return slide(*m_game.takeRedo());
}

bool Puzzle::slide(const LineMove &move)
{
    if (!inGrid(move.from) || !inGrid(move.to))
        return isSolved();
    select(move.from);
    // Held as the pointer holds a caught cell, so that the moving cell wears the same frame as in a drag.
    m_dragState = DragState::Caught;
    drawCell(selected(), false);
    const bool row = move.axis == LineAxis::Row;
    m_dragState = row ? DragState::Row : DragState::Column;
    captureStrip();
    m_slideMove = move;
    m_slideFrame = 1;
    m_animation = PuzzleAnimation::Slide;
    showSlideFrame();
    startAnimation(PuzzleAnimation::Slide);
    return isSolved();
}

void Puzzle::showSlideFrame()
{
    const bool row = m_slideMove.axis == LineAxis::Row;
    const QPoint distance =
        row ? QPoint(m_slideMove.steps * cellWidth(), 0) : QPoint(0, m_slideMove.steps * cellHeight());
    const QPoint at = m_anchor + distance * m_slideFrame / SlideFrames;
    ++m_slideFrame;
    renderDrag(at.x(), at.y());
    if (m_hooks.slideStep)
        m_hooks.slideStep();
}

void Puzzle::showAdvice(int x, int y)
{
    const CellPos p = cellAt(x, y);
    if (!inGrid(p) || isAnimating())
        return;
    drawCell(grid().home(p).value_or(NoCell), true);
    // The flash stays for AdviceMs; the drawing without it comes back as the animation's end.
    startAnimation(PuzzleAnimation::Advice);
}
