// The main window: commands, menus, tool bar, the picture panel and the puzzle documents.
#pragma once

#include "TDialogs.h"
#include "TFormStorage.h"
#include "TPointerControl.h"
#include "TPuzzle.h"
#include "TSoundPlayer.h"

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
class TIdleTrigger;
class TMailSender;
class TPictureControl;
class TPicturePanel;

class TNimbrelMainForm : public QMainWindow
{
    Q_OBJECT

public:
    // Makes one sound player; the window asks for three and opens each on its file.
    using TSoundFactory = std::function<std::unique_ptr<TSoundPlayer>()>;

    // Without Dialogs the window uses real Qt dialogs parented to itself; without Sounds it plays through the
    // system's audio.
    explicit TNimbrelMainForm(std::unique_ptr<TDialogs> Dialogs = nullptr, QWidget *Parent = nullptr);
    TNimbrelMainForm(std::unique_ptr<TDialogs> Dialogs, const TSoundFactory &Sounds, QWidget *Parent = nullptr);
    ~TNimbrelMainForm() override;

    TDialogs &Dialogs() const { return *FDialogs; }

    // The current puzzle; absent until the first New or successful Open.
    std::unique_ptr<TPuzzle> Puzzle;
    // The effect code handed to a new or re-split puzzle, kept in step with the checked Effect command.
    qint32 CurrentEffect = 0;
    // Set while a picture mouse handler works on the puzzle.
    bool Busy = false;
    // The puzzle file named on the command line, opened when the window is first shown.
    QString CommandLinePuzzle;
    // The pause after each shown step of a tangle, so that a person can follow it.
    int TangleStepMs = 60;
    // Keeps the placement and the 22 check marks from one run to the next; its file is SettingsFileName().
    TFormStorage FormStorage;
    // Hands the puzzle file to the desktop's mail program.
    TMailSender *MailSender = nullptr;

    // Components.
    QToolBar *ToolBar1 = nullptr;
    TPicturePanel *ImageSpeedBar = nullptr;
    TPictureControl *Image = nullptr;
    QImage HiddenImage; // the concealment texture every puzzle tiles
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
    std::unique_ptr<TSoundPlayer> MoveMediaPlayer;
    std::unique_ptr<TSoundPlayer> AdviceMediaPlayer;
    std::unique_ptr<TSoundPlayer> VictoryMediaPlayer;
    // Warps and confines the system pointer; tests put one in that only records.
    std::unique_ptr<TPointerControl> PointerControl;

    // The command list, in its fixed order (the Split group is read in this order).
    QList<QAction *> ActionList;
    QAction *ObscureAction = nullptr;
    QAction *ZoomInAction = nullptr;
    QAction *NewAction = nullptr;
    QAction *ActualSizeAction = nullptr;
    QAction *ZoomOutAction = nullptr;
    QAction *BestFitAction = nullptr;
    QAction *AutoBestFitAction = nullptr;
    QAction *EmptyRowAction = nullptr;
    QAction *EmptyColumnAction = nullptr;
    QAction *DarkAction = nullptr;
    QAction *TransparentAction = nullptr;
    QAction *NegativeAction = nullptr;
    QAction *HiddenAction = nullptr;
    QAction *TopSecretAction = nullptr;
    QAction *SemiEffectAction = nullptr;
    QAction *AboutAction = nullptr;
    QAction *HelpAction = nullptr;
    QAction *LowResolutionAction = nullptr;
    QAction *Action2x2 = nullptr;
    QAction *Action3x2 = nullptr;
    QAction *Action4x2 = nullptr;
    QAction *Action2x3 = nullptr;
    QAction *Action3x3 = nullptr;
    QAction *Action4x3 = nullptr;
    QAction *Action2x4 = nullptr;
    QAction *Action3x4 = nullptr;
    QAction *Action4x4 = nullptr;
    QAction *ShowAtStartAction = nullptr;
    QAction *OpenAction = nullptr;
    QAction *SaveAsAction = nullptr;
    QAction *SaveImageAsAction = nullptr;
    QAction *SendByEMailAction = nullptr;
    QAction *TangleAction = nullptr;
    QAction *ExitAction = nullptr;

    static QString Category(const QAction *Action);
    static qint32 Tag(const QAction *Action);

    // Recomputes every command's enabled state from the puzzle; runs whenever the program turns idle.
    void ActionListUpdate();
    bool UpdateHandlerInstalled() const { return FUpdateInstalled; }
    quint64 UpdatePasses() const;

    void GetSplit(int &Rows, int &Columns) const;
    void ResplitPuzzle();
    void SuspendCommands();
    void ResumeCommands();
    void AttachImageMouse();
    void DetachImageMouse();
    bool ImageMouseAttached() const { return FMouseAttached; }

    void UpdateTitle();
    void ImageSpeedBarResize();
    // The panel's client area in screen pixels, which the picture is fitted to.
    QSize PanelPixels() const;
    // True when the caller may go on and discard the current puzzle.
    bool ConfirmSave();
    void OpenPuzzleFile(const QString &Path);

    // The executable's name with ".INI", in the user's configuration folder: an installed program cannot write
    // beside itself.
    static QString SettingsFileName();
    // The window's placement and its stored check marks as they are now, in the settings store's terms.
    TFormPlacement Placement() const;
    QList<TCheckMark> CheckMarks() const;
    // The command or menu item a stored check mark belongs to.
    QAction *CheckMarkAction(const QString &Name) const;

