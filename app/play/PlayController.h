// SPDX-License-Identifier: GPL-3.0-or-later
// Play on the picture: catching a cell, dragging its line, snapping, releasing, advice and victory, with the
// pointer, the cursors and the sounds that go with them.
#pragma once

#include "PointerControl.h"
#include "SelectionSlide.h"
#include "SoundPlayer.h"

#include <QMetaObject>
#include <QObject>
#include <array>
#include <functional>
#include <memory>

class QWidget;

namespace quorra {

class CommandGuard;
class PictureView;
class Puzzle;

class PlayController : public QObject
{
    Q_OBJECT

public:
    enum class Sound { Move, Advice, Victory };
    // Makes one sound player; the controller asks for three and opens each on its file.
    using SoundFactory = std::function<std::unique_ptr<SoundPlayer>()>;

    // View shows the puzzle inside Window; Puzzle gives the one being played (null when there is none) and
    // SoundOn whether sounds are wanted. Every mouse handler runs inside Guard.
    PlayController(PictureView *view, QWidget *window, CommandGuard &guard, std::function<Puzzle *()> puzzle,
                   std::function<bool()> soundOn);
    ~PlayController() override;

    // Opens the three sounds once; a sound that cannot be opened stays silent for the whole run.
    void openSounds(const SoundFactory &factory);
    // Gets the open sounds ready to play at once; until then the first play of each gets itself ready.
    void prepareSounds();
    SoundPlayer *sound(Sound which) const { return m_sounds.at(std::size_t(which)).get(); }
    void playIfOn(Sound which);

    // Warps and confines the system pointer; tests put one in that only records.
    void setPointerControl(std::unique_ptr<PointerControl> control) { m_pointer = std::move(control); }
    // Lets the pointer go wherever it is held.
    void freePointer();
    // Ends whatever a caught cell holds on screen (cursor, confinement), as when the puzzle goes away mid-move.
    void dropHold();

    // The picture's mouse, in bitmap pixels.
    void press(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void move(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void release(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    // The pointer moved over the window or the panel, off the picture.
    void leave();

    // Takes the last move back, or makes the last one taken back again, shown and heard as a move is.
    void undo();
    void redo();
    // The picture's keyboard: arrows move the selection, Shift with an arrow turns the selected cell's row or
    // column one cell that way, Space and the menu key show the advice for it. False for a key it leaves alone.
    bool key(int key, Qt::KeyboardModifiers modifiers);
    // The picture took the keyboard focus: with nothing selected, the top-left cell is.
    // The button or key that asked for the advice is let go.
    void letGoOfAdvice();
    void focusEntered();

    // The puzzle's animation has ended: a slide under way is now a move.
    void animationEnded();

    // The picture's mouse reaches the handlers only while a game is being played.
    void attachMouse();
    void detachMouse();

signals:
    // A move changed the arrangement; the victory follows it when it solved the puzzle.
    void moveCommitted();
    void victoryShown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The puzzle when a move may start now: one being played, no cell held by the pointer, no handler at work.
    Puzzle *puzzleForMove() const;
    // Makes a move of Puzzle's with its sound, and the victory when the move solved it, once its line has
    // slid into place.
    void makeMove(Puzzle &puzzle, const std::function<void(Puzzle &)> &move);
    // Counts the move that has settled, and shows the victory when it solved the puzzle.
    void moveSettled();
    // Commits the dragged line at that position; true when that solved the puzzle.
    bool commit(Puzzle *puzzle, int x, int y);
    // The window's side of a move: the caught cell, the pointer and the screen-wide cursor. A cell caught again
    // after its line snapped (OnLine) keeps to that line.
    enum class Catch { Free, OnLine };
    void catchCell(Catch how = Catch::Free);
    void releaseCell();
    // Picture coordinates; a width or height of 0 is a one-pixel line.
    void confine(int left, int top, int width, int height);
    void setScreenCursor(Qt::CursorShape shape);
    // Run right after the commit that solved the puzzle.
    void victory();
    // Nobody may play: no puzzle, one being edited, or one solved.
    bool isClosed(const Puzzle *puzzle) const;

    PictureView *m_view;
    QWidget *m_window;
    CommandGuard &m_guard;
    std::function<Puzzle *()> m_puzzle;
    std::function<bool()> m_soundOn;
    std::array<std::unique_ptr<SoundPlayer>, 3> m_sounds;
    std::unique_ptr<PointerControl> m_pointer;
    SelectionSlide m_selectionSlide;
    // Set while a handler works on the puzzle; a handler that finds it set does nothing.
    bool m_busy = false;
    // A line slides on screen for a move made from the keyboard or by undo and redo.
    bool m_sliding = false;
    bool m_mouseAttached = false;
    Qt::CursorShape m_screenCursor = Qt::ArrowCursor;
    QMetaObject::Connection m_pressConnection;
    QMetaObject::Connection m_moveConnection;
    QMetaObject::Connection m_releaseConnection;

    friend class PlayControllerProbe; // the tests' one look inside
};

} // namespace quorra
