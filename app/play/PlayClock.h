// SPDX-License-Identifier: GPL-3.0-or-later
// The moves and the time of the game on screen: what counts as a move and when the time runs.
#pragma once

#include <QtGlobal>
#include <functional>

namespace quorra {

class PlayClock
{
public:
    // Milliseconds from any fixed origin, never going back.
    using TimeSource = std::function<qint64()>;

    // Without a time source the clock reads the system's monotonic clock.
    explicit PlayClock(TimeSource now = {});
    // Reads another clock from now on, starting again from zero.
    void setTimeSource(TimeSource now);

    // A new or opened puzzle, or a new tangle: no moves, no time, and no victory yet.
    void restart();
    // A game kept from before goes on from its moves and time, as a restart does otherwise.
    void resume(int moves, qint64 elapsedMs);
    // Every committed move counts, an undone or redone one too; after the victory nothing counts any more.
    void countMove();
    // The victory: the clock stops for good, until the next restart.
    void finish();

    // The time runs only while all of these hold: a player cannot be playing a window that is not in front,
    // and a puzzle being set up, tangled or already solved is not being played.
    void setWindowActive(bool active);
    void setMinimised(bool minimised);
    void setPlaying(bool playing);

    int moves() const { return m_moves; }
    qint64 elapsedMs() const;
    bool isRunning() const { return m_running; }
    bool isFinished() const { return m_finished; }

private:
    // Starts or stops the running span as the conditions now say.
    void follow();

    TimeSource m_now;
    int m_moves = 0;
    // The time of the spans that have ended, and where the running one began.
    qint64 m_banked = 0;
    qint64 m_spanStart = 0;
    bool m_running = false;
    bool m_finished = false;
    bool m_windowActive = false;
    bool m_minimised = false;
    bool m_playing = false;
};

} // namespace quorra
