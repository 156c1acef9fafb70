// The main window: builds the commands, menus and tool bar, keeps their state in step with the puzzle, and runs
// the document flows New, Open, Save As and Save Image As.
#include "MainWindow.h"

#include "DesignScale.h"
#include "Effects.h"
#include "PictureLoader.h"
#include "PuzzleDocument.h"
#include "ProgramInfo.h"
#include "ProgramResources.h"
#include "UserError.h"
#include "IdleTrigger.h"
#include "MailSender.h"
#include "MediaSoundPlayer.h"
#include "SoundOutput.h"
#include "PictureView.h"
#include "PicturePanel.h"
#include "QtDialogs.h"
#include "WindowFit.h"
#include "WorkingBitmap.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace {

const char CategoryProperty[] = "Category";
const char TagProperty[] = "Tag";

// An allocation that failed is told in words, never as the library's "std::bad_alloc"; opening a picture says
// so in the readers' own words (NotEnoughMemoryText).
const char NoMemoryForCommand[] = "There is not enough memory to complete this command.";

QIcon toolIcon(const QString &name)
{
    return QIcon::fromTheme(name, QIcon(QStringLiteral(":/icons/%1.png").arg(name)));
}

} // namespace

MainWindow::MainWindow(std::unique_ptr<Dialogs> dialogs, QWidget *parent)
    : MainWindow(std::move(dialogs), SoundFactory(), parent)
{
}

MainWindow::MainWindow(std::unique_ptr<Dialogs> dialogs, const SoundFactory &sounds, QWidget *parent)
    : QMainWindow(parent), m_dialogs(std::move(dialogs)), m_soundFactory(sounds)
{
    setObjectName(QStringLiteral("NimbrelMainForm"));
    if (!m_dialogs)
        m_dialogs = std::make_unique<QtDialogs>(this);
    // A pointer held on a line of the picture must be free before anything modal asks for it.
    if (auto *qtDialogs = dynamic_cast<QtDialogs *>(m_dialogs.get()))
        qtDialogs->setBeforeModal([this] { unclipPointer(); });
    if (!m_soundFactory)
        m_soundFactory = [] { return std::make_unique<MediaSoundPlayer>(); };
    pointerControl = std::make_unique<PointerControl>();

    // The command list, in its fixed order.
    obscureAction = addCommand("ObscureAction", "Effect", "&Obscure", "Obscure", 0, true, false);
    zoomInAction = addCommand("ZoomInAction", "Zoom", "Zoom In", "Zoom In", 0, false, false);
    newAction = addCommand("NewAction", "Puzzle", "New...", "New Puzzle", 0, false, false);
    actualSizeAction = addCommand("ActualSizeAction", "Zoom", "Actual &Size", "Show actual size", 0, false, false);
    zoomOutAction = addCommand("ZoomOutAction", "Zoom", "Zoom Out", "Zoom Out", 0, false, false);
    bestFitAction = addCommand("BestFitAction", "Zoom", "Best Fit", "Best Fit", 0, false, false);
    autoBestFitAction = addCommand("AutoBestFitAction", "Zoom", "Auto Best Fit", "Auto Best Fit", 0, true, false);
    emptyRowAction = addCommand("EmptyRowAction", "Edit", "Empty &Row", "Empty row", 0, true, false);
    emptyColumnAction = addCommand("EmptyColumnAction", "Edit", "Empty &Column", "Empty column", 0, true, false);
    darkAction = addCommand("DarkAction", "Effect", "&Dark", "Dark", 0, true, false);
    transparentAction = addCommand("TransparentAction", "Effect", "&Transparent", "Transparent", 0, true, false);
    negativeAction = addCommand("NegativeAction", "Effect", "N&egative", "Negative", 0, true, false);
    hiddenAction = addCommand("HiddenAction", "Effect", "&Hidden", "Hidden", 0, true, true);
    topSecretAction = addCommand("TopSecretAction", "Effect", "Top &Secret", QString(), 0, true, false);
    semiEffectAction = addCommand("SemiEffectAction", "Edit", "&SemiEffect",
                                  "Do not apply the effect for selected cells", 4, true, false);
    aboutAction = addCommand("AboutAction", "Help", "About..", QString(), 0, false, false);
    helpAction = addCommand("HelpAction", "Help", "Content...", QString(), 0, false, false);
    lowResolutionAction = addCommand("LowResolutionAction", "Effect", "&Low Resolution", QString(), 0, true, false);
    action2x2 = addCommand("Action2x2", "Split", "2x2", QString(), 0, true, true);
    action3x2 = addCommand("Action3x2", "Split", "3x2", QString(), 0, true, false);
    action4x2 = addCommand("Action4x2", "Split", "4x2", QString(), 0, true, false);
    action2x3 = addCommand("Action2x3", "Split", "2x3", QString(), 0, true, false);
    action3x3 = addCommand("Action3x3", "Split", "3x3", QString(), 0, true, false);
    action4x3 = addCommand("Action4x3", "Split", "4x3", QString(), 0, true, false);
    action2x4 = addCommand("Action2x4", "Split", "2x4", QString(), 0, true, false);
    action3x4 = addCommand("Action3x4", "Split", "3x4", QString(), 0, true, false);
    action4x4 = addCommand("Action4x4", "Split", "4x4", QString(), 0, true, false);
    showAtStartAction = addCommand("ShowAtStartAction", QString(), "Show at Start", "Show At Start", 0, true, true);
    openAction = addCommand("OpenAction", "Puzzle", "Open...", "Open Puzzle", 0, false, false);
    saveAsAction = addCommand("SaveAsAction", "Puzzle", "Save As...", "Save Puzzle", 0, false, false);
    saveImageAsAction = addCommand("SaveImageAsAction", "Puzzle", "Save Image As...", "Save Image", 0, false, false);
    sendByEMailAction =
        addCommand("SendByEMailAction", "Puzzle", "Send by E-Mail...", "Send by E-Mail", 0, false, false);
    tangleAction = addCommand("TangleAction", "Puzzle", "Tangle", "Tangle Puzzle", 0, false, false);
    exitAction = addCommand("ExitAction", "Puzzle", "Exit", QString(), 0, false, false);

    for (QAction *effect : {obscureAction, darkAction, transparentAction, negativeAction, hiddenAction,
                            topSecretAction, lowResolutionAction})
        bind(effect, &MainWindow::obscureActionExecute);
    for (QAction *split : {action2x2, action3x2, action4x2, action2x3, action3x3, action4x3, action2x4, action3x4,
                           action4x4})
        bind(split, &MainWindow::action2x2Execute);
    bind(zoomInAction, &MainWindow::zoomInActionExecute);
    bind(newAction, &MainWindow::newActionExecute);
    bind(actualSizeAction, &MainWindow::actualSizeActionExecute);
    bind(zoomOutAction, &MainWindow::zoomOutActionExecute);
    bind(bestFitAction, &MainWindow::bestFitActionExecute);
    bind(autoBestFitAction, &MainWindow::autoBestFitActionExecute);
    bind(emptyRowAction, &MainWindow::emptyRowActionExecute);
    bind(emptyColumnAction, &MainWindow::emptyRowActionExecute);
    bind(semiEffectAction, &MainWindow::semiEffectActionExecute);
    bind(aboutAction, &MainWindow::aboutActionExecute);
    bind(openAction, &MainWindow::openActionExecute);
    bind(saveAsAction, &MainWindow::saveAsActionExecute);
    bind(saveImageAsAction, &MainWindow::saveImageAsActionExecute);
    bind(tangleAction, &MainWindow::tangleActionExecute);
    bind(exitAction, &MainWindow::exitActionExecute);
    bind(helpAction, &MainWindow::helpActionExecute);
    bind(sendByEMailAction, &MainWindow::sendByEMailActionExecute);
    // ShowAtStartAction needs no handler: Qt inverts a checkable command's check mark by itself.

    imageSpeedBar = new PicturePanel(this);
    setCentralWidget(imageSpeedBar);
    image = new PictureView(&m_display, imageSpeedBar);
    connect(imageSpeedBar, &PicturePanel::resized, this, [this] { guarded([this] { imageSpeedBarResize(); }); });
    // Moving over the panel or the window, off the picture, lets go of the hovered cell.
    imageSpeedBar->setMouseTracking(true);
    setMouseTracking(true);
    connect(imageSpeedBar, &PicturePanel::mouseMove, this, [this] { guarded([this] { formMouseMove(); }); });
    // The window's focus going elsewhere frees the pointer.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            unclipPointer();
    });

    createMenus();
    createToolBar();
    connect(mShowexampe, &QAction::triggered, this, [this] { guarded([this] { mShowexampeClick(); }); });

    mailSender = new MailSender(this);
    // Nothing could take the message: the person is told where the file is, to attach it by hand.
    connect(mailSender, &MailSender::failed, this, [this](const QString &message) {
        m_dialogs->message(QuorraProgramName, message, MessageIcon::Warning);
    });
    setAcceptDrops(true);

    formCreate();

    auto px = [this](int pixels) { return designPixels(pixels, this); };
    setMinimumSize(px(420), px(320));
    // A small or scaled screen may have less room than the design size.
    resize(fitToScreen(QRect(0, 0, px(790), px(628) + menuBar()->sizeHint().height()), screen()).size());

    m_idle = std::make_unique<IdleTrigger>([this] { reported([this] { actionListUpdate(); }); });
}

