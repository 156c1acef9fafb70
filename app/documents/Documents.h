// SPDX-License-Identifier: GPL-3.0-or-later
// The puzzle documents: New, Open, Save As, Save Image As, Send by E-Mail, the question before a puzzle is given
// up, and dropped files. Owns the puzzle on screen and the bitmap it draws into.
#pragma once

#include "CommandTable.h"
#include "PuzzleAnimator.h"
#include "WorkerTask.h"

#include "PuzzleDocument.h"
#include "SourcePicture.h"

#include <QImage>
#include <QObject>
#include <functional>
#include <memory>

namespace quorra {

class CommandGuard;
class Dialogs;
class MailSender;
class PictureLayout;
class PlayController;
class Puzzle;

class Documents : public QObject
{
    Q_OBJECT

public:
    // What the flows learn from the window, and the commands' suspension they ask of it.
    struct Hooks {
        std::function<PuzzleSetup()> setup;
        // Whether the view keeps the puzzle fitted: an opened puzzle's first tangle renders at that scale.
        std::function<bool()> autoFit;
        // After each shown step of a tangle; told only, the steps are paced by the animator.
        std::function<void()> tangleStep;
        // After each shown frame of a line sliding by itself (keyboard play, undo, redo), as told.
        std::function<void()> slideStep;
        // The commands off while a tangle runs on screen, back on, and whether they are off now.
        std::function<void()> suspend;
        std::function<void()> resume;
        std::function<bool()> suspended;
        // The puzzle on screen is about to leave it for another one, or for none: its game may be kept.
        std::function<void()> leaving;
        // A puzzle just opened may go on with a game kept for it instead of being tangled; true when it did.
        std::function<bool()> continuing;
    };

    // Display is the bitmap on screen, which the puzzle being played draws into.
    Documents(Dialogs &dialogs, CommandGuard &guard, PictureLayout &layout, PlayController &play, QImage *display,
              Hooks hooks, QObject *parent = nullptr);
    ~Documents() override;

    // The current puzzle and its document; absent until the first New or successful Open.
    Puzzle *puzzle() const { return m_document ? &m_document->puzzle() : nullptr; }
    PuzzleDocument *document() const { return m_document.get(); }
    // The window's title for the puzzle on screen.
    QString title() const;
    // Hands the puzzle file to the desktop's mail program.
    MailSender *mailSender() const { return m_mail; }

    // The Puzzle commands. New and Open ask for their file first, then decode it on a worker thread, with the
    // commands off and a busy cursor, and finish on this thread when it is done (loadFinished).
    void newPuzzle();
    void newPuzzleFromPicture(const QString &path);
    void open();
    void openPuzzleFile(const QString &path);
    // Saves through the Save As dialog; false when the dialog was cancelled.
    bool saveAs();
    void saveImageAs();
    void sendByEMail();
    // The puzzle's file as a page that plays it in any browser; like the mail, only a puzzle that matches its file.
    void saveAsWebPage();
    // A picture or puzzle file is being decoded for New or Open.
    bool isLoading() const { return m_load.isRunning(); }
    // Shows the puzzle's tangles, slides and advice over time; the window sets its paces.
    PuzzleAnimator &animator() { return m_animator; }
    bool isAnimating() const { return m_animator.isRunning(); }
    // Runs Then now, or once the animation under way has ended (guarded as a command).
    void afterAnimation(std::function<void()> then);
    // The window has nothing under way any more: a dropped file that waits for that is taken now.
    void announceIdle() { emit windowIdle(); }
    // Cuts the puzzle anew as the commands say now.
    void resplit();
    // True when the caller may go on and discard the current puzzle.
    bool confirmSave();

    // A file dropped on the window: a puzzle file is opened, a picture makes a new puzzle, anything else is
    // refused with a message.
    void dropFile(const QString &path);
    // Runs DropFile once the drop has ended and no command is under way.
    void takeDrop(const QString &path);

signals:
    void titleChanged(const QString &title);
    // Another puzzle is on screen, made or opened.
    void puzzleReplaced();
    // The decode of New or Open has ended and its outcome was handled, whatever it was, the tangle it showed
    // included.
    void loadFinished();
    // See announceIdle; also when an animation ends.
    void windowIdle();
    // What the commands are enabled by may have changed: the puzzle on screen told so, was replaced or dropped,
    // a load started or ended, an animation ended. Perhaps several times for one change.
    void stateChanged();
    // The picture on screen changed: a cell drawn anew, the selection moved, a line dragged.
    void displayChanged();

private:
    std::unique_ptr<PuzzleDocument> createDocument();
    void adopt(std::unique_ptr<PuzzleDocument> newDocument);
    // Puts back the puzzle an opening replaced, when the new one could not be shown after all.
    void bringBack(std::unique_ptr<PuzzleDocument> previous);
    void dropPuzzle();
    // The puzzle on screen ends what it shows and lets go of the pointer, and its owner may keep its game.
    void leave();
    void setUp(PuzzleDocument &document);
    void announceTitle();
    void runDrop(const QString &path);
    // Starts Work on a worker thread with the commands off and a busy cursor; Done then runs as a command does.
    template <typename T>
    void load(std::function<T()> work, std::function<void(WorkerOutcome<T>)> done);
    void finishNew(const QString &path, QSize panel, bool autoFit, WorkerOutcome<std::optional<SourcePicture>> read);
    // Puts a new puzzle read from its picture on screen, set up for editing.
    void showNew(std::unique_ptr<PuzzleDocument> newDocument);
    // Opens the file once the question about the current puzzle has been answered.
    void readPuzzleFile(const QString &path);
    void finishOpen(const QString &path, QSize panel, bool autoFit, WorkerOutcome<PuzzleDocument::Reading> read);

    Dialogs &m_dialogs;
    CommandGuard &m_guard;
    PictureLayout &m_layout;
    PlayController &m_play;
    QImage *m_display;
    Hooks m_hooks;
    MailSender *m_mail;
    std::unique_ptr<PuzzleDocument> m_document;
    // A new puzzle waiting for the tangle of the one saved before it to end.
    std::unique_ptr<PuzzleDocument> m_waiting;
    // A puzzle being loaded draws here, so the one on screen stays untouched until the load has succeeded.
    QImage m_candidateDisplay;
    // The concealment texture every puzzle tiles.
    QImage m_texture;
    // The decode of New or Open under way; it goes with the window.
    WorkerTask m_load;
    PuzzleAnimator m_animator;
};

} // namespace quorra
