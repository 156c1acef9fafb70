// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the puzzle's animations over time from the window's event loop: one step per timer tick.
#pragma once

#include <QObject>
#include <QTimer>
#include <array>

namespace quorra {

class CommandGuard;
class Puzzle;
enum class PuzzleAnimation : quint8;

class PuzzleAnimator : public QObject
{
    Q_OBJECT

public:
    // A step that fails is reported through Guard and ends the animation.
    explicit PuzzleAnimator(CommandGuard &guard, QObject *parent = nullptr);

    // Takes over the animation Puzzle has just begun. A pace of 0 runs it through before this returns.
    void start(Puzzle *puzzle);
    // Shows at once what remains, as when the puzzle is about to go.
    void finish();
    bool isRunning() const { return m_puzzle != nullptr; }

    // How long each step of that kind stays on screen; a negative pace is the one the puzzle reports.
    void setStepMs(PuzzleAnimation animation, int milliseconds);
    int stepMs(PuzzleAnimation animation) const;

signals:
    // The animation has ended; the puzzle takes moves again.
    void finished();

private:
    // Shows steps until one has to stay on screen for a while, or the animation is over.
    void run();
    void tick();
    void end();

    CommandGuard &m_guard;
    Puzzle *m_puzzle = nullptr;
    QTimer m_timer;
    std::array<int, 4> m_stepMs{-1, -1, -1, -1};
};

} // namespace quorra