MainWindow::~MainWindow()
{
    // A window that goes without having been closed keeps its settings all the same.
    reported([this] { saveSettings(true); });
    m_idle.reset();
    dropPointerHold();
    puzzle.reset();
}

QAction *MainWindow::addCommand(const char *name, const QString &category, const QString &caption,
                                      const QString &hint, qint32 tag, bool checkable, bool checked)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(QLatin1String(name));
    action->setProperty(CategoryProperty, category);
    action->setProperty(TagProperty, tag);
    if (!hint.isEmpty()) {
        action->setStatusTip(hint);
        action->setToolTip(hint);
    }
    action->setCheckable(checkable);
    action->setChecked(checked);
    action->setIconVisibleInMenu(false);
    actionList.append(action);
    return action;
}

void MainWindow::bind(QAction *action, void (MainWindow::*handler)(QAction *))
{
    connect(action, &QAction::triggered, this, [this, action, handler] {
        guarded([this, action, handler] { (this->*handler)(action); });
    });
}

QString MainWindow::category(const QAction *action)
{
    return action->property(CategoryProperty).toString();
}

qint32 MainWindow::tag(const QAction *action)
{
    return action->property(TagProperty).toInt();
}

void MainWindow::createMenus()
{
    QMenuBar *bar = menuBar();
    auto addMenu = [this, bar](const char *name, const QString &caption) {
        QMenu *menu = bar->addMenu(caption);
        menu->setObjectName(QLatin1String(name));
        // A menu opened from the keyboard in the middle of a drag must not find the pointer held on the line.
        connect(menu, &QMenu::aboutToShow, this, &MainWindow::unclipPointer);
        return menu;
    };

    mPuzzle = addMenu("mPuzzle", QStringLiteral("Puzzle"));
    mPuzzle->addAction(newAction);
    mPuzzle->addAction(openAction);
    mPuzzle->addSeparator();
    mPuzzle->addAction(saveAsAction);
    mPuzzle->addAction(saveImageAsAction);
    mPuzzle->addSeparator();
    mPuzzle->addAction(sendByEMailAction);
    mPuzzle->addSeparator();
    mPuzzle->addAction(tangleAction);
    mPuzzle->addSeparator();
    mPuzzle->addAction(exitAction);

    mView = addMenu("mView", QStringLiteral("View"));
    mView->addAction(zoomInAction);
    mView->addAction(zoomOutAction);
    mView->addSeparator();
    mView->addAction(actualSizeAction);
    mView->addAction(bestFitAction);
    mView->addSeparator();
    mView->addAction(autoBestFitAction);

    // Qt menus cannot break into columns, so the three columns follow one another, a separator between them.
    mSplit = addMenu("mSplit", QStringLiteral("Split"));
    mSplit->addActions({action2x2, action3x2, action4x2});
    mSplit->addSeparator();
    mSplit->addActions({action2x3, action3x3, action4x3});
    mSplit->addSeparator();
    mSplit->addActions({action2x4, action3x4, action4x4});

    mEffect = addMenu("mEffect", QStringLiteral("E&ffect"));
    mEffect->addActions({obscureAction, darkAction, transparentAction, negativeAction, hiddenAction,
                         topSecretAction, lowResolutionAction});

    mEdit = addMenu("mEdit", QStringLiteral("&Edit"));
    mEdit->addSeparator();
    mEdit->addActions({emptyRowAction, emptyColumnAction});
    mEdit->addSeparator();
    mEdit->addAction(semiEffectAction);
    mEdit->addSeparator();

    mOptions = addMenu("mOptions", QStringLiteral("Options"));
    mSound = mOptions->addAction(QStringLiteral("Sound"));
    mSound->setObjectName(QStringLiteral("mSound"));
    mSound->setCheckable(true);
    mSound->setChecked(true);

    mHelp = addMenu("mHelp", QStringLiteral("Help"));
    mHelp->addAction(helpAction);
    mHelp->addSeparator();
    mShowexampe = mHelp->addAction(QStringLiteral("Show Example..."));
    mShowexampe->setObjectName(QStringLiteral("mShowexampe"));
    mHelp->addSeparator();
    mHelp->addAction(aboutAction);
}

