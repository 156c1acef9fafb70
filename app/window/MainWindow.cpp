// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: creates its parts and widgets, wires them, and runs the update that follows the state and the
// commands' suspension during a tangle. Qt's events and the window's own moments are in MainWindowEvents.cpp.
#include "MainWindow.h"

#include "BoardDescription.h"
#include "CommandGuard.h"
#include "DesignScale.h"
#include "DesktopOpener.h"
#include "Documents.h"
#include "GameKeeper.h"
#include "MailSender.h"
#include "MediaSoundPlayer.h"
#include "PictureLayout.h"
#include "PicturePanel.h"
#include "PictureView.h"
#include "PlayStatus.h"
#include "ProgramInfo.h"
#include "ProgramResources.h"
#include "Puzzle.h"
#include "PuzzleDocument.h"
#include "QtDialogs.h"
#include "SettingsKeeper.h"
#include "SoundOutput.h"
#include "VictoryBanner.h"
#include "WindowTexts.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTimer>

namespace quorra {

MainWindow::MainWindow(std::unique_ptr<Dialogs> dialogs, QWidget *parent)
    : MainWindow(std::move(dialogs), SoundFactory(), parent)
{
}

MainWindow::MainWindow(std::unique_ptr<Dialogs> dialogs, const SoundFactory &sounds, QWidget *parent)
    : QMainWindow(parent), m_dialogs(std::move(dialogs))
{
    setObjectName(QStringLiteral("NimbrelMainForm"));
    if (!m_dialogs)
        m_dialogs = std::make_unique<QtDialogs>(this);
    // A pointer held on a line of the picture must be free before anything modal asks for it.
    if (auto *qtDialogs = dynamic_cast<QtDialogs *>(m_dialogs.get()))
        qtDialogs->setBeforeModal([this] { m_play->freePointer(); });
    m_guard = std::make_unique<CommandGuard>(*m_dialogs, [this] { m_play->freePointer(); });
    // A dropped file waits for no command to be under way; the pointer's moves are handlers too, so only the
    // waiting file is told, not the whole update.
    m_guard->setAllEnded([this] {
        if (m_documents)
            m_documents->announceIdle();
    });

    createParts(sounds ? sounds : SoundFactory([] { return std::make_unique<MediaSoundPlayer>(); }));
    bindCommands();
    setAcceptDrops(true);

    setWindowTitle(m_documents->title());
    m_view->resize(0, m_view->height());
    m_view->setCursor(Qt::PointingHandCursor);

    auto px = [this](int pixels) { return designPixels(pixels, this); };
    setMinimumSize(px(420), px(320));
    // A small or scaled screen may have less room than the design size.
    // The status bar comes on top of the design size, so that the picture keeps all of its room.
    const int bars = menuBar()->sizeHint().height() + statusBar()->sizeHint().height();
    resize(SettingsKeeper::fitToScreen(*this, QRect(0, 0, px(790), px(628) + bars), screen()).size());

    m_updateTimer.setSingleShot(true);
    m_updateTimer.setInterval(0);
    connect(&m_updateTimer, &QTimer::timeout, this, &MainWindow::runScheduledUpdate);
    // The commands start from the state there is, before anything has changed it.
    scheduleUpdate();
}

void MainWindow::createParts(const SoundFactory &sounds)
{
    m_commands = new CommandTable(this);
    // A menu opened from the keyboard in the middle of a drag must not find the pointer held on the line.
    connect(m_commands, &CommandTable::menuOpening, this, [this] { m_play->freePointer(); });

    m_panel = new PicturePanel(this);
    setCentralWidget(m_panel);
    m_view = new PictureView(&m_display, m_panel);
    m_view->setAccessibleName(QStringLiteral("Puzzle"));
    auto puzzle = [this] { return m_documents ? m_documents->puzzle() : nullptr; };
    auto autoFit = [this] { return m_commands->isChecked(Command::AutoBestFit); };
    m_layout = std::make_unique<PictureLayout>(m_panel, m_view, puzzle, autoFit, [this] { return m_suspended; });
    m_play = std::make_unique<PlayController>(m_view, this, *m_guard, puzzle,
                                              [this] { return m_commands->soundItem()->isChecked(); });
    m_play->openSounds(sounds);

    Documents::Hooks hooks;
    hooks.setup = [this] { return m_commands->puzzleSetup(); };
    hooks.autoFit = autoFit;
    hooks.tangleStep = [this] { showTangleStep(); };
    hooks.slideStep = [this] { m_layout->repaint(); };
    hooks.suspend = [this] { suspendCommands(); };
    hooks.resume = [this] { resumeCommands(); };
    hooks.suspended = [this] { return m_suspended; };
    hooks.leaving = [this] { keepGame(); };
    hooks.continuing = [this] { return m_keeper->resume(); };
    m_documents = std::make_unique<Documents>(*m_dialogs, *m_guard, *m_layout, *m_play, &m_display, std::move(hooks));
    connect(m_documents.get(), &Documents::titleChanged, this, &QWidget::setWindowTitle);
    connect(m_documents.get(), &Documents::stateChanged, this, &MainWindow::scheduleUpdate);
    connect(m_documents.get(), &Documents::displayChanged, this, &MainWindow::describeBoard);
    connect(m_documents->mailSender(), &MailSender::handingOverChanged, this, &MainWindow::scheduleUpdate);
    // A slide settles as a move; a close asked for meanwhile comes after it.
    connect(&m_documents->animator(), &PuzzleAnimator::finished, m_play.get(), &PlayController::animationEnded);
    connect(&m_documents->animator(), &PuzzleAnimator::finished, this, [this] { closeIfRequested(); });
    m_settings = std::make_unique<SettingsKeeper>(*this, *m_commands, *m_dialogs);
    m_helpOpener = new DesktopOpener(this);
    // The page tried is named, not the one the desktop's language would choose now.
    connect(m_helpOpener, &DesktopOpener::failed, this, [this](const QUrl &page) {
        guarded(
            [this, page] { m_dialogs->message(QuorraProgramName, helpNotOpenedMessage(page), MessageIcon::Warning); });
    });

    m_status = std::make_unique<PlayStatus>(statusBar(), puzzle);
    // A puzzle's results are kept under its picture as its file stores it; one never saved keeps none.
    m_status->setPictureStream([this] {
        const PuzzleDocument *document = m_documents->document();
        return document ? document->pictureStream() : QByteArray();
    });
    // Every tangle shown on screen, the one of an opened or saved puzzle included, starts the game anew.
    connect(this, &MainWindow::tangleStepped, m_status.get(), &PlayStatus::restart);
    connect(m_documents.get(), &Documents::puzzleReplaced, m_status.get(), &PlayStatus::restart);
    // The keys play the puzzle on screen as soon as it is there, whatever had the focus before it came.
    connect(m_documents.get(), &Documents::puzzleReplaced, this, [this] { m_view->setFocus(Qt::OtherFocusReason); });
    connect(m_play.get(), &PlayController::moveCommitted, m_status.get(), &PlayStatus::countMove);
    connect(m_play.get(), &PlayController::victoryShown, m_status.get(), &PlayStatus::victory);

    m_keeper =
        std::make_unique<GameKeeper>([this] { return m_documents ? m_documents->document() : nullptr; }, *m_status);
    connect(m_documents.get(), &Documents::puzzleReplaced, this, [this] { m_keeper->forget(); });
    // A game that is won or tangled anew (opening, Tangle, a save) is no longer one to come back to.
    connect(this, &MainWindow::tangleStepped, this, [this] { m_guard->reported([this] { m_keeper->drop(); }); });
    connect(m_play.get(), &PlayController::victoryShown, this,
            [this] { m_guard->reported([this] { m_keeper->drop(); }); });
    // The session's end may come without a close: the game is kept then too.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { keepGame(); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { keepGame(); });

    m_banner = new VictoryBanner(m_panel, m_view);
    // After the status line has the result: the band says the same.
    connect(m_play.get(), &PlayController::victoryShown, this, [this] { m_banner->present(m_status->text()); });
    connect(m_banner, &VictoryBanner::playAgain, this, [this] {
        QAction *tangle = m_commands->action(Command::Tangle);
        if (tangle->isEnabled())
            tangle->trigger();
    });
    connect(this, &MainWindow::tangleStepped, m_banner, &VictoryBanner::dismiss);
    connect(m_documents.get(), &Documents::puzzleReplaced, m_banner, &VictoryBanner::dismiss);
    connect(m_panel, &PicturePanel::resized, m_banner, [this] {
        if (m_banner->isVisible())
            m_banner->place();
    });

    connect(m_panel, &PicturePanel::resized, this, [this] { guarded([this] { m_layout->refit(); }); });
    // A refit during a tangle waits; the update keeps the puzzle fitted once it may.
    connect(m_panel, &PicturePanel::resized, this, &MainWindow::scheduleUpdate);
    // Moving over the panel or the window, off the picture, lets go of the hovered cell.
    m_panel->setMouseTracking(true);
    setMouseTracking(true);
    connect(m_panel, &PicturePanel::mouseMove, this, [this] { guarded([this] { m_play->leave(); }); });
    // The wheel zooms by the View commands' own rules: only when the command itself may run.
    connect(m_panel, &PicturePanel::zoomWheel, this, [this](bool in) {
        QAction *zoom = m_commands->action(in ? Command::ZoomIn : Command::ZoomOut);
        if (zoom->isEnabled())
            zoom->trigger();
    });
    // The window's focus going elsewhere frees the pointer.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            m_play->freePointer();
    });
}

