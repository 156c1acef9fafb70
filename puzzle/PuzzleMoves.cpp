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
    m_history.clear();
    m_solved = false;
    m_editMode = false;
    rebuild();
    m_grid.reset();
    renderAll();
    m_tangleShifts.clear();
    m_tangleNext = 0;

    if (m_grid.totalColumns() < 2 || m_grid.totalRows() < 2)
        return;
    Lcg &random = randomizer();
    random.randomize();
    m_tangleShifts = drawTangle(m_grid, random);
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
    m_grid.shift(shift.from, shift.to);
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
        drawCell(m_selected, false);
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
    if (!isNoCell(m_selected) && m_selected != p)
        deselect();
    if (isNoCell(m_selected)) {
        m_selected = p;
        drawCell(p, false);
    }
    m_anchor = cellCentre(m_selected);
}

void Puzzle::catchSelected()
{
    m_heldLine = DragState::Idle;
    if (!isNoCell(m_selected))
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
    const CellPos old = m_selected;
    m_selected = NoCell;
    drawCell(old, false);
}

bool Puzzle::tryStartDrag(int x, int y)
{
    if (isNoCell(m_selected))
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
        copyBlock(*m_display, QRect(0, (m_selected.y() - 1) * cellHeight(), m_rowStrip.width(), m_rowStrip.height()),
                  m_rowStrip, QPoint(0, 0));
    else if (m_dragState == DragState::Column)
        copyBlock(*m_display,
                  QRect((m_selected.x() - 1) * cellWidth(), 0, m_columnStrip.width(), m_columnStrip.height()),
                  m_columnStrip, QPoint(0, 0));
}

void Puzzle::renderDrag(int x, int y)
{
    // Called for every pointer move of a drag: nothing allocated, and with an owner that paints the line itself
    // nothing copied either.
    MovingLine line;
    if (m_dragState == DragState::Row) {
        const int w = std::min(m_rowStrip.width(), m_display->width());
        const int top = (m_selected.y() - 1) * cellHeight();
        const int lines = std::min(m_rowStrip.height(), m_display->height() - top);
        if (w <= 0 || top < 0 || lines <= 0)
            return;
        line = {QRect(0, top, w, lines), &m_rowStrip, Qt::Horizontal, ((x - m_anchor.x()) % w + w) % w};
    } else if (m_dragState == DragState::Column) {
        const int h = std::min(m_columnStrip.height(), m_display->height());
        const int left = (m_selected.x() - 1) * cellWidth();
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
    if (!isNoCell(m_selected)) {
        if (m_dragState == DragState::Row)
            t = CellPos(m_geometry.wrappedColumn(x), m_selected.y());
        else if (m_dragState == DragState::Column)
            t = CellPos(m_selected.x(), m_geometry.wrappedRow(y));
    }
    return inGrid(t) ? t : m_selected;
}

void Puzzle::settle(CellPos to)
{
    m_grid.shift(m_selected, to);
    const QPoint c = cellCentre(to);
    renderDrag(c.x(), c.y());
    m_selected = to;
    m_anchor = cellCentre(to);
    // Only a move made in play wins: during a tangle the grid passes through the solved arrangement.
    m_solved = !m_editMode && !isTangling() && m_grid.isSolved();
    notifyStateChanged();
}

bool Puzzle::commit(int x, int y)
{
    const CellPos from = m_selected;
    const bool row = m_dragState == DragState::Row;
    const bool dragged = row || m_dragState == DragState::Column;
    const CellPos to = landing(x, y);
    settle(to);
    if (dragged && !m_editMode && !isNoCell(from) && to != from) {
        // Taken back the short way round, whichever way the pointer went.
        const int length = row ? m_grid.totalColumns() : m_grid.totalRows();
        int steps = ((row ? to.x() - from.x() : to.y() - from.y()) % length + length) % length;
        if (steps > length / 2)
            steps -= length;
        m_history.record({from, to, row ? LineAxis::Row : LineAxis::Column, steps});
        notifyStateChanged();
    }
    return m_solved;
}

void Puzzle::select(CellPos p)
{
    if (!inGrid(p))
        return;
    if (p != m_selected) {
        deselect();
        m_selected = p;
        drawCell(p, false);
    }
    m_anchor = cellCentre(p);
}

bool Puzzle::turnSelected(LineAxis axis, int steps)
{
    if (!isPlaying() || !inGrid(m_selected) || steps == 0)
        return false;
    const bool row = axis == LineAxis::Row;
    const CellPos from = m_selected;
    const int length = row ? m_grid.totalColumns() : m_grid.totalRows();
    const int end = ((row ? from.x() : from.y()) - 1 + steps % length + length) % length + 1;
    const LineMove move{from, row ? CellPos(end, from.y()) : CellPos(from.x(), end), axis, steps};
    m_history.record(move);
    return slide(move);
}

bool Puzzle::canUndo() const
{
    return isPlaying() && m_history.canUndo();
}

bool Puzzle::canRedo() const
{
    return isPlaying() && m_history.canRedo();
}

bool Puzzle::undoMove()
{
    if (!canUndo())
        return false;
    return slide(m_history.takeUndo()->reversed());
}

bool Puzzle::redoMove()
{
    if (!canRedo())
        return false;
    return slide(*m_history.takeRedo());
}

bool Puzzle::slide(const LineMove &move)
{
    if (!inGrid(move.from) || !inGrid(move.to))
        return m_solved;
    select(move.from);
    // Held as the pointer holds a caught cell, so that the moving cell wears the same frame as in a drag.
    m_dragState = DragState::Caught;
    drawCell(m_selected, false);
    const bool row = move.axis == LineAxis::Row;
    m_dragState = row ? DragState::Row : DragState::Column;
    captureStrip();
    m_slideMove = move;
    m_slideFrame = 1;
    m_animation = PuzzleAnimation::Slide;
    showSlideFrame();
    startAnimation(PuzzleAnimation::Slide);
    return m_solved;
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
    drawCell(m_grid.home(p).value_or(NoCell), true);
    // The flash stays for AdviceMs; the drawing without it comes back as the animation's end.
    startAnimation(PuzzleAnimation::Advice);
}
