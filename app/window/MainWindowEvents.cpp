// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Qt events: its own moments (first show, first activation, close) and the events it forwards to
// its parts (the pointer over the window, activation and state, drag and drop).
#include "MainWindow.h"

#include "CommandGuard.h"
#include "Documents.h"
#include "PlayStatus.h"
#include "SettingsKeeper.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QShowEvent>
#include <QTimer>

namespace quorra {

// ---- The window's own moments ----

QMenu *MainWindow::createPopupMenu()
{
    // The tool bar is part of the window's design; it is not offered for hiding.
    return nullptr;
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // The window appears first; the puzzle named on the command line follows from the event loop.
    QTimer::singleShot(0, this, [this] { onFirstShow(); });
}

void MainWindow::onFirstShow()
{
    if (!m_commandLinePuzzle.isEmpty())
        guarded([this] { m_documents->openPuzzleFile(m_commandLinePuzzle); });
    const auto rest = [this] {
        m_firstShowDone = true;
        // The sounds' audio output starts once the window and its puzzle are on screen.
        QTimer::singleShot(0, this, [this] { m_play->prepareSounds(); });
        // The focus may have come before the puzzle was opened; the demo still follows it.
        if (isActiveWindow())
            QTimer::singleShot(0, this, [this] { onFirstActivation(); });
        else if (!isMinimized())
            // Asked for, as a window system without a window manager hands it to nobody.
            activateWindow();
    };
    // The puzzle is decoded on a worker thread; what follows waits until it is on screen.
    if (m_documents->isLoading())
        connect(m_documents.get(), &Documents::loadFinished, this, rest, Qt::SingleShotConnection);
    else
        rest();
}

void MainWindow::onFirstActivation()
{
    // Modal windows give the focus back without a new activation, and the program has no other windows: the
    // demo comes up once, at start.
    if (m_activated)
        return;
    m_activated = true;
    if (m_commands->isChecked(Command::ShowAtStart))
        guarded([this] { showExample(); });
}

void MainWindow::setVisible(bool visible)
{
    // Applied before the window first appears, so it never jumps from the system's place to the stored one.
    if (visible && !m_settings->isRestored())
        m_guard->reported([this] { m_settings->restore(); });
    QMainWindow::setVisible(visible);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A tangle, a slide or the advice on screen runs in the event loop; the window outlives it, and closes when
    // it ends.
    if (m_suspended || m_documents->isAnimating()) {
        m_closeRequested = true;
        event->ignore();
        return;
    }
    bool canClose = false;
    guarded([this, &canClose] { canClose = m_documents->confirmSave(); });
    if (!canClose) {
        event->ignore();
        return;
    }
    // Saved on the way, the puzzle is tangled on screen first.
    if (m_suspended || m_documents->isAnimating()) {
        m_closeRequested = true;
        event->ignore();
        return;
    }
    keepGame();
    // Told if it fails; the window closes all the same.
    m_guard->reported([this] { m_settings->save(false); });
    event->accept();
}

// ---- Events forwarded to the parts ----

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    guarded([this] { m_play->leave(); });
    QMainWindow::mouseMoveEvent(event);
}

void MainWindow::changeEvent(QEvent *event)
{
    if (m_status && (event->type() == QEvent::ActivationChange || event->type() == QEvent::WindowStateChange))
        m_status->setWindowState(isActiveWindow(), isMinimized());
    // The check mark says what the window is, however it came to be so (the window manager's own keys too).
    if (m_commands && event->type() == QEvent::WindowStateChange)
        m_commands->action(Command::FullScreen)->setChecked(isFullScreen());
    if (event->type() == QEvent::ActivationChange) {
        if (!isActiveWindow())
            m_play->freePointer();
        else if (m_firstShowDone && !m_activated)
            QTimer::singleShot(0, this, [this] { onFirstActivation(); });
    }
    QMainWindow::changeEvent(event);
}

bool MainWindow::acceptsDrop(const QMimeData *data) const
{
    // Every local file is taken, so that one of the wrong kind can be told why it was refused.
    return !m_suspended && !DroppedFileName::of(data).isEmpty();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (acceptsDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dragMoveEvent(QDragMoveEvent *event)
{
    if (acceptsDrop(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QByteArray name = DroppedFileName::of(event->mimeData());
    if (m_suspended || name.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_documents->takeDrop(m_droppedNames.openable(name));
}

} // namespace quorra