void MainWindow::bindCommands()
{
    for (const CommandRow &row : commandList())
        if (row.run)
            bind(row);
    // Zoom In and Best Fit are off while the view keeps the puzzle fitted, whoever sets the check mark.
    connect(m_commands->action(Command::AutoBestFit), &QAction::toggled, this, &MainWindow::scheduleUpdate);
}

void MainWindow::bind(const CommandRow &row)
{
    QAction *action = m_commands->action(row.command);
    // A command that touches the puzzle waits for no animation, which lasts a fraction of a second: it is dropped,
    // as a key is, its check mark as it was.
    const bool touchesPuzzle = !(row.flags & CommandFlag::RunsWhileAnimating);
    const auto run = row.run;
    connect(action, &QAction::triggered, this, [this, action, run, touchesPuzzle] {
        if (touchesPuzzle && m_documents->isAnimating()) {
            if (action->isCheckable())
                action->setChecked(!action->isChecked());
            return;
        }
        guarded([this, action, run] { run(*this, action); });
        // A command may change what no signal tells of, a check mark the enabling reads among them.
        scheduleUpdate();
    });
}

void MainWindow::scheduleUpdate()
{
    // Off during a tangle or a load: resumeCommands brings the update.
    if (!m_suspended && !m_updateTimer.isActive())
        m_updateTimer.start();
}

