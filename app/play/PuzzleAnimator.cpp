// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the puzzle's animations over time from the window's event loop: one step per timer tick.
#include "PuzzleAnimator.h"

#include "CommandGuard.h"
#include "Puzzle.h"

#include <QScopeGuard>

namespace quorra {

PuzzleAnimator::PuzzleAnimator(CommandGuard &guard, QObject *parent) : QObject(parent), m_guard(guard)
{
    m_timer.setSingleShot(true);
    // A step that shows a whole picture must not wait behind the coarse timers' slack.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PuzzleAnimator::tick);
}

void PuzzleAnimator::setStepMs(PuzzleAnimation animation, int milliseconds)
{
    m_stepMs.at(std::size_t(animation)) = milliseconds;
}

int PuzzleAnimator::stepMs(PuzzleAnimation animation) const
{
    const int chosen = m_stepMs.at(std::size_t(animation));
    return chosen >= 0 ? chosen : Puzzle::stepMs(animation);
}

void PuzzleAnimator::start(Puzzle *puzzle)
{
    m_timer.stop();
    m_puzzle = puzzle;
    // A step that fails here reaches whoever began the animation, as it would without pacing.
    auto failed = qScopeGuard([this] { m_puzzle = nullptr; });
    run();
    failed.dismiss();
}

void PuzzleAnimator::run()
{
    while (m_puzzle && m_puzzle->isAnimating()) {
        const int pace = stepMs(m_puzzle->animation());
        if (pace > 0) {
            m_timer.start(pace);
            return;
        }
        m_puzzle->advance();
    }
    end();
}

void PuzzleAnimator::tick()
{
    if (!m_puzzle)
        return;
    // A failed step has ended the animation; the puzzle stays playable as it stands.
    m_guard.reported([this] { m_puzzle->advance(); });
    run();
}

void PuzzleAnimator::finish()
{
    m_timer.stop();
    if (!m_puzzle)
        return;
    m_puzzle->finishAnimation();
    end();
}

void PuzzleAnimator::end()
{
    if (!m_puzzle)
        return;
    m_puzzle = nullptr;
    emit finished();
}

} // namespace quorra
