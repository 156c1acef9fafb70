// SPDX-License-Identifier: GPL-3.0-or-later
// The puzzle object's play shown: tangling, hover and catch, the sliding line, committed moves and the advice flash.
#include "Puzzle.h"

#include "Lcg.h"
#include "WorkingBitmap.h"

#include <QScopeGuard>

#include <algorithm>
#include <cstring>

namespace quorra {

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

bool Puzzle::resume(const KeptGame &game)
{
    finishAnimation();
    const TileGrid::Record &mine = grid().record();
    const TileGrid::Record &kept = game.grid.record();
    if (mine.rows != kept.rows || mine.columns != kept.columns || mine.extraRow != kept.extraRow
        || mine.extraColumn != kept.extraColumn
        || !std::equal(&mine.target[0][0], &mine.target[0][0] + std::ptrdiff_t(MaxGrid) * MaxGrid, &kept.target[0][0]))
        return false;
    m_drag.letGo();
    m_game.resume(game);
    rebuild();
    return true;
}

bool Puzzle::restart()
{
    if (!canRestart())
        return false;
    m_game.restart();
    renderAll();
    notifyStateChanged();
    return true;
}

void Puzzle::showTangleStep()
{
    const TangleShift &shift = m_tangleShifts[m_tangleNext++];
    m_game.tangleStep(shift);
    renderAll();
    emit tangleStepped();
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
    emit animationStarted();
    if (!m_animatedByOwner)
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
        m_drag.letGo();
        drawCell(selected(), false);
        return false;
    case PuzzleAnimation::Advice:
        // Held, the flash stays past its AdviceMs; let go after them, it ends at once (holdAdvice).
        m_adviceShownLongEnough = true;
        if (m_adviceHeld) {
            ended.dismiss();
            return true;
        }
        m_animation = PuzzleAnimation::None;
        renderAll();
        return false;
    }
    return false;
}

void Puzzle::finishAnimation()
{
    m_adviceHeld = false;
    while (advance()) {
    }
}

void Puzzle::hoverAt(int x, int y)
{
    const CellPos before = selected();
    m_drag.hover({x, y});
    redrawSelection(before);
}

void Puzzle::redrawSelection(CellPos before)
{
    if (selected() == before)
        return;
    drawCell(before, false);
    drawCell(selected(), false);
}

DragStep Puzzle::pointerMoved(int x, int y)
{
    const CellPos before = selected();
    const DragStep step = m_drag.move({x, y});
    switch (step.kind) {
    case DragStep::Kind::Hovered:
        redrawSelection(before);
        break;
    case DragStep::Kind::LineChosen:
        captureStrip();
        notifyStateChanged();
        break;
    case DragStep::Kind::Shifted:
        renderDrag(x, y);
        break;
    case DragStep::Kind::Nothing:
    case DragStep::Kind::Snapped:
        break;
    }
    return step;
}

void Puzzle::catchSelected()
{
    m_drag.catchSelected();
    notifyStateChanged();
}

void Puzzle::catchSelectedOnLine()
{
    m_drag.catchOnLine();
    notifyStateChanged();
}

void Puzzle::deselect()
{
    const CellPos old = selected();
    m_game.select(NoCell);
    drawCell(old, false);
}

bool Puzzle::tryStartDrag(int x, int y)
{
    if (!m_drag.tryStartDrag({x, y}))
        return false;
    captureStrip();
    notifyStateChanged();
    return true;
}

void Puzzle::captureStrip()
{
    settleLine();
    if (dragState() == DragState::Row)
        copyBlock(*m_display, QRect(0, (selected().y() - 1) * cellHeight(), m_rowStrip.width(), m_rowStrip.height()),
                  m_rowStrip, QPoint(0, 0));
    else if (dragState() == DragState::Column)
        copyBlock(*m_display,
                  QRect((selected().x() - 1) * cellWidth(), 0, m_columnStrip.width(), m_columnStrip.height()),
                  m_columnStrip, QPoint(0, 0));
}

void Puzzle::renderDrag(int x, int y)
{
    // Called for every pointer move of a drag: nothing allocated, and with an owner that paints the line itself
    // nothing copied either.
    MovingLine line;
    if (dragState() == DragState::Row) {
        const int w = std::min(m_rowStrip.width(), m_display->width());
        const int top = (selected().y() - 1) * cellHeight();
        const int lines = std::min(m_rowStrip.height(), m_display->height() - top);
        if (w <= 0 || top < 0 || lines <= 0)
            return;
        line = {QRect(0, top, w, lines), &m_rowStrip, Qt::Horizontal, m_drag.shiftAlong({x, y}, w)};
    } else if (dragState() == DragState::Column) {
        const int h = std::min(m_columnStrip.height(), m_display->height());
        const int left = (selected().x() - 1) * cellWidth();
        const int wide = std::min(m_columnStrip.width(), m_display->width() - left);
        if (h <= 0 || left < 0 || wide <= 0)
            return;
        line = {QRect(left, 0, wide, h), &m_columnStrip, Qt::Vertical, m_drag.shiftAlong({x, y}, h)};
    } else {
        return;
    }
    m_line = line;
    m_linePending = true;
    if (!m_paintsMovingLine)
        settleLine();
    emit displayChanged(line.band);
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

void Puzzle::settle(CellPos to)
{
    showLineSettled(to);
    // Only a move made in play wins: during a tangle the grid passes through the solved arrangement.
    m_drag.settle(to, !isTangling());
    notifyStateChanged();
}

void Puzzle::showLineSettled(CellPos to)
{
    // Before the selection moves: the band and the shift are the line's as it was caught.
    const QPoint c = cellCentre(to);
    renderDrag(c.x(), c.y());
}

bool Puzzle::commit(int x, int y)
{
    const CellPos to = m_drag.landing({x, y});
    showLineSettled(to);
    const std::optional<LineMove> move = m_drag.commit(to, !isTangling());
    notifyStateChanged();
    if (move)
        notifyStateChanged();
    return isSolved();
}

void Puzzle::select(CellPos p)
{
    const CellPos before = selected();
    if (m_drag.select(p))
        redrawSelection(before);
}

void Puzzle::setSelectionFrameHidden(bool hidden)
{
    if (m_selectionFrameHidden == hidden)
        return;
    m_selectionFrameHidden = hidden;
    if (inGrid(selected()))
        redrawSelected();
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
    m_drag.catchSelected();
    drawCell(selected(), false);
    m_drag.startLine(move.axis);
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
    const QPoint at = anchor() + distance * m_slideFrame / SlideFrames;
    ++m_slideFrame;
    renderDrag(at.x(), at.y());
    emit slideStepped();
}

void Puzzle::showAdvice(int x, int y)
{
    const std::optional<CellPos> home = m_drag.adviceAt({x, y});
    if (!home || isAnimating())
        return;
    drawCell(*home, true);
    // The flash stays for AdviceMs; the drawing without it comes back as the animation's end.
    m_adviceShownLongEnough = false;
    startAnimation(PuzzleAnimation::Advice);
}

void Puzzle::holdAdvice(bool held)
{
    m_adviceHeld = held && m_animation == PuzzleAnimation::Advice;
    if (!held && m_animation == PuzzleAnimation::Advice && m_adviceShownLongEnough)
        finishAnimation();
}

} // namespace quorra