void MainWindow::runScheduledUpdate()
{
    if (m_suspended)
        return;
    ++m_updatePasses;
    m_guard->reported([this] { updateCommands(); });
}

void MainWindow::setTangleStepMs(int milliseconds)
{
    m_documents->animator().setStepMs(PuzzleAnimation::Tangle, milliseconds);
}

void MainWindow::setSlideFrameMs(int milliseconds)
{
    m_documents->animator().setStepMs(PuzzleAnimation::Slide, milliseconds);
}

void MainWindow::setAdviceMs(int milliseconds)
{
    m_documents->animator().setStepMs(PuzzleAnimation::Advice, milliseconds);
}

MainWindow::~MainWindow()
{
    // The parts go before the widgets do: nothing the application reports from here on may reach them.
    disconnect(qApp, nullptr, this, nullptr);
    // A window that goes without having been closed keeps its settings all the same.
    m_guard->reported([this] { m_settings->save(true); });
    m_updateTimer.stop();
    m_play->dropHold();
    m_documents.reset();
}

void MainWindow::guarded(const std::function<void()> &handler)
{
    m_guard->run(handler);
}

void MainWindow::describeBoard()
{
    if (!m_status)
        return;
    // Told at every frame of a drag: only a change of what the description says is worth composing it again.
    const Puzzle *puzzle = m_documents->puzzle();
    const BoardFacts facts{puzzle, puzzle ? puzzle->grid().totalRows() : 0, puzzle ? puzzle->grid().totalColumns() : 0,
                           puzzle ? puzzle->selected() : NoCell, m_status->text()};
    if (facts == m_describedFacts)
        return;
    m_describedFacts = facts;
    const QString description = boardDescription(puzzle, facts.status);
    // Setting the same text again would announce nothing new, only repeat it.
    if (description == m_view->accessibleDescription())
        return;
    m_view->setAccessibleDescription(description);
    QAccessibleEvent told(m_view, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&told);
}