void MainWindow::createToolBar()
{
    toolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    toolBar1->setObjectName(QStringLiteral("ToolBar1"));
    toolBar1->setMovable(false);
    toolBar1->setFloatable(false);
    toolBar1->setIconSize(QSize(24, 24));
    newAction->setIcon(toolIcon(QStringLiteral("document-new")));
    openAction->setIcon(toolIcon(QStringLiteral("document-open")));
    saveAsAction->setIcon(toolIcon(QStringLiteral("document-save-as")));
    saveImageAsAction->setIcon(toolIcon(QStringLiteral("image-x-generic")));
    sendByEMailAction->setIcon(toolIcon(QStringLiteral("mail-send")));
    tangleAction->setIcon(toolIcon(QStringLiteral("view-refresh")));
    zoomInAction->setIcon(toolIcon(QStringLiteral("zoom-in")));
    zoomOutAction->setIcon(toolIcon(QStringLiteral("zoom-out")));
    toolBar1->addAction(newAction);
    toolBar1->addAction(openAction);
    toolBar1->addSeparator();
    toolBar1->addAction(saveAsAction);
    toolBar1->addAction(saveImageAsAction);
    toolBar1->addAction(sendByEMailAction);
    toolBar1->addAction(tangleAction);
    toolBar1->addSeparator();
    toolBar1->addAction(zoomInAction);
    toolBar1->addAction(zoomOutAction);
}

QMenu *MainWindow::createPopupMenu()
{
    // The tool bar is part of the window's design; it is not offered for hiding.
    return nullptr;
}

void MainWindow::formCreate()
{
    busy = false;
    puzzle.reset();
    updateTitle();
    image->resize(0, image->height());
    image->setCursor(Qt::PointingHandCursor);
    hiddenImage = concealmentTexture();

    // The effect commands carry their effect codes.
    obscureAction->setProperty(TagProperty, qint32(Effect::Obscure));
    darkAction->setProperty(TagProperty, qint32(Effect::Dark));
    transparentAction->setProperty(TagProperty, qint32(Effect::Transparent));
    negativeAction->setProperty(TagProperty, qint32(Effect::Negative));
    hiddenAction->setProperty(TagProperty, qint32(Effect::Hidden));
    topSecretAction->setProperty(TagProperty, qint32(Effect::TopSecret));
    lowResolutionAction->setProperty(TagProperty, qint32(Effect::LowResolution));

    formStorage.setIniFileName(settingsFileName());

    // Effects, edit options and the actual-size command are kept out of sight; the engine still supports them
    // and their stored check marks still apply.
    mEffect->menuAction()->setVisible(false);
    mEdit->menuAction()->setVisible(false);
    actualSizeAction->setVisible(false);
    for (QAction *option : {emptyRowAction, emptyColumnAction, semiEffectAction}) {
        option->setVisible(false);
        option->setChecked(false);
    }

    openSounds();
}

void MainWindow::openSounds()
{
    // A sound that cannot be opened stays silent for the whole run; nobody is told.
    auto open = [this](const char *name) {
        std::unique_ptr<SoundPlayer> player = m_soundFactory();
        if (player) {
            try {
                player->open(programResource(QStringLiteral("Sounds/") + QLatin1String(name)));
            } catch (...) {
            }
        }
        return player;
    };
    moveMediaPlayer = open("Move.wav");
    adviceMediaPlayer = open("Advice.wav");
    victoryMediaPlayer = open("Victory.wav");
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // The window appears first; the puzzle named on the command line follows from the event loop.
    QTimer::singleShot(0, this, [this] { formShow(); });
}

