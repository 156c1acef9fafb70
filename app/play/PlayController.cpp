// SPDX-License-Identifier: GPL-3.0-or-later
// The game's mouse: catch, drag, snap and release on the picture, advice and victory, the pointer and the sounds.
#include "PlayController.h"

#include "CommandGuard.h"
#include "LogCategory.h"
#include "PictureView.h"
#include "ProgramResources.h"
#include "Puzzle.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScopeGuard>
#include <QWidget>

namespace quorra {

PlayController::PlayController(PictureView *view, QWidget *window, CommandGuard &guard,
                               std::function<Puzzle *()> puzzle, std::function<bool()> soundOn)
    : m_view(view),
      m_window(window),
      m_guard(guard),
      m_puzzle(std::move(puzzle)),
      m_soundOn(std::move(soundOn)),
      m_pointer(std::make_unique<PointerControl>()),
      m_selectionSlide(view)
{
    m_view->installEventFilter(this);
    m_view->setTravellingFrame([this] { return m_selectionSlide.frame(); });
}

PlayController::~PlayController() = default;

void PlayController::openSounds(const SoundFactory &factory)
{
    // Nobody is told of a sound that cannot be opened.
    auto open = [&factory](const char *name) {
        std::unique_ptr<SoundPlayer> player = factory();
        if (player) {
            try {
                player->open(programResource(QStringLiteral("Sounds/") + QLatin1String(name)));
            } catch (...) {
                qCWarning(lcQuorra, "The sound %s stays silent: it could not be opened (%s)", name,
                          qUtf8Printable(handledErrorText()));
            }
        }
        return player;
    };
    m_sounds[std::size_t(Sound::Move)] = open("Move.wav");
    m_sounds[std::size_t(Sound::Advice)] = open("Advice.wav");
    m_sounds[std::size_t(Sound::Victory)] = open("Victory.wav");
}

void PlayController::prepareSounds()
{
    for (const std::unique_ptr<SoundPlayer> &player : m_sounds) {
        if (!player)
            continue;
        try {
            player->prepare();
        } catch (...) {
            // A sound that cannot be made ready stays silent, as one that cannot be opened.
            qCWarning(lcQuorra, "A sound stays silent: it could not be made ready (%s)",
                      qUtf8Printable(handledErrorText()));
        }
    }
}

void PlayController::playIfOn(Sound which)
{
    SoundPlayer *player = sound(which);
    if (!player || !m_soundOn())
        return;
    try {
        player->play();
    } catch (...) {
        // A sound never stands in the way of a move.
        qCWarning(lcQuorra, "A sound was not played (%s)", qUtf8Printable(handledErrorText()));
    }
}

bool PlayController::isClosed(const Puzzle *puzzle) const
{
    return !puzzle || puzzle->isEditMode() || puzzle->isSolved() || puzzle->isAnimating();
}

void PlayController::move(Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y)
{
    // The pointer takes the selection over: the frame stops travelling and lands.
    m_selectionSlide.finish();
    m_guard.run([this, x, y] {
        Puzzle *puzzle = m_puzzle();
        if (isClosed(puzzle)) {
            if (m_view->cursor().shape() != Qt::PointingHandCursor)
                m_view->setCursor(Qt::PointingHandCursor);
            return;
        }
        if (m_busy)
            return;
        m_busy = true;
        const auto done = qScopeGuard([this] { m_busy = false; });

        const DragStep step = puzzle->pointerMoved(x, y);
        if (step.kind == DragStep::Kind::LineChosen) {
            // Held on the chosen line before it is first shown.
            setScreenCursor(Qt::ClosedHandCursor);
            const QPoint c = puzzle->selectedCentre();
            if (puzzle->dragState() == DragState::Row)
                confine(0, c.y(), puzzle->display().width(), 0);
            else
                confine(c.x(), 0, 0, puzzle->display().height());
            puzzle->renderDrag(x, y);
        } else if (step.kind == DragStep::Kind::Snapped) {
            playIfOn(Sound::Move);
            const bool won = commit(puzzle, step.at.x, step.at.y);
            catchCell(Catch::OnLine);
            if (won)
                victory();
        }
    });
}

void PlayController::press(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    m_selectionSlide.finish();
    m_guard.run([this, button, x, y] {
        Puzzle *puzzle = m_puzzle();
        if (isClosed(puzzle) || m_busy)
            return;
        m_busy = true;
        const auto done = qScopeGuard([this] { m_busy = false; });

        if (button == Qt::RightButton) {
            playIfOn(Sound::Advice);
            puzzle->showAdvice(x, y);
            puzzle->holdAdvice(true);
        } else if (button == Qt::LeftButton && puzzle->dragState() == DragState::Idle) {
            puzzle->hoverAt(x, y);
            catchCell();
        }
    });
}

void PlayController::release(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    m_guard.run([this, button, x, y] {
        if (button == Qt::RightButton)
            letGoOfAdvice();
        if (button != Qt::LeftButton)
            return;
        // Freed before anything else is looked at, Busy included: a left release must never leave the pointer held.
        freePointer();
        if (m_busy)
            return;
        Puzzle *puzzle = m_puzzle();
        if (isClosed(puzzle))
            return;
        m_busy = true;
        const auto done = qScopeGuard([this] { m_busy = false; });

        const DragState was = puzzle->dragState();
        bool won = false;
        if (was == DragState::Row || was == DragState::Column) {
            playIfOn(Sound::Move);
            won = commit(puzzle, x, y);
        }
        if (was != DragState::Idle) {
            releaseCell();
            puzzle->redrawSelected();
        }
        if (won)
            victory();
    });
}

bool PlayController::commit(Puzzle *puzzle, int x, int y)
{
    // A line let go where it was caught has not moved, and is no move.
    const CellPos from = puzzle->selected();
    const bool won = puzzle->commit(x, y);
    if (puzzle->selected() != from)
        emit moveCommitted();
    return won;
}

void PlayController::leave()
{
    // A caught cell keeps its selection: the drag that holds it still needs it.
    Puzzle *puzzle = m_puzzle();
    if (puzzle && !m_busy && puzzle->dragState() == DragState::Idle)
        puzzle->deselect();
    freePointer();
}

Puzzle *PlayController::puzzleForMove() const
{
    Puzzle *puzzle = m_puzzle();
    if (isClosed(puzzle) || m_busy || puzzle->dragState() != DragState::Idle)
        return nullptr;
    return puzzle;
}

void PlayController::makeMove(Puzzle &puzzle, const std::function<void(Puzzle &)> &move)
{
    m_busy = true;
    const auto done = qScopeGuard([this] { m_busy = false; });
    m_selectionSlide.finish();
    playIfOn(Sound::Move);
    move(puzzle);
    if (puzzle.isAnimating())
        m_sliding = true;
    else
        moveSettled();
}

void PlayController::moveSettled()
{
    // Taken back or made again, a move counts as one.
    emit moveCommitted();
    if (Puzzle *puzzle = m_puzzle(); puzzle && puzzle->isSolved())
        victory();
}

void PlayController::animationEnded()
{
    if (!m_sliding)
        return;
    m_sliding = false;
    m_guard.run([this] { moveSettled(); });
}

void PlayController::undo()
{
    m_guard.run([this] {
        if (Puzzle *puzzle = puzzleForMove(); puzzle && puzzle->canUndo())
            makeMove(*puzzle, [](Puzzle &p) { p.undoMove(); });
    });
}

void PlayController::redo()
{
    m_guard.run([this] {
        if (Puzzle *puzzle = puzzleForMove(); puzzle && puzzle->canRedo())
            makeMove(*puzzle, [](Puzzle &p) { p.redoMove(); });
    });
}

bool PlayController::key(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    if (held != Qt::NoModifier && held != Qt::ShiftModifier)
        return false;
    QPoint step;
    switch (key) {
    case Qt::Key_Left:
        step = QPoint(-1, 0);
        break;
    case Qt::Key_Right:
        step = QPoint(1, 0);
        break;
    case Qt::Key_Up:
        step = QPoint(0, -1);
        break;
    case Qt::Key_Down:
        step = QPoint(0, 1);
        break;
    case Qt::Key_Space:
    case Qt::Key_Menu:
        break;
    default:
        return false;
    }
    bool handled = false;
    m_guard.run([&] {
        Puzzle *puzzle = puzzleForMove();
        if (!puzzle)
            return;
        handled = true;
        const bool hadSelection = puzzle->inGrid(puzzle->selected());
        if (!hadSelection)
            puzzle->select(CellPos(1, 1));
        const CellPos selected = puzzle->selected();
        if (step.isNull()) {
            m_busy = true;
            const auto done = qScopeGuard([this] { m_busy = false; });
            playIfOn(Sound::Advice);
            const QPoint centre = puzzle->selectedCentre();
            puzzle->showAdvice(centre.x(), centre.y());
            puzzle->holdAdvice(true);
        } else if (held == Qt::ShiftModifier) {
            const LineAxis line = step.y() == 0 ? LineAxis::Row : LineAxis::Column;
            const int steps = step.x() + step.y();
            makeMove(*puzzle, [line, steps](Puzzle &p) { p.turnSelected(line, steps); });
        } else if (hadSelection) {
            // The selection wraps around the edges, as the lines do.
            const int columns = puzzle->grid().totalColumns();
            const int rows = puzzle->grid().totalRows();
            puzzle->select(CellPos((selected.x() - 1 + step.x() + columns) % columns + 1,
                                   (selected.y() - 1 + step.y() + rows) % rows + 1));
            m_selectionSlide.start(*puzzle, puzzle->cellRect(selected), puzzle->cellRect(puzzle->selected()));
        }
    });
    return handled;
}

void PlayController::letGoOfAdvice()
{
    if (Puzzle *puzzle = m_puzzle())
        puzzle->holdAdvice(false);
}

void PlayController::focusEntered()
{
    m_guard.run([this] {
        Puzzle *puzzle = puzzleForMove();
        if (puzzle && !puzzle->inGrid(puzzle->selected()))
            puzzle->select(CellPos(1, 1));
    });
}

bool PlayController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_view)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *press = static_cast<QKeyEvent *>(event);
        return key(press->key(), press->modifiers());
    }
    case QEvent::KeyRelease: {
        const auto *release = static_cast<QKeyEvent *>(event);
        if (!release->isAutoRepeat() && (release->key() == Qt::Key_Space || release->key() == Qt::Key_Menu))
            m_guard.run([this] { letGoOfAdvice(); });
        break;
    }
    case QEvent::FocusIn:
        focusEntered();
        break;
    case QEvent::ContextMenu:
        // The menu key is the advice key here; the window has no context menu to show instead.
        return true;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void PlayController::attachMouse()
{
    const Puzzle *puzzle = m_puzzle();
    if (puzzle && (puzzle->isEditMode() || puzzle->isSolved()))
        return;
    if (m_mouseAttached)
        return;
    m_pressConnection = connect(m_view, &PictureView::mouseDown, this, &PlayController::press);
    m_moveConnection = connect(m_view, &PictureView::mouseMove, this, &PlayController::move);
    m_releaseConnection = connect(m_view, &PictureView::mouseUp, this, &PlayController::release);
    m_mouseAttached = true;
}