void MainWindow::updateCommands()
{
    if (!m_updateInstalled)
        return;
    // A slide or the advice lasts a fraction of a second: the commands keep the state they had rather than
    // flicker, and are refused meanwhile (bind). Its end is a change of state, whose update brings them in step.
    if (m_documents->isAnimating())
        return;
    const Puzzle *puzzle = m_documents->puzzle();
    const bool editMode = puzzle && puzzle->isEditMode();
    const bool solved = puzzle && puzzle->isSolved();

    m_layout->keepFitted();
    if (editMode)
        m_play->detachMouse();
    else
        m_play->attachMouse();
    if (solved)
        m_play->detachMouse();
    else
        m_play->attachMouse();

    m_panel->setHint(puzzle ? QString() : WindowTexts::text(WindowTexts::NoPuzzleHint));
    m_status->follow();
    describeBoard();

    GameState state;
    state.hasPuzzle = puzzle != nullptr;
    state.editMode = editMode;
    state.solved = solved;
    state.modified = m_documents->document() && m_documents->document()->isModified();
    state.canZoomIn = puzzle && puzzle->canZoomIn();
    state.canZoomOut = puzzle && puzzle->canZoomOut();
    state.canActualSize = puzzle && puzzle->canActualSize();
    state.canUndo = puzzle && puzzle->canUndo();
    state.canRedo = puzzle && puzzle->canRedo();
    state.canRestart = puzzle && puzzle->canRestart() && m_status->clock().moves() > 0;
    state.continued = m_keeper->isContinued();
    state.mailUnderWay = m_documents->mailSender()->isHandingOver();
    m_commands->update(state);
    // Only when no command is under way, so that a dropped file waiting for that is not woken again and again.
    if (!m_guard->isRunning())
        m_documents->announceIdle();
}

void MainWindow::suspendCommands()
{
    // A save's tangle may still run on screen when a load starts: the commands come back after both.
    if (m_suspensions++ > 0)
        return;
    m_play->detachMouse();
    m_updateInstalled = false;
    m_suspended = true;
    m_updateTimer.stop();
    m_commands->suspend();
    m_status->setSuspended(true);
}

void MainWindow::resumeCommands()
{
    if (m_suspensions == 0 || --m_suspensions > 0)
        return;
    m_updateInstalled = true;
    m_suspended = false;
    m_commands->resume();
    m_play->attachMouse();
    scheduleUpdate();
    m_status->setSuspended(false);
    m_documents->announceIdle();
    closeIfRequested();
}

void MainWindow::closeIfRequested()
{
    if (!m_closeRequested || m_suspended || m_documents->isAnimating())
        return;
    m_closeRequested = false;
    // Posted, so that whatever ended finishes before the window asks its question.
    QTimer::singleShot(0, this, &QWidget::close);
}

void MainWindow::tangle()
{
    Puzzle *puzzle = m_documents->puzzle();
    if (!puzzle)
        return;
    suspendCommands();
    auto resume = qScopeGuard([this] { resumeCommands(); });
    puzzle->tangle();
    resume.dismiss();
    m_documents->afterAnimation([this] { resumeCommands(); });
}

void MainWindow::restartGame()
{
    Puzzle *puzzle = m_documents->puzzle();
    if (!puzzle || !puzzle->restart())
        return;
    m_keeper->drop();
    m_status->restart();
}

void MainWindow::keepGame()
{
    m_guard->reported([this] {
        // A line sliding by itself is a move already made: it settles first, and counts.
        m_documents->animator().finish();
        m_keeper->keep();
    });
}

void MainWindow::showTangleStep()
{
    m_layout->repaint();
    emit tangleStepped();
}

void MainWindow::showExample()
{
    const bool showAtStart = m_dialogs->showDemo(m_commands->isChecked(Command::ShowAtStart));
    m_commands->action(Command::ShowAtStart)->setChecked(showAtStart);
}

void MainWindow::showHelp()
{
    m_helpOpener->open(helpAddress());
}

} // namespace quorra