void MainWindow::formShow()
{
    if (!commandLinePuzzle.isEmpty())
        guarded([this] { openPuzzleFile(commandLinePuzzle); });
    m_formShowDone = true;
    // The focus may have come before the puzzle was opened; the demo still follows it.
    if (isActiveWindow())
        QTimer::singleShot(0, this, [this] { formActivate(); });
    else if (!isMinimized())
        // Asked for, as a window system without a window manager hands it to nobody.
        activateWindow();
}

void MainWindow::formActivate()
{
    // Modal windows give the focus back without a new activation, and the program has no other windows: the
    // demo comes up once, at start.
    if (m_activated)
        return;
    m_activated = true;
    if (showAtStartAction->isChecked())
        guarded([this] { mShowexampeClick(); });
}

void MainWindow::setVisible(bool visible)
{
    // Applied before the window first appears, so it never jumps from the system's place to the stored one.
    if (visible && !formStorage.isRestored())
        reported([this] { restoreSettings(); });
    QMainWindow::setVisible(visible);
}

// ---- Settings ----

QString MainWindow::settingsFileName()
{
    QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (base.isEmpty())
        base = QCoreApplication::applicationName();
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QLatin1Char('/') + base +
           QStringLiteral(".INI");
}

QAction *MainWindow::checkMarkAction(const QString &name) const
{
    if (name == mSound->objectName())
        return mSound;
    for (QAction *action : actionList)
        if (action->objectName() == name)
            return action;
    return nullptr;
}

QList<CheckMark> MainWindow::checkMarks() const
{
    QList<CheckMark> marks = WindowSettings::defaultCheckMarks();
    for (CheckMark &mark : marks)
        if (const QAction *action = checkMarkAction(mark.name))
            mark.checked = action->isChecked();
    return marks;
}

WindowPlacement MainWindow::placement() const
{
    WindowPlacement p;
    p.showCmd = isMinimized() ? 2 : isMaximized() ? 3 : 1;
    // Qt keeps no minimized or maximized positions of its own; these are the values of a window never moved
    // while in those states.
    p.minPosition = QPoint(-1, -1);
    p.maxPosition = QPoint(-1, -1);
    const QRect normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    p.left = normal.left();
    p.top = normal.top();
    // One past the last pixel, where QRect::right() is the last pixel itself.
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    if (const QScreen *shownOn = screen()) {
        p.pixelsPerInch = qRound(shownOn->logicalDotsPerInch());
        p.screenSize = shownOn->size();
    }
    return p;
}

void MainWindow::restoreSettings()
{
    const RestoredWindow restored = formStorage.restore(placement(), checkMarks());
    // Only the marks change: no command runs.
    for (const CheckMark &mark : restored.checkMarks)
        if (QAction *action = checkMarkAction(mark.name))
            action->setChecked(mark.checked);
    if (!restored.restored)
        return;

    if (restored.applyPlacement) {
        const WindowPlacement &p = restored.placement;
        const QRect normal(p.left, p.top, p.right - p.left, p.bottom - p.top);
        // Whatever the file says, the window fits the screen it comes up on: a stored rectangle larger than the
        // screen put the menus out of reach. Wayland neither tells nor takes a window's position, and a place on
        // a screen that is no longer there would put the window out of reach: there only the size is applied.
        QScreen *landing = QGuiApplication::screenAt(normal.center());
        if (!landing)
            landing = QGuiApplication::screenAt(normal.topLeft());
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) || !landing)
            resize(fitToScreen(normal, screen()).size());
        else
            setGeometry(fitToScreen(normal, landing));
    }
    switch (restored.showState) {
    case ShowState::Minimized:
        setWindowState(Qt::WindowMinimized);
        break;
    case ShowState::Maximized:
        setWindowState(Qt::WindowMaximized);
        break;
    case ShowState::Normal:
        setWindowState(Qt::WindowNoState);
        break;
    }
}

QRect MainWindow::fitToScreen(const QRect &wanted, const QScreen *screen)
{
    if (!screen)
        return wanted;
    const QRect area = screen->availableGeometry();
    // On a screen smaller than the window's smallest size, all of the window must still be reachable.
    setMinimumSize(minimumSize().boundedTo(area.size()));
    return fitToArea(wanted, area, minimumSize());
}

void MainWindow::saveSettings(bool destroying)
{
    const WindowPlacement now = placement();
    const QList<CheckMark> marks = checkMarks();
    const bool saved = destroying ? formStorage.saveOnDestroy(now, marks) : formStorage.saveOnClose(now, marks);
    // Told, and the program goes on ending normally.
    if (!saved)
        m_dialogs->error(formStorage.errorString());
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A tangle on screen runs the event loop between its steps; the window must outlive it.
    if (m_suspended) {
        event->ignore();
        return;
    }
    bool canClose = false;
    guarded([this, &canClose] { canClose = confirmSave(); });
    if (!canClose) {
        event->ignore();
        return;
    }
    // Told if it fails; the window closes all the same.
    reported([this] { saveSettings(false); });
    event->accept();
}

void MainWindow::guarded(const std::function<void()> &handler)
{
    ++m_commandDepth;
    const auto done = qScopeGuard([this] { --m_commandDepth; });
    reported(handler);
}

bool MainWindow::reported(const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const UserError &e) {
        unclipPointer();
        m_dialogs->error(e.message());
    } catch (const std::bad_alloc &) {
        unclipPointer();
        m_dialogs->error(QString::fromLatin1(NoMemoryForCommand));
    } catch (const std::exception &e) {
        unclipPointer();
        m_dialogs->error(QString::fromLocal8Bit(e.what()));
    }
    return false;
}

quint64 MainWindow::updatePasses() const
{
    return m_idle ? m_idle->runCount() : 0;
}

// ---- Command state ----

