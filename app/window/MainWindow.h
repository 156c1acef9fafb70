// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: owns the widgets and composes the commands, the view, the documents, play and the settings.
#pragma once

#include "CommandTable.h"
#include "Dialogs.h"
#include "DroppedFileName.h"
#include "PlayController.h"

#include "core/CellPos.h"

#include <QImage>
#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>

class QMimeData;

namespace quorra {

class CommandGuard;
class DesktopOpener;
class Documents;
class GameKeeper;
class PictureLayout;
class PicturePanel;
class PictureView;
class PlayStatus;
class SettingsKeeper;
class VictoryBanner;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    using SoundFactory = PlayController::SoundFactory;

    // Without Dialogs the window uses real Qt dialogs parented to itself; without Sounds it plays through the
    // system's audio.
    explicit MainWindow(std::unique_ptr<Dialogs> dialogs = nullptr, QWidget *parent = nullptr);
    MainWindow(std::unique_ptr<Dialogs> dialogs, const SoundFactory &sounds, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The parts the window is made of.
    Dialogs &dialogs() const { return *m_dialogs; }
    CommandTable &commands() const { return *m_commands; }
    Documents &documents() const { return *m_documents; }
    PictureLayout &pictureLayout() const { return *m_layout; }
    PlayController &play() const { return *m_play; }
    SettingsKeeper &settings() const { return *m_settings; }
    PlayStatus &playStatus() const { return *m_status; }
    GameKeeper &gameKeeper() const { return *m_keeper; }
    VictoryBanner *victoryBanner() const { return m_banner; }
    PicturePanel *picturePanel() const { return m_panel; }
    PictureView *pictureView() const { return m_view; }

    // The puzzle file named on the command line, opened when the window is first shown.
    void setCommandLinePuzzle(const QString &path) { m_commandLinePuzzle = path; }
    // How long each shown step of a tangle stays on screen, so that a person can follow it; 0 shows the whole
    // tangle before the command returns. The puzzle's own pace unless set.
    void setTangleStepMs(int milliseconds);
    // How long each frame of a line sliding by itself stays on screen; tests take 0.
    void setSlideFrameMs(int milliseconds);
    // How long the advice flash stays on screen; tests take 0.
    void setAdviceMs(int milliseconds);

    // Recomputes every command's enabled state from the puzzle; runs once after the game's state has changed.
    void updateCommands();
    // The board's accessible description follows the game; a screen reader hears each change (a selection moved
    // by the keyboard or the pointer included).
    void describeBoard();
    bool updateHandlerInstalled() const { return m_updateInstalled; }
    // How many updates the state's changes have brought; lets tests see that an idle program stays idle.
    quint64 updatePasses() const { return m_updatePasses; }

    // Every command handler runs inside this: an error ends the command and is reported, the program goes on.
    void guarded(const std::function<void()> &handler);

    // What the commands of the same names do, for their rows in the command list.
    void tangle();
    void restartGame();
    void showExample();
    void showHelp();

    void setVisible(bool visible) override;

signals:
    // After each shown step of a tangle, as it appears.
    void tangleStepped();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    QMenu *createPopupMenu() override;

private:
    void createParts(const SoundFactory &sounds);
    void bindCommands();
    // Connects Row's command to its handler, which runs guarded and learns which command was invoked.
    void bind(const CommandRow &row);
    // The state has changed: one update follows once the handler that changed it has returned.
    void scheduleUpdate();
    void runScheduledUpdate();
    void onFirstShow();
    void onFirstActivation();
    // Everything off while a tangle runs on screen, and back on when it ends; nested calls count.
    void suspendCommands();
    void resumeCommands();
    // Closes the window when a close was asked for while something was under way that has ended now.
    void closeIfRequested();
    // The game on screen is kept if it is one to come back to; told, never fatal.
    void keepGame();
    void showTangleStep();
    bool acceptsDrop(const QMimeData *data) const;

    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<CommandGuard> m_guard;
    // The bitmap on screen: the current puzzle's display.
    QImage m_display;
    PicturePanel *m_panel = nullptr;
    PictureView *m_view = nullptr;
    CommandTable *m_commands = nullptr;
    std::unique_ptr<Documents> m_documents;
    std::unique_ptr<PictureLayout> m_layout;
    std::unique_ptr<PlayController> m_play;
    std::unique_ptr<SettingsKeeper> m_settings;
    std::unique_ptr<PlayStatus> m_status;
    std::unique_ptr<GameKeeper> m_keeper;
    VictoryBanner *m_banner = nullptr;
    DesktopOpener *m_helpOpener = nullptr;
    // What the board's accessible description was last composed from.
    struct BoardFacts {
        const Puzzle *puzzle = nullptr;
        int rows = 0;
        int columns = 0;
        CellPos selected;
        QString status;
        bool operator==(const BoardFacts &) const = default;
    };
    BoardFacts m_describedFacts;
    // Zero-interval and single-shot, so that the many changes of one handler bring one update.
    QTimer m_updateTimer;
    quint64 m_updatePasses = 0;
    QString m_commandLinePuzzle;
    DroppedFileName m_droppedNames;
    bool m_updateInstalled = true;
    bool m_suspended = false;
    int m_suspensions = 0;
    // The window manager asked to close while a tangle, a slide, the advice or a save ran; the window closes once
    // it ends.
    bool m_closeRequested = false;
    bool m_shown = false;
    // The first show has been handled, and the first activation after it.
    bool m_firstShowDone = false;
    bool m_activated = false;
};

} // namespace quorra
