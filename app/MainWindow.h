// The main window: commands, menus, tool bar, the picture panel and the puzzle documents.
#pragma once

#include "Dialogs.h"
#include "WindowSettings.h"
#include "PointerControl.h"
#include "Puzzle.h"
#include "SoundPlayer.h"

#include <QImage>
#include <QList>
#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QMimeData;
class QScreen;
class QMenu;
class QToolBar;
class IdleTrigger;
class MailSender;
class PictureView;
class PicturePanel;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // Makes one sound player; the window asks for three and opens each on its file.
    using SoundFactory = std::function<std::unique_ptr<SoundPlayer>()>;

    // Without Dialogs the window uses real Qt dialogs parented to itself; without Sounds it plays through the
    // system's audio.
    explicit MainWindow(std::unique_ptr<Dialogs> dialogs = nullptr, QWidget *parent = nullptr);
    MainWindow(std::unique_ptr<Dialogs> dialogs, const SoundFactory &sounds, QWidget *parent = nullptr);
    ~MainWindow() override;

    Dialogs &dialogs() const { return *m_dialogs; }

    // The current puzzle; absent until the first New or successful Open.
    std::unique_ptr<Puzzle> puzzle;
    // The effect code handed to a new or re-split puzzle, kept in step with the checked Effect command.
    qint32 currentEffect = 0;
    // Set while a picture mouse handler works on the puzzle.
    bool busy = false;
    // The puzzle file named on the command line, opened when the window is first shown.
    QString commandLinePuzzle;
    // The pause after each shown step of a tangle, so that a person can follow it.
    int tangleStepMs = 60;
    // Keeps the placement and the 22 check marks from one run to the next; its file is SettingsFileName().
    WindowSettings formStorage;
    // Hands the puzzle file to the desktop's mail program.
    MailSender *mailSender = nullptr;

    // Components.
    QToolBar *toolBar1 = nullptr;
    PicturePanel *imageSpeedBar = nullptr;
    PictureView *image = nullptr;
    QImage hiddenImage; // the concealment texture every puzzle tiles
    QMenu *mPuzzle = nullptr;
    QMenu *mView = nullptr;
    QMenu *mSplit = nullptr;
    QMenu *mEffect = nullptr;
    QMenu *mEdit = nullptr;
    QMenu *mOptions = nullptr;
    QMenu *mHelp = nullptr;
    QAction *mSound = nullptr;
    QAction *mShowexampe = nullptr;

    // The game's sounds, opened once at start; mSound switches all three.
    std::unique_ptr<SoundPlayer> moveMediaPlayer;
    std::unique_ptr<SoundPlayer> adviceMediaPlayer;
    std::unique_ptr<SoundPlayer> victoryMediaPlayer;
    // Warps and confines the system pointer; tests put one in that only records.
    std::unique_ptr<PointerControl> pointerControl;

    // The command list, in its fixed order (the Split group is read in this order).
    QList<QAction *> actionList;
    QAction *obscureAction = nullptr;
    QAction *zoomInAction = nullptr;
    QAction *newAction = nullptr;
    QAction *actualSizeAction = nullptr;
    QAction *zoomOutAction = nullptr;
    QAction *bestFitAction = nullptr;
    QAction *autoBestFitAction = nullptr;
    QAction *emptyRowAction = nullptr;
    QAction *emptyColumnAction = nullptr;
    QAction *darkAction = nullptr;
    QAction *transparentAction = nullptr;
    QAction *negativeAction = nullptr;
    QAction *hiddenAction = nullptr;
    QAction *topSecretAction = nullptr;
    QAction *semiEffectAction = nullptr;
    QAction *aboutAction = nullptr;
    QAction *helpAction = nullptr;
    QAction *lowResolutionAction = nullptr;
    QAction *action2x2 = nullptr;
    QAction *action3x2 = nullptr;
    QAction *action4x2 = nullptr;
    QAction *action2x3 = nullptr;
    QAction *action3x3 = nullptr;
    QAction *action4x3 = nullptr;
    QAction *action2x4 = nullptr;
    QAction *action3x4 = nullptr;
    QAction *action4x4 = nullptr;
    QAction *showAtStartAction = nullptr;
    QAction *openAction = nullptr;
    QAction *saveAsAction = nullptr;
    QAction *saveImageAsAction = nullptr;
    QAction *sendByEMailAction = nullptr;
    QAction *tangleAction = nullptr;
    QAction *exitAction = nullptr;

    static QString category(const QAction *action);
    static qint32 tag(const QAction *action);

    // Recomputes every command's enabled state from the puzzle; runs whenever the program turns idle.
    void actionListUpdate();
    bool updateHandlerInstalled() const { return m_updateInstalled; }
    quint64 updatePasses() const;

    void getSplit(int &rows, int &columns) const;
    void resplitPuzzle();
    void suspendCommands();
    void resumeCommands();
    void attachImageMouse();
    void detachImageMouse();
    bool imageMouseAttached() const { return m_mouseAttached; }

    void updateTitle();
    void imageSpeedBarResize();
    // The panel's client area in screen pixels, which the picture is fitted to.
    QSize panelPixels() const;
    // True when the caller may go on and discard the current puzzle.
    bool confirmSave();
    void openPuzzleFile(const QString &path);

    // The executable's name with ".INI", in the user's configuration folder: an installed program cannot write
    // beside itself.
    static QString settingsFileName();
    // The window's placement and its stored check marks as they are now, in the settings store's terms.
    WindowPlacement placement() const;
    QList<CheckMark> checkMarks() const;
    // The command or menu item a stored check mark belongs to.
    QAction *checkMarkAction(const QString &name) const;

    // Every command handler runs inside this: an error ends the command and is reported, the program goes on.
    void guarded(const std::function<void()> &handler);
    // Runs Work and reports an error that ends it, an allocation that failed included; false when one did.
    bool reported(const std::function<void()> &work);

    // Command handlers; shared ones learn from Sender which command was invoked.
    void obscureActionExecute(QAction *sender);
    void zoomInActionExecute(QAction *sender);
    void newActionExecute(QAction *sender);
    void actualSizeActionExecute(QAction *sender);
    void zoomOutActionExecute(QAction *sender);
    void bestFitActionExecute(QAction *sender);
    void autoBestFitActionExecute(QAction *sender);
    void emptyRowActionExecute(QAction *sender);
    void semiEffectActionExecute(QAction *sender);
    void aboutActionExecute(QAction *sender);
    void action2x2Execute(QAction *sender);
    void openActionExecute(QAction *sender);
    void saveAsActionExecute(QAction *sender);
    void saveImageAsActionExecute(QAction *sender);
    void tangleActionExecute(QAction *sender);
    void exitActionExecute(QAction *sender);
    void helpActionExecute(QAction *sender);
    void sendByEMailActionExecute(QAction *sender);
    // Opens the demo window; also run by itself at the first activation while Show at Start is checked.
    void mShowexampeClick();

    // New with the picture given instead of chosen in the dialog.
    void newPuzzleFromPicture(const QString &path);
    // A file dropped on the window: a puzzle file is opened, a picture makes a new puzzle, anything else is
    // refused with a message.
    void dropFile(const QString &path);

    void setVisible(bool visible) override;

    // The picture's mouse handlers, connected only while a game is being played.
    void imageMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void imageMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void imageMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    // The pointer moved over the window or the panel, off the picture.
    void formMouseMove();

    // The window's side of a move: the caught cell, the pointer and the screen-wide cursor.
    void catchCell();
    void releaseCell();
    // Picture coordinates; a width or height of 0 is a one-pixel line.
    void clipPointer(int left, int top, int width, int height);
    void unclipPointer();
    void playSoundIfOn(SoundPlayer *player);
    // Run right after the commit that solved the puzzle.
    void victorySequence();
    // The screen-wide cursor shown over everything, or Qt::ArrowCursor when none is set.
    Qt::CursorShape screenCursor() const { return m_screenCursor; }