void MainWindow::actionListUpdate()
{
    if (!m_updateInstalled)
        return;
    const bool p = puzzle != nullptr;
    const bool e = p && puzzle->isEditMode();
    const bool s = p && puzzle->isSolved();
    const bool m = p && puzzle->isModified();
    const bool a = autoBestFitAction->isChecked();

    if (p) {
        fitPuzzle();
        // A fit that changed the picture's size re-centres it.
        if (image->sizeToBitmap())
            placeImage();
    }

    if (e)
        detachImageMouse();
    else
        attachImageMouse();
    if (s)
        detachImageMouse();
    else
        attachImageMouse();

    for (QAction *action : std::as_const(actionList)) {
        const QString c = category(action);
        if (c == QLatin1String("Edit") || c == QLatin1String("Split") || c == QLatin1String("Effect"))
            action->setEnabled(e);
    }

    for (QAction *effect : {obscureAction, darkAction, transparentAction, negativeAction, hiddenAction,
                            topSecretAction, lowResolutionAction})
        if (effect->isChecked()) {
            currentEffect = tag(effect);
            break;
        }

    for (QAction *always : {newAction, openAction, exitAction, autoBestFitAction, helpAction, aboutAction,
                            showAtStartAction})
        always->setEnabled(true);
    saveAsAction->setEnabled(p);
    saveImageAsAction->setEnabled(s);
    sendByEMailAction->setEnabled(p && !m && !mailSender->isHandingOver());
    tangleAction->setEnabled(e || s);
    zoomInAction->setEnabled(p && puzzle->canZoomIn() && !a);
    zoomOutAction->setEnabled(p && puzzle->canZoomOut());
    actualSizeAction->setEnabled(p && puzzle->canActualSize());
    bestFitAction->setEnabled(p && !a);
}

void MainWindow::attachImageMouse()
{
    if (puzzle && (puzzle->isEditMode() || puzzle->isSolved()))
        return;
    if (m_mouseAttached)
        return;
    m_mouseDownConnection = connect(image, &PictureView::mouseDown, this, &MainWindow::imageMouseDown);
    m_mouseMoveConnection = connect(image, &PictureView::mouseMove, this, &MainWindow::imageMouseMove);
    m_mouseUpConnection = connect(image, &PictureView::mouseUp, this, &MainWindow::imageMouseUp);
    m_mouseAttached = true;
}

void MainWindow::detachImageMouse()
{
    if (m_mouseAttached) {
        disconnect(m_mouseDownConnection);
        disconnect(m_mouseMoveConnection);
        disconnect(m_mouseUpConnection);
        m_mouseAttached = false;
    }
    // Compared first: setting a cursor posts an event even when it is the same one, and the idle pass must not
    // keep itself awake.
    if (puzzle && puzzle->isSolved() && image->cursor().shape() != Qt::PointingHandCursor)
        image->setCursor(Qt::PointingHandCursor);
}

void MainWindow::suspendCommands()
{
    detachImageMouse();
    m_updateInstalled = false;
    m_suspended = true;
    m_idle->setEnabled(false);
    for (QAction *action : std::as_const(actionList))
        action->setEnabled(false);
    // Not commands, but menu items all the same: nothing may be chosen while the commands are off.
    mSound->setEnabled(false);
    mShowexampe->setEnabled(false);
}

void MainWindow::resumeCommands()
{
    m_updateInstalled = true;
    m_suspended = false;
    mSound->setEnabled(true);
    mShowexampe->setEnabled(true);
    attachImageMouse();
    m_idle->setEnabled(true);
}

// ---- Split and effect groups, toggles ----

void MainWindow::getSplit(int &rows, int &columns) const
{
    rows = 2;
    columns = 2;
    for (const QAction *action : actionList)
        if (category(action) == QLatin1String("Split") && action->isChecked()) {
            const QString caption = action->text();
            if (caption.size() >= 3) {
                rows = caption.at(0).digitValue();
                columns = caption.at(2).digitValue();
            }
            return;
        }
}

void MainWindow::resplitPuzzle()
{
    if (!puzzle)
        return;
    int rows, columns;
    getSplit(rows, columns);
    puzzle->setUp(currentEffect, rows, columns, semiEffectAction->isChecked(), emptyRowAction->isChecked(),
                  emptyColumnAction->isChecked());
    imageSpeedBarResize();
}

void MainWindow::action2x2Execute(QAction *sender)
{
    for (QAction *action : std::as_const(actionList))
        if (category(action) == QLatin1String("Split"))
            action->setChecked(false);
    sender->setChecked(true);
    resplitPuzzle();
}

void MainWindow::obscureActionExecute(QAction *sender)
{
    for (QAction *action : std::as_const(actionList))
        if (category(action) == QLatin1String("Effect"))
            action->setChecked(false);
    sender->setChecked(true);
    currentEffect = tag(sender);
    if (puzzle)
        puzzle->setEffect(currentEffect);
}

void MainWindow::emptyRowActionExecute(QAction *)
{
    // Qt has already inverted the check mark of the invoking command.
    if (puzzle && puzzle->isEditMode())
        resplitPuzzle();
}

void MainWindow::semiEffectActionExecute(QAction *)
{
    if (puzzle) {
        puzzle->setSemiEffect(semiEffectAction->isChecked());
        puzzle->renderAll();
    }
}

void MainWindow::autoBestFitActionExecute(QAction *)
{
    imageSpeedBarResize();
}

void MainWindow::aboutActionExecute(QAction *)
{
    m_dialogs->showAbout();
}

void MainWindow::exitActionExecute(QAction *)
{
    close();
}

void MainWindow::helpActionExecute(QAction *)
{
    if (!openHelp())
        m_dialogs->message(QuorraProgramName, helpNotOpenedMessage(), MessageIcon::Warning);
}

void MainWindow::mShowexampeClick()
{
    showAtStartAction->setChecked(m_dialogs->showDemo(showAtStartAction->isChecked()));
}

