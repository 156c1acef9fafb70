// SPDX-License-Identifier: GPL-3.0-or-later
// The game's moves and time, kept by spans of running time so that pauses cost nothing.
#include "PlayClock.h"

#include <chrono>

namespace quorra {

PlayClock::PlayClock(TimeSource now)
{
    setTimeSource(std::move(now));
}

void PlayClock::setTimeSource(TimeSource now)
{
    m_now = std::move(now);
    if (!m_now)
        m_now = [] {
            return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count());
        };
    restart();
}

void PlayClock::restart()
{
    m_moves = 0;
    m_banked = 0;
    m_finished = false;
    m_spanStart = m_now();
    follow();
}

void PlayClock::resume(int moves, qint64 elapsedMs)
{
    restart();
    m_moves = qMax(0, moves);
    m_banked = qMax<qint64>(0, elapsedMs);
}

void PlayClock::countMove()
{
    if (!m_finished)
        ++m_moves;
}

void PlayClock::finish()
{
    if (m_finished)
        return;
    // Stopped first, so the result's time is the one at the winning move.
    m_finished = true;
    follow();
}

void PlayClock::setWindowActive(bool active)
{
    m_windowActive = active;
    follow();
}

void PlayClock::setMinimised(bool minimised)
{
    m_minimised = minimised;
    follow();
}

void PlayClock::setPlaying(bool playing)
{
    m_playing = playing;
    follow();
}

qint64 PlayClock::elapsedMs() const
{
    return m_running ? m_banked + (m_now() - m_spanStart) : m_banked;
}

void PlayClock::follow()
{
    const bool run = m_windowActive && !m_minimised && m_playing && !m_finished;
    if (run == m_running)
        return;
    if (run)
        m_spanStart = m_now();
    else
        m_banked += m_now() - m_spanStart;
    m_running = run;
}

} // namespace quorra