void PlayController::detachMouse()
{
    if (m_mouseAttached) {
        disconnect(m_pressConnection);
        disconnect(m_moveConnection);
        disconnect(m_releaseConnection);
        m_mouseAttached = false;
    }
    // Compared first: setting a cursor posts an event even when it is the same one, and the command update runs
    // this after every change of state.
    const Puzzle *puzzle = m_puzzle();
    if (puzzle && puzzle->isSolved() && m_view->cursor().shape() != Qt::PointingHandCursor)
        m_view->setCursor(Qt::PointingHandCursor);
}

void PlayController::catchCell(Catch how)
{
    Puzzle *puzzle = m_puzzle();
    if (!puzzle || isNoCell(puzzle->selected()))
        return;
    if (how == Catch::OnLine)
        puzzle->catchSelectedOnLine();
    else
        puzzle->catchSelected();
    puzzle->redrawSelected();
    m_pointer->moveTo(m_view->mapToGlobal(m_view->toControl(puzzle->selectedCentre())).toPoint(),
                      m_window->windowHandle());
    setScreenCursor(Qt::OpenHandCursor);
    confine(0, 0, puzzle->display().width(), puzzle->display().height());
}

void PlayController::releaseCell()
{
    if (Puzzle *puzzle = m_puzzle())
        puzzle->releaseCatch();
    setScreenCursor(Qt::ArrowCursor);
    freePointer();
}