void MainWindow::sendByEMailActionExecute(QAction *)
{
    // The mail carries the file as it is on disk, so only a puzzle that matches its file is sent.
    if (!puzzle || puzzle->isModified() || puzzle->fileName().isEmpty())
        return;
    mailSender->sendMailWithAttachments({}, MailSender::invitationSubject(),
                                        MailSender::invitationBody(QuorraWebAddress), {puzzle->fileName()});
}

// ---- Tangle ----

void MainWindow::tangleActionExecute(QAction *)
{
    if (!puzzle)
        return;
    suspendCommands();
    const auto resume = qScopeGuard([this] { resumeCommands(); });
    puzzle->tangle();
}

void MainWindow::paceTangle()
{
    repaintPicture();
    emit tangleStepped();
    if (tangleStepMs <= 0)
        return;
    // Waiting in an event loop of its own keeps the window alive without spinning.
    QEventLoop loop;
    QTimer::singleShot(tangleStepMs, &loop, &QEventLoop::quit);
    loop.exec();
}

// ---- View ----

void MainWindow::fitPuzzle()
{
    // The picture is made at the screen's own pixels, so on a scaled screen it fits the panel's pixels, not its
    // units.
    const QSize panel = panelPixels();
    const int width = panel.width();
    const int height = panel.height();
    // A panel with less than a pixel per cell would give a scale of 0 and cells of no size; the smallest
    // window never comes near it, but a window being laid out may.
    if (width < puzzle->grid().totalColumns() || height < puzzle->grid().totalRows() || puzzle->source().isNull())
        return;
    puzzle->updateFit(width, height, autoBestFitAction->isChecked());
}

QSize MainWindow::panelPixels() const
{
    const qreal ratio = imageSpeedBar->devicePixelRatioF();
    return QSize(int(imageSpeedBar->clientWidth() * ratio), int(imageSpeedBar->clientHeight() * ratio));
}

void MainWindow::imageSpeedBarResize()
{
    if (!puzzle)
        return;
    // During a tangle the grid must not be rebuilt under the engine's feet; the fit follows when it ends.
    if (!m_suspended)
        fitPuzzle();
    placeImage();
}

void MainWindow::placeImage()
{
    image->sizeToBitmap();
    const QRect client = imageSpeedBar->clientRect();
    image->move(client.left() + (client.width() - image->width()) / 2,
                client.top() + (client.height() - image->height()) / 2);
}

void MainWindow::repaintPicture()
{
    if (image->sizeToBitmap())
        placeImage();
    image->repaint();
}

void MainWindow::zoomInActionExecute(QAction *)
{
    if (!puzzle)
        return;
    puzzle->zoomIn();
    imageSpeedBarResize();
}

void MainWindow::zoomOutActionExecute(QAction *)
{
    autoBestFitAction->setChecked(false);
    if (!puzzle)
        return;
    puzzle->zoomOut();
    imageSpeedBarResize();
}

void MainWindow::actualSizeActionExecute(QAction *)
{
    autoBestFitAction->setChecked(false);
    if (!puzzle)
        return;
    puzzle->actualSize();
    imageSpeedBarResize();
}

void MainWindow::bestFitActionExecute(QAction *)
{
    if (!puzzle)
        return;
    puzzle->bestFit();
    imageSpeedBarResize();
}

// ---- Documents ----

void MainWindow::updateTitle()
{
    setWindowTitle(puzzle ? QuorraProgramName + QStringLiteral(" - ") + puzzle->title() : QuorraProgramName);
}

std::unique_ptr<Puzzle> MainWindow::createPuzzle()
{
    // Until it is adopted the new puzzle neither draws on screen nor lets events run.
    return std::make_unique<Puzzle>(&m_candidateDisplay, &hiddenImage);
}