signals:
    // After each shown step of a tangle, before the pause.
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
    QAction *addCommand(const char *name, const QString &category, const QString &caption, const QString &hint,
                        qint32 tag, bool checkable, bool checked);
    void bind(QAction *action, void (MainWindow::*handler)(QAction *));
    void createMenus();
    void createToolBar();
    void formCreate();
    void formShow();
    void formActivate();
    // The settings store's two moments: restored before the first show, saved as the window closes or goes.
    void restoreSettings();
    // Wanted kept within the free area of Screen, the window's smallest size lowered where the screen is smaller.
    QRect fitToScreen(const QRect &wanted, const QScreen *screen);
    void saveSettings(bool destroying);
    // The one local file a drag carries, or an empty text.
    QString draggedFile(const QMimeData *data) const;
    // Runs a dropped file once no command is under way (a redraw inside one lets timers run).
    void runDroppedFile(const QString &path);
    void openSounds();
    void setScreenCursor(Qt::CursorShape shape);
    // Ends whatever a caught cell holds on screen (cursor, confinement) when the puzzle goes away mid-move.
    void dropPointerHold();

    // Saves through the Save As dialog; false when the dialog was cancelled.
    bool savePuzzleAs();
    std::unique_ptr<Puzzle> createPuzzle();
    void adoptPuzzle(std::unique_ptr<Puzzle> newPuzzle);
    // Puts back the puzzle an opening replaced, when the new one could not be shown after all.
    void bringBack(std::unique_ptr<Puzzle> previous);
    void dropPuzzle();
    void fitPuzzle();
    void placeImage();
    void repaintPicture();
    void paceTangle();

    std::unique_ptr<Dialogs> m_dialogs;
    SoundFactory m_soundFactory;
    // The bitmap of Image: the current puzzle's Display.
    QImage m_display;
    // A puzzle being loaded draws here, so the one on screen stays untouched until the load has succeeded.
    QImage m_candidateDisplay;
    std::unique_ptr<IdleTrigger> m_idle;
    bool m_updateInstalled = true;
    bool m_suspended = false;
    bool m_mouseAttached = false;
    bool m_shown = false;
    // FormShow has run, and the first activation after it has been handled.
    bool m_formShowDone = false;
    bool m_activated = false;
    // How many Guarded handlers are running, one inside another.
    int m_commandDepth = 0;
    Qt::CursorShape m_screenCursor = Qt::ArrowCursor;
    QMetaObject::Connection m_mouseDownConnection;
    QMetaObject::Connection m_mouseMoveConnection;
    QMetaObject::Connection m_mouseUpConnection;
};