void PlayController::confine(int left, int top, int width, int height)
{
    const QPoint topLeft = m_view->mapToGlobal(m_view->toControl(QPoint(left, top))).toPoint();
    const QPoint bottomRight = m_view->mapToGlobal(m_view->toControl(QPoint(left + width, top + height))).toPoint();
    m_pointer->confine(
        QRect(topLeft, QSize(qMax(1, bottomRight.x() - topLeft.x()), qMax(1, bottomRight.y() - topLeft.y()))),
        m_window->windowHandle());
}

void PlayController::freePointer()
{
    if (m_pointer)
        m_pointer->release();
}

void PlayController::setScreenCursor(Qt::CursorShape shape)
{
    // Qt keeps a stack of override cursors; this window never holds more than one entry of it.
    if (shape == m_screenCursor)
        return;
    if (shape == Qt::ArrowCursor)
        QApplication::restoreOverrideCursor();
    else if (m_screenCursor == Qt::ArrowCursor)
        QApplication::setOverrideCursor(shape);
    else
        QApplication::changeOverrideCursor(shape);
    m_screenCursor = shape;
}

void PlayController::dropHold()
{
    setScreenCursor(Qt::ArrowCursor);
    freePointer();
}

void PlayController::victory()
{
    detachMouse();
    playIfOn(Sound::Victory);
    releaseCell();
    Puzzle *puzzle = m_puzzle();
    puzzle->deselect();
    puzzle->renderAll();
    emit victoryShown();
}

} // namespace quorra