    // Every command handler runs inside this: an error ends the command and is reported, the program goes on.
    void Guarded(const std::function<void()> &Handler);
    // Runs Work and reports an error that ends it, an allocation that failed included; false when one did.
    bool Reported(const std::function<void()> &Work);

    // Command handlers; shared ones learn from Sender which command was invoked.
    void ObscureActionExecute(QAction *Sender);
    void ZoomInActionExecute(QAction *Sender);
    void NewActionExecute(QAction *Sender);
    void ActualSizeActionExecute(QAction *Sender);
    void ZoomOutActionExecute(QAction *Sender);
    void BestFitActionExecute(QAction *Sender);
    void AutoBestFitActionExecute(QAction *Sender);
    void EmptyRowActionExecute(QAction *Sender);
    void SemiEffectActionExecute(QAction *Sender);
    void AboutActionExecute(QAction *Sender);
    void Action2x2Execute(QAction *Sender);
    void OpenActionExecute(QAction *Sender);
    void SaveAsActionExecute(QAction *Sender);
    void SaveImageAsActionExecute(QAction *Sender);
    void TangleActionExecute(QAction *Sender);
    void ExitActionExecute(QAction *Sender);
    void HelpActionExecute(QAction *Sender);
    void SendByEMailActionExecute(QAction *Sender);
    // Opens the demo window; also run by itself at the first activation while Show at Start is checked.
    void mShowexampeClick();

    // New with the picture given instead of chosen in the dialog.
    void NewPuzzleFromPicture(const QString &Path);
    // A file dropped on the window: a puzzle file is opened, a picture makes a new puzzle, anything else is
    // refused with a message.
    void DropFile(const QString &Path);

    void setVisible(bool Visible) override;

    // The picture's mouse handlers, connected only while a game is being played.
    void ImageMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Modifiers, int X, int Y);
    void ImageMouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers, int X, int Y);
    void ImageMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Modifiers, int X, int Y);
    // The pointer moved over the window or the panel, off the picture.
    void FormMouseMove();

    // The window's side of a move: the caught cell, the pointer and the screen-wide cursor.
    void CatchCell();
    void ReleaseCell();
    // Picture coordinates; a width or height of 0 is a one-pixel line.
    void ClipPointer(int Left, int Top, int Width, int Height);
    void UnclipPointer();
    void PlaySoundIfOn(TSoundPlayer *Player);
    // Run right after the commit that solved the puzzle.
    void VictorySequence();
    // The screen-wide cursor shown over everything, or Qt::ArrowCursor when none is set.
    Qt::CursorShape ScreenCursor() const { return FScreenCursor; }

signals:
    // After each shown step of a tangle, before the pause.
    void TangleStepped();

protected:
    void showEvent(QShowEvent *Event) override;
    void closeEvent(QCloseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void changeEvent(QEvent *Event) override;
    void dragEnterEvent(QDragEnterEvent *Event) override;
    void dragMoveEvent(QDragMoveEvent *Event) override;
    void dropEvent(QDropEvent *Event) override;
    QMenu *createPopupMenu() override;

private:
    QAction *AddCommand(const char *Name, const QString &Category, const QString &Caption, const QString &Hint,
                        qint32 Tag, bool Checkable, bool Checked);
    void Bind(QAction *Action, void (TNimbrelMainForm::*Handler)(QAction *));
    void CreateMenus();
    void CreateToolBar();
    void FormCreate();
    void FormShow();
    void FormActivate();
    // The settings store's two moments: restored before the first show, saved as the window closes or goes.
    void RestoreSettings();
    // Wanted kept within the free area of Screen, the window's smallest size lowered where the screen is smaller.
    QRect FitToScreen(const QRect &Wanted, const QScreen *Screen);
    void SaveSettings(bool Destroying);
    // The one local file a drag carries, or an empty text.
    QString DraggedFile(const QMimeData *Data) const;
    // Runs a dropped file once no command is under way (a redraw inside one lets timers run).
    void RunDroppedFile(const QString &Path);
    void OpenSounds();
    void SetScreenCursor(Qt::CursorShape Shape);
    // Ends whatever a caught cell holds on screen (cursor, confinement) when the puzzle goes away mid-move.
    void DropPointerHold();

    // Saves through the Save As dialog; false when the dialog was cancelled.
    bool SavePuzzleAs();
    std::unique_ptr<TPuzzle> CreatePuzzle();
    void AdoptPuzzle(std::unique_ptr<TPuzzle> NewPuzzle);
    // Puts back the puzzle an opening replaced, when the new one could not be shown after all.
    void BringBack(std::unique_ptr<TPuzzle> Previous);
    void DropPuzzle();
    void FitPuzzle();
    void PlaceImage();
    void RepaintPicture();
    void PaceTangle();

    std::unique_ptr<TDialogs> FDialogs;
    TSoundFactory FSoundFactory;
    // The bitmap of Image: the current puzzle's Display.
    QImage FDisplay;
    // A puzzle being loaded draws here, so the one on screen stays untouched until the load has succeeded.
    QImage FCandidateDisplay;
    std::unique_ptr<TIdleTrigger> FIdle;
    bool FUpdateInstalled = true;
    bool FSuspended = false;
    bool FMouseAttached = false;
    bool FShown = false;
    // FormShow has run, and the first activation after it has been handled.
    bool FFormShowDone = false;
    bool FActivated = false;
    // How many Guarded handlers are running, one inside another.
    int FCommandDepth = 0;
    Qt::CursorShape FScreenCursor = Qt::ArrowCursor;
    QMetaObject::Connection FMouseDownConnection;
    QMetaObject::Connection FMouseMoveConnection;
    QMetaObject::Connection FMouseUpConnection;
};