void MainWindow::adoptPuzzle(std::unique_ptr<Puzzle> newPuzzle)
{
    dropPointerHold();
    puzzle = std::move(newPuzzle);
    m_candidateDisplay = QImage();
    puzzle->setDisplay(&m_display);
    Puzzle::Hooks hooks;
    hooks.processMessages = [this] {
        repaintPicture();
        // Only repaints and the like: a command started from inside a redraw would pull the puzzle away from
        // under it.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    hooks.displayChanged = [this](const QRect &rect) { image->bitmapChanged(rect); };
    hooks.tangleStep = [this] { paceTangle(); };
    puzzle->setHooks(std::move(hooks));
}

void MainWindow::dropPuzzle()
{
    dropPointerHold();
    puzzle.reset();
    m_display = QImage();
    image->sizeToBitmap();
    updateTitle();
}

bool MainWindow::confirmSave()
{
    if (!puzzle || !puzzle->isModified())
        return true;
    switch (m_dialogs->confirm(QStringLiteral("Confirm"), QStringLiteral("Save current puzzle?"))) {
    case ConfirmAnswer::Yes: {
        // The person asked to keep this work: when it was not saved after all, nothing may discard it.
        bool saved = false;
        reported([this, &saved] { saved = savePuzzleAs(); });
        return saved;
    }
    case ConfirmAnswer::No:
        return true;
    case ConfirmAnswer::Cancel:
        break;
    }
    return false;
}

void MainWindow::newActionExecute(QAction *)
{
    const QString path = m_dialogs->openPicture();
    if (!path.isEmpty())
        newPuzzleFromPicture(path);
}

void MainWindow::newPuzzleFromPicture(const QString &path)
{
    // The picture is read before anything is given up, so a file that yields none costs nothing.
    std::unique_ptr<Puzzle> newPuzzle = createPuzzle();
    const QString shown = QDir::toNativeSeparators(path);
    try {
        newPuzzle->loadPicture(path);
    } catch (const UserError &e) {
        throw UserError(QStringLiteral("The picture \"%1\" cannot be read.\n%2").arg(shown, e.message()));
    } catch (const std::bad_alloc &) {
        throw UserError(QStringLiteral("The picture \"%1\" is too large to open.").arg(shown));
    }
    if (newPuzzle->source().isNull() || newPuzzle->source().width() <= 0 || newPuzzle->source().height() <= 0)
        throw UserError(QStringLiteral("\"%1\" is not a picture Quorra can read.\nChoose a BMP, JPEG or GIF "
                                    "picture (.bmp, .jpg or .gif).")
                         .arg(shown));

    if (!confirmSave())
        return;

    adoptPuzzle(std::move(newPuzzle));
    int rows, columns;
    getSplit(rows, columns);
    try {
        puzzle->setUp(currentEffect, rows, columns, semiEffectAction->isChecked(), emptyRowAction->isChecked(),
                      emptyColumnAction->isChecked());
    } catch (const std::bad_alloc &) {
        // A puzzle that was never set up has no grid to fit; the window goes back to having none.
        dropPuzzle();
        throw UserError(notEnoughMemoryText());
    } catch (...) {
        dropPuzzle();
        throw;
    }
    imageSpeedBarResize();
    updateTitle();
    detachImageMouse();
}

void MainWindow::openActionExecute(QAction *)
{
    const QString path = m_dialogs->openPuzzle();
    if (!path.isEmpty())
        openPuzzleFile(path);
}

void MainWindow::openPuzzleFile(const QString &path)
{
    if (!confirmSave())
        return;
    // A damaged file raises here, and the candidate goes with the error: the puzzle on screen stays.
    std::unique_ptr<Puzzle> newPuzzle = createPuzzle();
    // The opening tangle renders at the scale the view is about to choose, not at the picture's own size.
    newPuzzle->setOpenPanel(panelPixels(), autoBestFitAction->isChecked());
    PuzzleDocument::Opening result;
    try {
        result = PuzzleDocument::open(*newPuzzle, path);
    } catch (const std::bad_alloc &) {
        throw UserError(notEnoughMemoryText());
    }
    if (result.result == LoadResult::NoFile)
        return;
    if (result.result == LoadResult::TooNew) {
        m_dialogs->message(QStringLiteral("Information"),
                          QStringLiteral("This puzzle requires Quorra version %1 or later.").arg(result.version),
                          MessageIcon::Stop);
        m_dialogs->showAbout();
        return;
    }
    // Read and checked whole, the puzzle takes the place of the one on screen and is tangled in view, step by
    // step as the Tangle command shows it, with the commands off meanwhile.
    std::unique_ptr<Puzzle> previous = std::move(puzzle);
    adoptPuzzle(std::move(newPuzzle));
    try {
        imageSpeedBarResize();
        updateTitle();
        suspendCommands();
        const auto resume = qScopeGuard([this] { resumeCommands(); });
        puzzle->tangle();
    } catch (const std::bad_alloc &) {
        bringBack(std::move(previous));
        throw UserError(notEnoughMemoryText());
    } catch (...) {
        bringBack(std::move(previous));
        throw;
    }
    placeImage();
    attachImageMouse();
}

void MainWindow::bringBack(std::unique_ptr<Puzzle> previous)
{
    dropPuzzle();
    if (!previous)
        return;
    // The picture on screen is the other one's by now; this puzzle draws it anew, as it was.
    puzzle = std::move(previous);
    try {
        puzzle->rebuild();
    } catch (...) {
        // The person is told of the failure that brought this puzzle back; this one would only repeat it.
        dropPuzzle();
        return;
    }
    imageSpeedBarResize();
    updateTitle();
}

bool MainWindow::savePuzzleAs()
{
    if (!puzzle)
        return false;
    const QString path = m_dialogs->savePuzzle();
    if (path.isEmpty())
        return false;
    // The file is not deleted first: the writer replaces it only once the new one is complete, so a failed
    // save leaves the old file as it was. Saving tangles on screen, with the commands off as for Tangle.
    suspendCommands();
    {
        const auto resume = qScopeGuard([this] { resumeCommands(); });
        PuzzleDocument::save(*puzzle, path);
    }
    attachImageMouse();
    return true;
}

void MainWindow::saveAsActionExecute(QAction *)
{
    savePuzzleAs();
}

void MainWindow::saveImageAsActionExecute(QAction *)
{
    if (!puzzle)
        return;
    const QString path = m_dialogs->saveImage();
    if (path.isEmpty())
        return;
    PuzzleDocument::exportPicture(*puzzle, path);
}

// ---- Dropped files ----

QString MainWindow::draggedFile(const QMimeData *mime) const
{
    if (!mime || !mime->hasUrls())
        return QString();
    const QList<QUrl> urls = mime->urls();
    // One document at a time, as the dialogs offer.
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return QString();
    return urls.front().toLocalFile();
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    // Every local file is taken, so that one of the wrong kind can be told why it was refused.
    if (!m_suspended && !draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dragMoveEvent(QDragMoveEvent *event)
{
    if (!m_suspended && !draggedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QString path = draggedFile(event->mimeData());
    if (m_suspended || path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The program the file came from waits for the drop to end; questions and dialogs come after it.
    QTimer::singleShot(0, this, [this, path] { runDroppedFile(path); });
}

void MainWindow::runDroppedFile(const QString &path)
{
    if (m_commandDepth > 0) {
        QTimer::singleShot(50, this, [this, path] { runDroppedFile(path); });
        return;
    }
    guarded([this, &path] { dropFile(path); });
}

void MainWindow::dropFile(const QString &path)
{
    if (m_suspended)
        return;
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("nbq")) {
        openPuzzleFile(path);
        return;
    }
    if (extension == QLatin1String("bmp") || extension == QLatin1String("jpg") || extension == QLatin1String("gif")) {
        newPuzzleFromPicture(path);
        return;
    }
    m_dialogs->message(QStringLiteral("Information"),
                      QStringLiteral("\"%1\" cannot be opened by Quorra.\nDrop a puzzle file (.nbq) to solve it, or a "
                                     "BMP, JPEG or GIF picture (.bmp, .jpg or .gif) to make a new puzzle.")
                          .arg(QDir::toNativeSeparators(path)),
                      MessageIcon::Warning);
}

// ---- Mouse ----

void MainWindow::imageMouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int x, int y)
{
    guarded([this, x, y] {
        if (!puzzle || puzzle->isEditMode() || puzzle->isSolved()) {
            if (image->cursor().shape() != Qt::PointingHandCursor)
                image->setCursor(Qt::PointingHandCursor);
            return;
        }
        if (busy)
            return;
        busy = true;
        const auto done = qScopeGuard([this] { busy = false; });

        switch (puzzle->dragState()) {
        case DragState::Idle:
            puzzle->hoverAt(x, y);
            break;
        case DragState::Caught:
            if (puzzle->tryStartDrag(x, y)) {
                setScreenCursor(Qt::ClosedHandCursor);
                const QPoint c = puzzle->selectedCentre();
                if (puzzle->dragState() == DragState::Row)
                    clipPointer(0, c.y(), m_display.width(), 0);
                else
                    clipPointer(c.x(), 0, 0, m_display.height());
                puzzle->renderDrag(x, y);
            }
            break;
        case DragState::Row:
        case DragState::Column: {
            // The pointer is held on the dragged line where the window system allows it; where it does not, the
            // position is read as if it were, so that a hand that drifts off the line still snaps.
            const bool row = puzzle->dragState() == DragState::Row;
            const int lineX = row ? x : puzzle->anchor().x();
            const int lineY = row ? puzzle->anchor().y() : y;
            if (puzzle->nearCellCentre(lineX, lineY)) {
                playSoundIfOn(moveMediaPlayer.get());
                const bool won = puzzle->commit(lineX, lineY);
                catchCell();
                if (won)
                    victorySequence();
            } else {
                puzzle->renderDrag(x, y);
            }
            break;
        }
        }
    });
}

void MainWindow::imageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    guarded([this, button, x, y] {
        if (!puzzle || puzzle->isEditMode() || puzzle->isSolved() || busy)
            return;
        busy = true;
        const auto done = qScopeGuard([this] { busy = false; });

        if (button == Qt::RightButton) {
            playSoundIfOn(adviceMediaPlayer.get());
            puzzle->showAdvice(x, y);
        } else if (button == Qt::LeftButton && puzzle->dragState() == DragState::Idle) {
            puzzle->hoverAt(x, y);
            catchCell();
        }
    });
}

void MainWindow::imageMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    guarded([this, button, x, y] {
        if (button != Qt::LeftButton)
            return;
        // Freed before anything else is looked at, Busy included: a left release must never leave the pointer held.
        unclipPointer();
        if (busy)
            return;
        if (!puzzle || puzzle->isEditMode() || puzzle->isSolved())
            return;
        busy = true;
        const auto done = qScopeGuard([this] { busy = false; });

        const DragState was = puzzle->dragState();
        bool won = false;
        if (was == DragState::Row || was == DragState::Column) {
            playSoundIfOn(moveMediaPlayer.get());
            won = puzzle->commit(x, y);
        }
        if (was != DragState::Idle) {
            releaseCell();
            puzzle->redrawSelected();
        }
        if (won)
            victorySequence();
    });
}

void MainWindow::formMouseMove()
{
    // A caught cell keeps its selection: the drag that holds it still needs it.
    if (puzzle && !busy && puzzle->dragState() == DragState::Idle)
        puzzle->deselect();
    unclipPointer();
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    guarded([this] { formMouseMove(); });
    QMainWindow::mouseMoveEvent(event);
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange) {
        if (!isActiveWindow())
            unclipPointer();
        else if (m_formShowDone && !m_activated)
            QTimer::singleShot(0, this, [this] { formActivate(); });
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::catchCell()
{
    if (!puzzle || isNoCell(puzzle->selected()))
        return;
    puzzle->catchSelected();
    puzzle->redrawSelected();
    pointerControl->moveTo(image->mapToGlobal(image->toControl(puzzle->selectedCentre())).toPoint(), windowHandle());
    setScreenCursor(Qt::OpenHandCursor);
    clipPointer(0, 0, m_display.width(), m_display.height());
}

void MainWindow::releaseCell()
{
    if (puzzle)
        puzzle->releaseCatch();
    setScreenCursor(Qt::ArrowCursor);
    unclipPointer();
}

void MainWindow::clipPointer(int left, int top, int width, int height)
{
    const QPoint topLeft = image->mapToGlobal(image->toControl(QPoint(left, top))).toPoint();
    const QPoint bottomRight = image->mapToGlobal(image->toControl(QPoint(left + width, top + height))).toPoint();
    pointerControl->confine(
        QRect(topLeft, QSize(qMax(1, bottomRight.x() - topLeft.x()), qMax(1, bottomRight.y() - topLeft.y()))),
        windowHandle());
}

void MainWindow::unclipPointer()
{
    if (pointerControl)
        pointerControl->release();
}

void MainWindow::setScreenCursor(Qt::CursorShape shape)
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

void MainWindow::dropPointerHold()
{
    setScreenCursor(Qt::ArrowCursor);
    unclipPointer();
}

void MainWindow::playSoundIfOn(SoundPlayer *player)
{
    if (!player || !mSound->isChecked())
        return;
    try {
        player->play();
    } catch (...) {
        // A sound never stands in the way of a move.
    }
}

void MainWindow::victorySequence()
{
    detachImageMouse();
    playSoundIfOn(victoryMediaPlayer.get());
    releaseCell();
    puzzle->deselect();
    puzzle->renderAll();
}
