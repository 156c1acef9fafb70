// The main window: builds the commands, menus and tool bar, keeps their state in step with the puzzle, and runs
// the document flows New, Open, Save As and Save Image As.
#include "TNimbrelMainForm.h"

#include "DesignScale.h"
#include "Effects.h"
#include "PictureLoader.h"
#include "ProgramInfo.h"
#include "ProgramResources.h"
#include "TError.h"
#include "TIdleTrigger.h"
#include "TMailSender.h"
#include "TMediaSoundPlayer.h"
#include "TSoundOutput.h"
#include "TPictureControl.h"
#include "TPicturePanel.h"
#include "TQtDialogs.h"
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

QIcon ToolIcon(const QString &Name)
{
    return QIcon::fromTheme(Name, QIcon(QStringLiteral(":/icons/%1.png").arg(Name)));
}

} // namespace

TNimbrelMainForm::TNimbrelMainForm(std::unique_ptr<TDialogs> Dialogs, QWidget *Parent)
    : TNimbrelMainForm(std::move(Dialogs), TSoundFactory(), Parent)
{
}

TNimbrelMainForm::TNimbrelMainForm(std::unique_ptr<TDialogs> Dialogs, const TSoundFactory &Sounds, QWidget *Parent)
    : QMainWindow(Parent), FDialogs(std::move(Dialogs)), FSoundFactory(Sounds)
{
    setObjectName(QStringLiteral("NimbrelMainForm"));
    if (!FDialogs)
        FDialogs = std::make_unique<TQtDialogs>(this);
    // A pointer held on a line of the picture must be free before anything modal asks for it.
    if (auto *QtDialogs = dynamic_cast<TQtDialogs *>(FDialogs.get()))
        QtDialogs->SetBeforeModal([this] { UnclipPointer(); });
    if (!FSoundFactory)
        FSoundFactory = [] { return std::make_unique<TMediaSoundPlayer>(); };
    PointerControl = std::make_unique<TPointerControl>();

    // The command list, in its fixed order.
    ObscureAction = AddCommand("ObscureAction", "Effect", "&Obscure", "Obscure", 0, true, false);
    ZoomInAction = AddCommand("ZoomInAction", "Zoom", "Zoom In", "Zoom In", 0, false, false);
    NewAction = AddCommand("NewAction", "Puzzle", "New...", "New Puzzle", 0, false, false);
    ActualSizeAction = AddCommand("ActualSizeAction", "Zoom", "Actual &Size", "Show actual size", 0, false, false);
    ZoomOutAction = AddCommand("ZoomOutAction", "Zoom", "Zoom Out", "Zoom Out", 0, false, false);
    BestFitAction = AddCommand("BestFitAction", "Zoom", "Best Fit", "Best Fit", 0, false, false);
    AutoBestFitAction = AddCommand("AutoBestFitAction", "Zoom", "Auto Best Fit", "Auto Best Fit", 0, true, false);
    EmptyRowAction = AddCommand("EmptyRowAction", "Edit", "Empty &Row", "Empty row", 0, true, false);
    EmptyColumnAction = AddCommand("EmptyColumnAction", "Edit", "Empty &Column", "Empty column", 0, true, false);
    DarkAction = AddCommand("DarkAction", "Effect", "&Dark", "Dark", 0, true, false);
    TransparentAction = AddCommand("TransparentAction", "Effect", "&Transparent", "Transparent", 0, true, false);
    NegativeAction = AddCommand("NegativeAction", "Effect", "N&egative", "Negative", 0, true, false);
    HiddenAction = AddCommand("HiddenAction", "Effect", "&Hidden", "Hidden", 0, true, true);
    TopSecretAction = AddCommand("TopSecretAction", "Effect", "Top &Secret", QString(), 0, true, false);
    SemiEffectAction = AddCommand("SemiEffectAction", "Edit", "&SemiEffect",
                                  "Do not apply the effect for selected cells", 4, true, false);
    AboutAction = AddCommand("AboutAction", "Help", "About..", QString(), 0, false, false);
    HelpAction = AddCommand("HelpAction", "Help", "Content...", QString(), 0, false, false);
    LowResolutionAction = AddCommand("LowResolutionAction", "Effect", "&Low Resolution", QString(), 0, true, false);
    Action2x2 = AddCommand("Action2x2", "Split", "2x2", QString(), 0, true, true);
    Action3x2 = AddCommand("Action3x2", "Split", "3x2", QString(), 0, true, false);
    Action4x2 = AddCommand("Action4x2", "Split", "4x2", QString(), 0, true, false);
    Action2x3 = AddCommand("Action2x3", "Split", "2x3", QString(), 0, true, false);
    Action3x3 = AddCommand("Action3x3", "Split", "3x3", QString(), 0, true, false);
    Action4x3 = AddCommand("Action4x3", "Split", "4x3", QString(), 0, true, false);
    Action2x4 = AddCommand("Action2x4", "Split", "2x4", QString(), 0, true, false);
    Action3x4 = AddCommand("Action3x4", "Split", "3x4", QString(), 0, true, false);
    Action4x4 = AddCommand("Action4x4", "Split", "4x4", QString(), 0, true, false);
    ShowAtStartAction = AddCommand("ShowAtStartAction", QString(), "Show at Start", "Show At Start", 0, true, true);
    OpenAction = AddCommand("OpenAction", "Puzzle", "Open...", "Open Puzzle", 0, false, false);
    SaveAsAction = AddCommand("SaveAsAction", "Puzzle", "Save As...", "Save Puzzle", 0, false, false);
    SaveImageAsAction = AddCommand("SaveImageAsAction", "Puzzle", "Save Image As...", "Save Image", 0, false, false);
    SendByEMailAction =
        AddCommand("SendByEMailAction", "Puzzle", "Send by E-Mail...", "Send by E-Mail", 0, false, false);
    TangleAction = AddCommand("TangleAction", "Puzzle", "Tangle", "Tangle Puzzle", 0, false, false);
    ExitAction = AddCommand("ExitAction", "Puzzle", "Exit", QString(), 0, false, false);

    for (QAction *Effect : {ObscureAction, DarkAction, TransparentAction, NegativeAction, HiddenAction,
                            TopSecretAction, LowResolutionAction})
        Bind(Effect, &TNimbrelMainForm::ObscureActionExecute);
    for (QAction *Split : {Action2x2, Action3x2, Action4x2, Action2x3, Action3x3, Action4x3, Action2x4, Action3x4,
                           Action4x4})
        Bind(Split, &TNimbrelMainForm::Action2x2Execute);
    Bind(ZoomInAction, &TNimbrelMainForm::ZoomInActionExecute);
    Bind(NewAction, &TNimbrelMainForm::NewActionExecute);
    Bind(ActualSizeAction, &TNimbrelMainForm::ActualSizeActionExecute);
    Bind(ZoomOutAction, &TNimbrelMainForm::ZoomOutActionExecute);
    Bind(BestFitAction, &TNimbrelMainForm::BestFitActionExecute);
    Bind(AutoBestFitAction, &TNimbrelMainForm::AutoBestFitActionExecute);
    Bind(EmptyRowAction, &TNimbrelMainForm::EmptyRowActionExecute);
    Bind(EmptyColumnAction, &TNimbrelMainForm::EmptyRowActionExecute);
    Bind(SemiEffectAction, &TNimbrelMainForm::SemiEffectActionExecute);
    Bind(AboutAction, &TNimbrelMainForm::AboutActionExecute);
    Bind(OpenAction, &TNimbrelMainForm::OpenActionExecute);
    Bind(SaveAsAction, &TNimbrelMainForm::SaveAsActionExecute);
    Bind(SaveImageAsAction, &TNimbrelMainForm::SaveImageAsActionExecute);
    Bind(TangleAction, &TNimbrelMainForm::TangleActionExecute);
    Bind(ExitAction, &TNimbrelMainForm::ExitActionExecute);
    Bind(HelpAction, &TNimbrelMainForm::HelpActionExecute);
    Bind(SendByEMailAction, &TNimbrelMainForm::SendByEMailActionExecute);
    // ShowAtStartAction needs no handler: Qt inverts a checkable command's check mark by itself.

    ImageSpeedBar = new TPicturePanel(this);
    setCentralWidget(ImageSpeedBar);
    Image = new TPictureControl(&FDisplay, ImageSpeedBar);
    connect(ImageSpeedBar, &TPicturePanel::Resized, this, [this] { Guarded([this] { ImageSpeedBarResize(); }); });
    // Moving over the panel or the window, off the picture, lets go of the hovered cell.
    ImageSpeedBar->setMouseTracking(true);
    setMouseTracking(true);
    connect(ImageSpeedBar, &TPicturePanel::MouseMove, this, [this] { Guarded([this] { FormMouseMove(); }); });
    // The window's focus going elsewhere frees the pointer.
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState State) {
        if (State != Qt::ApplicationActive)
            UnclipPointer();
    });

    CreateMenus();
    CreateToolBar();
    connect(mShowexampe, &QAction::triggered, this, [this] { Guarded([this] { mShowexampeClick(); }); });

    MailSender = new TMailSender(this);
    // Nothing could take the message: the person is told where the file is, to attach it by hand.
    connect(MailSender, &TMailSender::Failed, this, [this](const QString &Message) {
        FDialogs->Message(QuorraProgramName, Message, TMessageIcon::Warning);
    });
    setAcceptDrops(true);

    FormCreate();

    auto Px = [this](int Pixels) { return DesignPixels(Pixels, this); };
    setMinimumSize(Px(420), Px(320));
    // A small or scaled screen may have less room than the design size.
    resize(FitToScreen(QRect(0, 0, Px(790), Px(628) + menuBar()->sizeHint().height()), screen()).size());

    FIdle = std::make_unique<TIdleTrigger>([this] { Reported([this] { ActionListUpdate(); }); });
}

TNimbrelMainForm::~TNimbrelMainForm()
{
    // A window that goes without having been closed keeps its settings all the same.
    Reported([this] { SaveSettings(true); });
    FIdle.reset();
    DropPointerHold();
    Puzzle.reset();
}

QAction *TNimbrelMainForm::AddCommand(const char *Name, const QString &Category, const QString &Caption,
                                      const QString &Hint, qint32 Tag, bool Checkable, bool Checked)
{
    auto *Action = new QAction(Caption, this);
    Action->setObjectName(QLatin1String(Name));
    Action->setProperty(CategoryProperty, Category);
    Action->setProperty(TagProperty, Tag);
    if (!Hint.isEmpty()) {
        Action->setStatusTip(Hint);
        Action->setToolTip(Hint);
    }
    Action->setCheckable(Checkable);
    Action->setChecked(Checked);
    Action->setIconVisibleInMenu(false);
    ActionList.append(Action);
    return Action;
}

void TNimbrelMainForm::Bind(QAction *Action, void (TNimbrelMainForm::*Handler)(QAction *))
{
    connect(Action, &QAction::triggered, this, [this, Action, Handler] {
        Guarded([this, Action, Handler] { (this->*Handler)(Action); });
    });
}

QString TNimbrelMainForm::Category(const QAction *Action)
{
    return Action->property(CategoryProperty).toString();
}

qint32 TNimbrelMainForm::Tag(const QAction *Action)
{
    return Action->property(TagProperty).toInt();
}

void TNimbrelMainForm::CreateMenus()
{
    QMenuBar *Bar = menuBar();
    auto AddMenu = [this, Bar](const char *Name, const QString &Caption) {
        QMenu *Menu = Bar->addMenu(Caption);
        Menu->setObjectName(QLatin1String(Name));
        // A menu opened from the keyboard in the middle of a drag must not find the pointer held on the line.
        connect(Menu, &QMenu::aboutToShow, this, &TNimbrelMainForm::UnclipPointer);
        return Menu;
    };

    mPuzzle = AddMenu("mPuzzle", QStringLiteral("Puzzle"));
    mPuzzle->addAction(NewAction);
    mPuzzle->addAction(OpenAction);
    mPuzzle->addSeparator();
    mPuzzle->addAction(SaveAsAction);
    mPuzzle->addAction(SaveImageAsAction);
    mPuzzle->addSeparator();
    mPuzzle->addAction(SendByEMailAction);
    mPuzzle->addSeparator();
    mPuzzle->addAction(TangleAction);
    mPuzzle->addSeparator();
    mPuzzle->addAction(ExitAction);

    mView = AddMenu("mView", QStringLiteral("View"));
    mView->addAction(ZoomInAction);
    mView->addAction(ZoomOutAction);
    mView->addSeparator();
    mView->addAction(ActualSizeAction);
    mView->addAction(BestFitAction);
    mView->addSeparator();
    mView->addAction(AutoBestFitAction);

    // Qt menus cannot break into columns, so the three columns follow one another, a separator between them.
    mSplit = AddMenu("mSplit", QStringLiteral("Split"));
    mSplit->addActions({Action2x2, Action3x2, Action4x2});
    mSplit->addSeparator();
    mSplit->addActions({Action2x3, Action3x3, Action4x3});
    mSplit->addSeparator();
    mSplit->addActions({Action2x4, Action3x4, Action4x4});

    mEffect = AddMenu("mEffect", QStringLiteral("E&ffect"));
    mEffect->addActions({ObscureAction, DarkAction, TransparentAction, NegativeAction, HiddenAction,
                         TopSecretAction, LowResolutionAction});

    mEdit = AddMenu("mEdit", QStringLiteral("&Edit"));
    mEdit->addSeparator();
    mEdit->addActions({EmptyRowAction, EmptyColumnAction});
    mEdit->addSeparator();
    mEdit->addAction(SemiEffectAction);
    mEdit->addSeparator();

    mOptions = AddMenu("mOptions", QStringLiteral("Options"));
    mSound = mOptions->addAction(QStringLiteral("Sound"));
    mSound->setObjectName(QStringLiteral("mSound"));
    mSound->setCheckable(true);
    mSound->setChecked(true);

    mHelp = AddMenu("mHelp", QStringLiteral("Help"));
    mHelp->addAction(HelpAction);
    mHelp->addSeparator();
    mShowexampe = mHelp->addAction(QStringLiteral("Show Example..."));
    mShowexampe->setObjectName(QStringLiteral("mShowexampe"));
    mHelp->addSeparator();
    mHelp->addAction(AboutAction);
}

void TNimbrelMainForm::CreateToolBar()
{
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(24, 24));
    NewAction->setIcon(ToolIcon(QStringLiteral("document-new")));
    OpenAction->setIcon(ToolIcon(QStringLiteral("document-open")));
    SaveAsAction->setIcon(ToolIcon(QStringLiteral("document-save-as")));
    SaveImageAsAction->setIcon(ToolIcon(QStringLiteral("image-x-generic")));
    SendByEMailAction->setIcon(ToolIcon(QStringLiteral("mail-send")));
    TangleAction->setIcon(ToolIcon(QStringLiteral("view-refresh")));
    ZoomInAction->setIcon(ToolIcon(QStringLiteral("zoom-in")));
    ZoomOutAction->setIcon(ToolIcon(QStringLiteral("zoom-out")));
    ToolBar1->addAction(NewAction);
    ToolBar1->addAction(OpenAction);
    ToolBar1->addSeparator();
    ToolBar1->addAction(SaveAsAction);
    ToolBar1->addAction(SaveImageAsAction);
    ToolBar1->addAction(SendByEMailAction);
    ToolBar1->addAction(TangleAction);
    ToolBar1->addSeparator();
    ToolBar1->addAction(ZoomInAction);
    ToolBar1->addAction(ZoomOutAction);
}

QMenu *TNimbrelMainForm::createPopupMenu()
{
    // The tool bar is part of the window's design; it is not offered for hiding.
    return nullptr;
}

void TNimbrelMainForm::FormCreate()
{
    Busy = false;
    Puzzle.reset();
    UpdateTitle();
    Image->resize(0, Image->height());
    Image->setCursor(Qt::PointingHandCursor);
    HiddenImage = ConcealmentTexture();

    // The effect commands carry their effect codes.
    ObscureAction->setProperty(TagProperty, qint32(Effect::Obscure));
    DarkAction->setProperty(TagProperty, qint32(Effect::Dark));
    TransparentAction->setProperty(TagProperty, qint32(Effect::Transparent));
    NegativeAction->setProperty(TagProperty, qint32(Effect::Negative));
    HiddenAction->setProperty(TagProperty, qint32(Effect::Hidden));
    TopSecretAction->setProperty(TagProperty, qint32(Effect::TopSecret));
    LowResolutionAction->setProperty(TagProperty, qint32(Effect::LowResolution));

    FormStorage.SetIniFileName(SettingsFileName());

    // Effects, edit options and the actual-size command are kept out of sight; the engine still supports them
    // and their stored check marks still apply.
    mEffect->menuAction()->setVisible(false);
    mEdit->menuAction()->setVisible(false);
    ActualSizeAction->setVisible(false);
    for (QAction *Option : {EmptyRowAction, EmptyColumnAction, SemiEffectAction}) {
        Option->setVisible(false);
        Option->setChecked(false);
    }

    OpenSounds();
}

void TNimbrelMainForm::OpenSounds()
{
    // A sound that cannot be opened stays silent for the whole run; nobody is told.
    auto Open = [this](const char *Name) {
        std::unique_ptr<TSoundPlayer> Player = FSoundFactory();
        if (Player) {
            try {
                Player->Open(ProgramResource(QStringLiteral("Sounds/") + QLatin1String(Name)));
            } catch (...) {
            }
        }
        return Player;
    };
    MoveMediaPlayer = Open("Move.wav");
    AdviceMediaPlayer = Open("Advice.wav");
    VictoryMediaPlayer = Open("Victory.wav");
}

void TNimbrelMainForm::showEvent(QShowEvent *Event)
{
    QMainWindow::showEvent(Event);
    if (FShown)
        return;
    FShown = true;
    // The window appears first; the puzzle named on the command line follows from the event loop.
    QTimer::singleShot(0, this, [this] { FormShow(); });
}

void TNimbrelMainForm::FormShow()
{
    if (!CommandLinePuzzle.isEmpty())
        Guarded([this] { OpenPuzzleFile(CommandLinePuzzle); });
    FFormShowDone = true;
    // The focus may have come before the puzzle was opened; the demo still follows it.
    if (isActiveWindow())
        QTimer::singleShot(0, this, [this] { FormActivate(); });
    else if (!isMinimized())
        // Asked for, as a window system without a window manager hands it to nobody.
        activateWindow();
}

void TNimbrelMainForm::FormActivate()
{
    // Modal windows give the focus back without a new activation, and the program has no other windows: the
    // demo comes up once, at start.
    if (FActivated)
        return;
    FActivated = true;
    if (ShowAtStartAction->isChecked())
        Guarded([this] { mShowexampeClick(); });
}

void TNimbrelMainForm::setVisible(bool Visible)
{
    // Applied before the window first appears, so it never jumps from the system's place to the stored one.
    if (Visible && !FormStorage.IsRestored())
        Reported([this] { RestoreSettings(); });
    QMainWindow::setVisible(Visible);
}

// ---- Settings ----

QString TNimbrelMainForm::SettingsFileName()
{
    QString Base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (Base.isEmpty())
        Base = QCoreApplication::applicationName();
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QLatin1Char('/') + Base +
           QStringLiteral(".INI");
}

QAction *TNimbrelMainForm::CheckMarkAction(const QString &Name) const
{
    if (Name == mSound->objectName())
        return mSound;
    for (QAction *Action : ActionList)
        if (Action->objectName() == Name)
            return Action;
    return nullptr;
}

QList<TCheckMark> TNimbrelMainForm::CheckMarks() const
{
    QList<TCheckMark> Marks = TFormStorage::DefaultCheckMarks();
    for (TCheckMark &Mark : Marks)
        if (const QAction *Action = CheckMarkAction(Mark.Name))
            Mark.Checked = Action->isChecked();
    return Marks;
}

TFormPlacement TNimbrelMainForm::Placement() const
{
    TFormPlacement P;
    P.ShowCmd = isMinimized() ? 2 : isMaximized() ? 3 : 1;
    // Qt keeps no minimized or maximized positions of its own; these are the values of a window never moved
    // while in those states.
    P.MinPosition = QPoint(-1, -1);
    P.MaxPosition = QPoint(-1, -1);
    const QRect Normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    P.Left = Normal.left();
    P.Top = Normal.top();
    // One past the last pixel, where QRect::right() is the last pixel itself.
    P.Right = Normal.left() + Normal.width();
    P.Bottom = Normal.top() + Normal.height();
    if (const QScreen *Screen = screen()) {
        P.PixelsPerInch = qRound(Screen->logicalDotsPerInch());
        P.ScreenSize = Screen->size();
    }
    return P;
}

void TNimbrelMainForm::RestoreSettings()
{
    QList<TCheckMark> Marks = CheckMarks();
    const TFormRestore Restored = FormStorage.Restore(Placement(), Marks);
    // Only the marks change: no command runs.
    for (const TCheckMark &Mark : std::as_const(Marks))
        if (QAction *Action = CheckMarkAction(Mark.Name))
            Action->setChecked(Mark.Checked);
    if (!Restored.Restored)
        return;

    if (Restored.ApplyPlacement) {
        const TFormPlacement &P = Restored.Placement;
        const QRect Normal(P.Left, P.Top, P.Right - P.Left, P.Bottom - P.Top);
        // Whatever the file says, the window fits the screen it comes up on: a stored rectangle larger than the
        // screen put the menus out of reach. Wayland neither tells nor takes a window's position, and a place on
        // a screen that is no longer there would put the window out of reach: there only the size is applied.
        QScreen *Landing = QGuiApplication::screenAt(Normal.center());
        if (!Landing)
            Landing = QGuiApplication::screenAt(Normal.topLeft());
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) || !Landing)
            resize(FitToScreen(Normal, screen()).size());
        else
            setGeometry(FitToScreen(Normal, Landing));
    }
    switch (Restored.ShowState) {
    case TShowState::Minimized:
        setWindowState(Qt::WindowMinimized);
        break;
    case TShowState::Maximized:
        setWindowState(Qt::WindowMaximized);
        break;
    case TShowState::Normal:
        setWindowState(Qt::WindowNoState);
        break;
    }
}

QRect TNimbrelMainForm::FitToScreen(const QRect &Wanted, const QScreen *Screen)
{
    if (!Screen)
        return Wanted;
    const QRect Area = Screen->availableGeometry();
    // On a screen smaller than the window's smallest size, all of the window must still be reachable.
    setMinimumSize(minimumSize().boundedTo(Area.size()));
    return FitToArea(Wanted, Area, minimumSize());
}

void TNimbrelMainForm::SaveSettings(bool Destroying)
{
    const TFormPlacement Now = Placement();
    const QList<TCheckMark> Marks = CheckMarks();
    const bool Saved = Destroying ? FormStorage.SaveOnDestroy(Now, Marks) : FormStorage.SaveOnClose(Now, Marks);
    // Told, and the program goes on ending normally.
    if (!Saved)
        FDialogs->Error(FormStorage.ErrorString());
}

void TNimbrelMainForm::closeEvent(QCloseEvent *Event)
{
    // A tangle on screen runs the event loop between its steps; the window must outlive it.
    if (FSuspended) {
        Event->ignore();
        return;
    }
    bool CanClose = false;
    Guarded([this, &CanClose] { CanClose = ConfirmSave(); });
    if (!CanClose) {
        Event->ignore();
        return;
    }
    // Told if it fails; the window closes all the same.
    Reported([this] { SaveSettings(false); });
    Event->accept();
}

void TNimbrelMainForm::Guarded(const std::function<void()> &Handler)
{
    ++FCommandDepth;
    const auto Done = qScopeGuard([this] { --FCommandDepth; });
    Reported(Handler);
}

bool TNimbrelMainForm::Reported(const std::function<void()> &Work)
{
    try {
        Work();
        return true;
    } catch (const TError &E) {
        UnclipPointer();
        FDialogs->Error(E.Message());
    } catch (const std::bad_alloc &) {
        UnclipPointer();
        FDialogs->Error(QString::fromLatin1(NoMemoryForCommand));
    } catch (const std::exception &E) {
        UnclipPointer();
        FDialogs->Error(QString::fromLocal8Bit(E.what()));
    }
    return false;
}

quint64 TNimbrelMainForm::UpdatePasses() const
{
    return FIdle ? FIdle->RunCount() : 0;
}

// ---- Command state ----

void TNimbrelMainForm::ActionListUpdate()
{
    if (!FUpdateInstalled)
        return;
    const bool P = Puzzle != nullptr;
    const bool E = P && Puzzle->EditMode;
    const bool S = P && Puzzle->Solved;
    const bool M = P && Puzzle->Modified;
    const bool A = AutoBestFitAction->isChecked();

    if (P) {
        FitPuzzle();
        // A fit that changed the picture's size re-centres it.
        if (Image->SizeToBitmap())
            PlaceImage();
    }

    if (E)
        DetachImageMouse();
    else
        AttachImageMouse();
    if (S)
        DetachImageMouse();
    else
        AttachImageMouse();

    for (QAction *Action : std::as_const(ActionList)) {
        const QString C = Category(Action);
        if (C == QLatin1String("Edit") || C == QLatin1String("Split") || C == QLatin1String("Effect"))
            Action->setEnabled(E);
    }

    for (QAction *Effect : {ObscureAction, DarkAction, TransparentAction, NegativeAction, HiddenAction,
                            TopSecretAction, LowResolutionAction})
        if (Effect->isChecked()) {
            CurrentEffect = Tag(Effect);
            break;
        }

    for (QAction *Always : {NewAction, OpenAction, ExitAction, AutoBestFitAction, HelpAction, AboutAction,
                            ShowAtStartAction})
        Always->setEnabled(true);
    SaveAsAction->setEnabled(P);
    SaveImageAsAction->setEnabled(S);
    SendByEMailAction->setEnabled(P && !M && !MailSender->HandOverUnderWay());
    TangleAction->setEnabled(E || S);
    ZoomInAction->setEnabled(P && Puzzle->CanZoomIn() && !A);
    ZoomOutAction->setEnabled(P && Puzzle->CanZoomOut());
    ActualSizeAction->setEnabled(P && Puzzle->CanActualSize());
    BestFitAction->setEnabled(P && !A);
}

void TNimbrelMainForm::AttachImageMouse()
{
    if (Puzzle && (Puzzle->EditMode || Puzzle->Solved))
        return;
    if (FMouseAttached)
        return;
    FMouseDownConnection = connect(Image, &TPictureControl::MouseDown, this, &TNimbrelMainForm::ImageMouseDown);
    FMouseMoveConnection = connect(Image, &TPictureControl::MouseMove, this, &TNimbrelMainForm::ImageMouseMove);
    FMouseUpConnection = connect(Image, &TPictureControl::MouseUp, this, &TNimbrelMainForm::ImageMouseUp);
    FMouseAttached = true;
}

void TNimbrelMainForm::DetachImageMouse()
{
    if (FMouseAttached) {
        disconnect(FMouseDownConnection);
        disconnect(FMouseMoveConnection);
        disconnect(FMouseUpConnection);
        FMouseAttached = false;
    }
    // Compared first: setting a cursor posts an event even when it is the same one, and the idle pass must not
    // keep itself awake.
    if (Puzzle && Puzzle->Solved && Image->cursor().shape() != Qt::PointingHandCursor)
        Image->setCursor(Qt::PointingHandCursor);
}

void TNimbrelMainForm::SuspendCommands()
{
    DetachImageMouse();
    FUpdateInstalled = false;
    FSuspended = true;
    FIdle->SetEnabled(false);
    for (QAction *Action : std::as_const(ActionList))
        Action->setEnabled(false);
    // Not commands, but menu items all the same: nothing may be chosen while the commands are off.
    mSound->setEnabled(false);
    mShowexampe->setEnabled(false);
}

void TNimbrelMainForm::ResumeCommands()
{
    FUpdateInstalled = true;
    FSuspended = false;
    mSound->setEnabled(true);
    mShowexampe->setEnabled(true);
    AttachImageMouse();
    FIdle->SetEnabled(true);
}

// ---- Split and effect groups, toggles ----

void TNimbrelMainForm::GetSplit(int &Rows, int &Columns) const
{
    Rows = 2;
    Columns = 2;
    for (const QAction *Action : ActionList)
        if (Category(Action) == QLatin1String("Split") && Action->isChecked()) {
            const QString Caption = Action->text();
            if (Caption.size() >= 3) {
                Rows = Caption.at(0).digitValue();
                Columns = Caption.at(2).digitValue();
            }
            return;
        }
}

void TNimbrelMainForm::ResplitPuzzle()
{
    if (!Puzzle)
        return;
    int Rows, Columns;
    GetSplit(Rows, Columns);
    Puzzle->Setup(CurrentEffect, Rows, Columns, SemiEffectAction->isChecked(), EmptyRowAction->isChecked(),
                  EmptyColumnAction->isChecked());
    ImageSpeedBarResize();
}

void TNimbrelMainForm::Action2x2Execute(QAction *Sender)
{
    for (QAction *Action : std::as_const(ActionList))
        if (Category(Action) == QLatin1String("Split"))
            Action->setChecked(false);
    Sender->setChecked(true);
    ResplitPuzzle();
}

void TNimbrelMainForm::ObscureActionExecute(QAction *Sender)
{
    for (QAction *Action : std::as_const(ActionList))
        if (Category(Action) == QLatin1String("Effect"))
            Action->setChecked(false);
    Sender->setChecked(true);
    CurrentEffect = Tag(Sender);
    if (Puzzle)
        Puzzle->SetEffect(CurrentEffect);
}

void TNimbrelMainForm::EmptyRowActionExecute(QAction *)
{
    // Qt has already inverted the check mark of the invoking command.
    if (Puzzle && Puzzle->EditMode)
        ResplitPuzzle();
}

void TNimbrelMainForm::SemiEffectActionExecute(QAction *)
{
    if (Puzzle) {
        Puzzle->SemiEffect = SemiEffectAction->isChecked();
        Puzzle->RenderAll();
    }
}

void TNimbrelMainForm::AutoBestFitActionExecute(QAction *)
{
    ImageSpeedBarResize();
}

void TNimbrelMainForm::AboutActionExecute(QAction *)
{
    FDialogs->ShowAbout();
}

void TNimbrelMainForm::ExitActionExecute(QAction *)
{
    close();
}

void TNimbrelMainForm::HelpActionExecute(QAction *)
{
    if (!OpenHelp())
        FDialogs->Message(QuorraProgramName, HelpNotOpenedMessage(), TMessageIcon::Warning);
}

void TNimbrelMainForm::mShowexampeClick()
{
    bool ShowAtStart = ShowAtStartAction->isChecked();
    FDialogs->ShowDemo(ShowAtStart);
    ShowAtStartAction->setChecked(ShowAtStart);
}

void TNimbrelMainForm::SendByEMailActionExecute(QAction *)
{
    // The mail carries the file as it is on disk, so only a puzzle that matches its file is sent.
    if (!Puzzle || Puzzle->Modified || Puzzle->FileName.isEmpty())
        return;
    MailSender->SendMailWithAttachments({}, TMailSender::InvitationSubject(),
                                        TMailSender::InvitationBody(QuorraWebAddress), {Puzzle->FileName});
}

// ---- Tangle ----

void TNimbrelMainForm::TangleActionExecute(QAction *)
{
    if (!Puzzle)
        return;
    SuspendCommands();
    const auto Resume = qScopeGuard([this] { ResumeCommands(); });
    Puzzle->Tangle();
}

void TNimbrelMainForm::PaceTangle()
{
    RepaintPicture();
    emit TangleStepped();
    if (TangleStepMs <= 0)
        return;
    // Waiting in an event loop of its own keeps the window alive without spinning.
    QEventLoop Loop;
    QTimer::singleShot(TangleStepMs, &Loop, &QEventLoop::quit);
    Loop.exec();
}

// ---- View ----

void TNimbrelMainForm::FitPuzzle()
{
    // The picture is made at the screen's own pixels, so on a scaled screen it fits the panel's pixels, not its
    // units.
    const QSize Panel = PanelPixels();
    const int Width = Panel.width();
    const int Height = Panel.height();
    // A panel with less than a pixel per cell would give a scale of 0 and cells of no size; the smallest
    // window never comes near it, but a window being laid out may.
    if (Width < Puzzle->Body.TotalCols() || Height < Puzzle->Body.TotalRows() || Puzzle->Source.isNull())
        return;
    Puzzle->UpdateFit(Width, Height, AutoBestFitAction->isChecked());
}

QSize TNimbrelMainForm::PanelPixels() const
{
    const qreal Ratio = ImageSpeedBar->devicePixelRatioF();
    return QSize(int(ImageSpeedBar->ClientWidth() * Ratio), int(ImageSpeedBar->ClientHeight() * Ratio));
}

void TNimbrelMainForm::ImageSpeedBarResize()
{
    if (!Puzzle)
        return;
    // During a tangle the grid must not be rebuilt under the engine's feet; the fit follows when it ends.
    if (!FSuspended)
        FitPuzzle();
    PlaceImage();
}

void TNimbrelMainForm::PlaceImage()
{
    Image->SizeToBitmap();
    const QRect Client = ImageSpeedBar->ClientRect();
    Image->move(Client.left() + (Client.width() - Image->width()) / 2,
                Client.top() + (Client.height() - Image->height()) / 2);
}

void TNimbrelMainForm::RepaintPicture()
{
    if (Image->SizeToBitmap())
        PlaceImage();
    Image->repaint();
}

void TNimbrelMainForm::ZoomInActionExecute(QAction *)
{
    if (!Puzzle)
        return;
    Puzzle->ZoomIn();
    ImageSpeedBarResize();
}

void TNimbrelMainForm::ZoomOutActionExecute(QAction *)
{
    AutoBestFitAction->setChecked(false);
    if (!Puzzle)
        return;
    Puzzle->ZoomOut();
    ImageSpeedBarResize();
}

void TNimbrelMainForm::ActualSizeActionExecute(QAction *)
{
    AutoBestFitAction->setChecked(false);
    if (!Puzzle)
        return;
    Puzzle->ActualSize();
    ImageSpeedBarResize();
}

void TNimbrelMainForm::BestFitActionExecute(QAction *)
{
    if (!Puzzle)
        return;
    Puzzle->BestFit();
    ImageSpeedBarResize();
}

// ---- Documents ----

void TNimbrelMainForm::UpdateTitle()
{
    setWindowTitle(Puzzle ? QuorraProgramName + QStringLiteral(" - ") + Puzzle->Title : QuorraProgramName);
}

std::unique_ptr<TPuzzle> TNimbrelMainForm::CreatePuzzle()
{
    // Until it is adopted the new puzzle neither draws on screen nor lets events run.
    return std::make_unique<TPuzzle>(&FCandidateDisplay, &HiddenImage);
}

void TNimbrelMainForm::AdoptPuzzle(std::unique_ptr<TPuzzle> NewPuzzle)
{
    DropPointerHold();
    Puzzle = std::move(NewPuzzle);
    FCandidateDisplay = QImage();
    Puzzle->Display = &FDisplay;
    Puzzle->ProcessMessages = [this] {
        RepaintPicture();
        // Only repaints and the like: a command started from inside a redraw would pull the puzzle away from
        // under it.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    Puzzle->DisplayChanged = [this](const QRect &Rect) { Image->BitmapChanged(Rect); };
    Puzzle->TangleStep = [this] { PaceTangle(); };
}

void TNimbrelMainForm::DropPuzzle()
{
    DropPointerHold();
    Puzzle.reset();
    FDisplay = QImage();
    Image->SizeToBitmap();
    UpdateTitle();
}

bool TNimbrelMainForm::ConfirmSave()
{
    if (!Puzzle || !Puzzle->Modified)
        return true;
    switch (FDialogs->Confirm(QStringLiteral("Confirm"), QStringLiteral("Save current puzzle?"))) {
    case TConfirmAnswer::Yes: {
        // The person asked to keep this work: when it was not saved after all, nothing may discard it.
        bool Saved = false;
        Reported([this, &Saved] { Saved = SavePuzzleAs(); });
        return Saved;
    }
    case TConfirmAnswer::No:
        return true;
    case TConfirmAnswer::Cancel:
        break;
    }
    return false;
}

void TNimbrelMainForm::NewActionExecute(QAction *)
{
    const QString Path = FDialogs->OpenPicture();
    if (!Path.isEmpty())
        NewPuzzleFromPicture(Path);
}

void TNimbrelMainForm::NewPuzzleFromPicture(const QString &Path)
{
    // The picture is read before anything is given up, so a file that yields none costs nothing.
    std::unique_ptr<TPuzzle> NewPuzzle = CreatePuzzle();
    const QString Shown = QDir::toNativeSeparators(Path);
    try {
        NewPuzzle->LoadPicture(Path);
    } catch (const TError &E) {
        throw TError(QStringLiteral("The picture \"%1\" cannot be read.\n%2").arg(Shown, E.Message()));
    } catch (const std::bad_alloc &) {
        throw TError(QStringLiteral("The picture \"%1\" is too large to open.").arg(Shown));
    }
    if (NewPuzzle->Source.isNull() || NewPuzzle->Source.width() <= 0 || NewPuzzle->Source.height() <= 0)
        throw TError(QStringLiteral("\"%1\" is not a picture Quorra can read.\nChoose a BMP, JPEG or GIF "
                                    "picture (.bmp, .jpg or .gif).")
                         .arg(Shown));

    if (!ConfirmSave())
        return;

    AdoptPuzzle(std::move(NewPuzzle));
    int Rows, Columns;
    GetSplit(Rows, Columns);
    try {
        Puzzle->Setup(CurrentEffect, Rows, Columns, SemiEffectAction->isChecked(), EmptyRowAction->isChecked(),
                      EmptyColumnAction->isChecked());
    } catch (const std::bad_alloc &) {
        // A puzzle that was never set up has no grid to fit; the window goes back to having none.
        DropPuzzle();
        throw TError(NotEnoughMemoryText());
    } catch (...) {
        DropPuzzle();
        throw;
    }
    ImageSpeedBarResize();
    UpdateTitle();
    DetachImageMouse();
}

void TNimbrelMainForm::OpenActionExecute(QAction *)
{
    const QString Path = FDialogs->OpenPuzzle();
    if (!Path.isEmpty())
        OpenPuzzleFile(Path);
}

void TNimbrelMainForm::OpenPuzzleFile(const QString &Path)
{
    if (!ConfirmSave())
        return;
    // A damaged file raises here, and the candidate goes with the error: the puzzle on screen stays.
    std::unique_ptr<TPuzzle> NewPuzzle = CreatePuzzle();
    // The opening tangle renders at the scale the view is about to choose, not at the picture's own size.
    NewPuzzle->OpenPanel = PanelPixels();
    NewPuzzle->OpenAutoFit = AutoBestFitAction->isChecked();
    TLoadResult Result;
    try {
        Result = NewPuzzle->LoadFromFile(Path);
    } catch (const std::bad_alloc &) {
        throw TError(NotEnoughMemoryText());
    }
    if (Result == TLoadResult::NoFile)
        return;
    if (Result == TLoadResult::TooNew) {
        FDialogs->Message(QStringLiteral("Information"),
                          QStringLiteral("This puzzle requires Quorra version %1 or later.").arg(NewPuzzle->Version),
                          TMessageIcon::Stop);
        FDialogs->ShowAbout();
        return;
    }
    // Read and checked whole, the puzzle takes the place of the one on screen and is tangled in view, step by
    // step as the Tangle command shows it, with the commands off meanwhile.
    std::unique_ptr<TPuzzle> Previous = std::move(Puzzle);
    AdoptPuzzle(std::move(NewPuzzle));
    try {
        ImageSpeedBarResize();
        UpdateTitle();
        SuspendCommands();
        const auto Resume = qScopeGuard([this] { ResumeCommands(); });
        Puzzle->Tangle();
    } catch (const std::bad_alloc &) {
        BringBack(std::move(Previous));
        throw TError(NotEnoughMemoryText());
    } catch (...) {
        BringBack(std::move(Previous));
        throw;
    }
    PlaceImage();
    AttachImageMouse();
}

void TNimbrelMainForm::BringBack(std::unique_ptr<TPuzzle> Previous)
{
    DropPuzzle();
    if (!Previous)
        return;
    // The picture on screen is the other one's by now; this puzzle draws it anew, as it was.
    Puzzle = std::move(Previous);
    try {
        Puzzle->Rebuild();
    } catch (...) {
        // The person is told of the failure that brought this puzzle back; this one would only repeat it.
        DropPuzzle();
        return;
    }
    ImageSpeedBarResize();
    UpdateTitle();
}

bool TNimbrelMainForm::SavePuzzleAs()
{
    if (!Puzzle)
        return false;
    const QString Path = FDialogs->SavePuzzle();
    if (Path.isEmpty())
        return false;
    // The file is not deleted first: the writer replaces it only once the new one is complete, so a failed
    // save leaves the old file as it was. Saving tangles on screen, with the commands off as for Tangle.
    SuspendCommands();
    {
        const auto Resume = qScopeGuard([this] { ResumeCommands(); });
        Puzzle->SaveToFile(Path);
    }
    AttachImageMouse();
    return true;
}

void TNimbrelMainForm::SaveAsActionExecute(QAction *)
{
    SavePuzzleAs();
}

void TNimbrelMainForm::SaveImageAsActionExecute(QAction *)
{
    if (!Puzzle)
        return;
    const QString Path = FDialogs->SaveImage();
    if (Path.isEmpty())
        return;
    Puzzle->SaveImageAs(Path);
}

// ---- Dropped files ----

QString TNimbrelMainForm::DraggedFile(const QMimeData *Data) const
{
    if (!Data || !Data->hasUrls())
        return QString();
    const QList<QUrl> Urls = Data->urls();
    // One document at a time, as the dialogs offer.
    if (Urls.size() != 1 || !Urls.front().isLocalFile())
        return QString();
    return Urls.front().toLocalFile();
}

void TNimbrelMainForm::dragEnterEvent(QDragEnterEvent *Event)
{
    // Every local file is taken, so that one of the wrong kind can be told why it was refused.
    if (!FSuspended && !DraggedFile(Event->mimeData()).isEmpty())
        Event->acceptProposedAction();
    else
        Event->ignore();
}

void TNimbrelMainForm::dragMoveEvent(QDragMoveEvent *Event)
{
    if (!FSuspended && !DraggedFile(Event->mimeData()).isEmpty())
        Event->acceptProposedAction();
    else
        Event->ignore();
}

void TNimbrelMainForm::dropEvent(QDropEvent *Event)
{
    const QString Path = DraggedFile(Event->mimeData());
    if (FSuspended || Path.isEmpty()) {
        Event->ignore();
        return;
    }
    Event->acceptProposedAction();
    // The program the file came from waits for the drop to end; questions and dialogs come after it.
    QTimer::singleShot(0, this, [this, Path] { RunDroppedFile(Path); });
}

void TNimbrelMainForm::RunDroppedFile(const QString &Path)
{
    if (FCommandDepth > 0) {
        QTimer::singleShot(50, this, [this, Path] { RunDroppedFile(Path); });
        return;
    }
    Guarded([this, &Path] { DropFile(Path); });
}

void TNimbrelMainForm::DropFile(const QString &Path)
{
    if (FSuspended)
        return;
    const QString Extension = QFileInfo(Path).suffix().toLower();
    if (Extension == QLatin1String("nbq")) {
        OpenPuzzleFile(Path);
        return;
    }
    if (Extension == QLatin1String("bmp") || Extension == QLatin1String("jpg") || Extension == QLatin1String("gif")) {
        NewPuzzleFromPicture(Path);
        return;
    }
    FDialogs->Message(QStringLiteral("Information"),
                      QStringLiteral("\"%1\" cannot be opened by Quorra.\nDrop a puzzle file (.nbq) to solve it, or a "
                                     "BMP, JPEG or GIF picture (.bmp, .jpg or .gif) to make a new puzzle.")
                          .arg(QDir::toNativeSeparators(Path)),
                      TMessageIcon::Warning);
}

// ---- Mouse ----

void TNimbrelMainForm::ImageMouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int X, int Y)
{
    Guarded([this, X, Y] {
        if (!Puzzle || Puzzle->EditMode || Puzzle->Solved) {
            if (Image->cursor().shape() != Qt::PointingHandCursor)
                Image->setCursor(Qt::PointingHandCursor);
            return;
        }
        if (Busy)
            return;
        Busy = true;
        const auto Done = qScopeGuard([this] { Busy = false; });

        switch (Puzzle->DragState) {
        case TDragState::Idle:
            Puzzle->HoverAt(X, Y);
            break;
        case TDragState::Caught:
            if (Puzzle->TryStartDrag(X, Y)) {
                SetScreenCursor(Qt::ClosedHandCursor);
                const QPoint C = Puzzle->SelectedCentre();
                if (Puzzle->DragState == TDragState::Row)
                    ClipPointer(0, C.y(), FDisplay.width(), 0);
                else
                    ClipPointer(C.x(), 0, 0, FDisplay.height());
                Puzzle->RenderDrag(X, Y);
            }
            break;
        case TDragState::Row:
        case TDragState::Column: {
            // The pointer is held on the dragged line where the window system allows it; where it does not, the
            // position is read as if it were, so that a hand that drifts off the line still snaps.
            const bool Row = Puzzle->DragState == TDragState::Row;
            const int LineX = Row ? X : Puzzle->Anchor.x();
            const int LineY = Row ? Puzzle->Anchor.y() : Y;
            if (Puzzle->NearCellCentre(LineX, LineY)) {
                PlaySoundIfOn(MoveMediaPlayer.get());
                const bool Won = Puzzle->Commit(LineX, LineY);
                CatchCell();
                if (Won)
                    VictorySequence();
            } else {
                Puzzle->RenderDrag(X, Y);
            }
            break;
        }
        }
    });
}

void TNimbrelMainForm::ImageMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y)
{
    Guarded([this, Button, X, Y] {
        if (!Puzzle || Puzzle->EditMode || Puzzle->Solved || Busy)
            return;
        Busy = true;
        const auto Done = qScopeGuard([this] { Busy = false; });

        if (Button == Qt::RightButton) {
            PlaySoundIfOn(AdviceMediaPlayer.get());
            Puzzle->ShowAdvice(X, Y);
        } else if (Button == Qt::LeftButton && Puzzle->DragState == TDragState::Idle) {
            Puzzle->HoverAt(X, Y);
            CatchCell();
        }
    });
}

void TNimbrelMainForm::ImageMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y)
{
    Guarded([this, Button, X, Y] {
        if (Button != Qt::LeftButton)
            return;
        // Freed before anything else is looked at, Busy included: a left release must never leave the pointer held.
        UnclipPointer();
        if (Busy)
            return;
        if (!Puzzle || Puzzle->EditMode || Puzzle->Solved)
            return;
        Busy = true;
        const auto Done = qScopeGuard([this] { Busy = false; });

        const TDragState Was = Puzzle->DragState;
        bool Won = false;
        if (Was == TDragState::Row || Was == TDragState::Column) {
            PlaySoundIfOn(MoveMediaPlayer.get());
            Won = Puzzle->Commit(X, Y);
        }
        if (Was != TDragState::Idle) {
            ReleaseCell();
            Puzzle->RedrawSelected();
        }
        if (Won)
            VictorySequence();
    });
}

void TNimbrelMainForm::FormMouseMove()
{
    // A caught cell keeps its selection: the drag that holds it still needs it.
    if (Puzzle && !Busy && Puzzle->DragState == TDragState::Idle)
        Puzzle->Deselect();
    UnclipPointer();
}

void TNimbrelMainForm::mouseMoveEvent(QMouseEvent *Event)
{
    Guarded([this] { FormMouseMove(); });
    QMainWindow::mouseMoveEvent(Event);
}

void TNimbrelMainForm::changeEvent(QEvent *Event)
{
    if (Event->type() == QEvent::ActivationChange) {
        if (!isActiveWindow())
            UnclipPointer();
        else if (FFormShowDone && !FActivated)
            QTimer::singleShot(0, this, [this] { FormActivate(); });
    }
    QMainWindow::changeEvent(Event);
}

void TNimbrelMainForm::CatchCell()
{
    if (!Puzzle || IsNoCell(Puzzle->Selected))
        return;
    Puzzle->DragState = TDragState::Caught;
    Puzzle->RedrawSelected();
    PointerControl->MoveTo(Image->mapToGlobal(Image->ToControl(Puzzle->SelectedCentre())).toPoint(), windowHandle());
    SetScreenCursor(Qt::OpenHandCursor);
    ClipPointer(0, 0, FDisplay.width(), FDisplay.height());
}

void TNimbrelMainForm::ReleaseCell()
{
    if (Puzzle)
        Puzzle->DragState = TDragState::Idle;
    SetScreenCursor(Qt::ArrowCursor);
    UnclipPointer();
}

void TNimbrelMainForm::ClipPointer(int Left, int Top, int Width, int Height)
{
    const QPoint TopLeft = Image->mapToGlobal(Image->ToControl(QPoint(Left, Top))).toPoint();
    const QPoint BottomRight = Image->mapToGlobal(Image->ToControl(QPoint(Left + Width, Top + Height))).toPoint();
    PointerControl->Confine(
        QRect(TopLeft, QSize(qMax(1, BottomRight.x() - TopLeft.x()), qMax(1, BottomRight.y() - TopLeft.y()))),
        windowHandle());
}

void TNimbrelMainForm::UnclipPointer()
{
    if (PointerControl)
        PointerControl->Release();
}

void TNimbrelMainForm::SetScreenCursor(Qt::CursorShape Shape)
{
    // Qt keeps a stack of override cursors; this window never holds more than one entry of it.
    if (Shape == FScreenCursor)
        return;
    if (Shape == Qt::ArrowCursor)
        QApplication::restoreOverrideCursor();
    else if (FScreenCursor == Qt::ArrowCursor)
        QApplication::setOverrideCursor(Shape);
    else
        QApplication::changeOverrideCursor(Shape);
    FScreenCursor = Shape;
}

void TNimbrelMainForm::DropPointerHold()
{
    SetScreenCursor(Qt::ArrowCursor);
    UnclipPointer();
}

void TNimbrelMainForm::PlaySoundIfOn(TSoundPlayer *Player)
{
    if (!Player || !mSound->isChecked())
        return;
    try {
        Player->Play();
    } catch (...) {
        // A sound never stands in the way of a move.
    }
}

void TNimbrelMainForm::VictorySequence()
{
    DetachImageMouse();
    PlaySoundIfOn(VictoryMediaPlayer.get());
    ReleaseCell();
    Puzzle->Deselect();
    Puzzle->RenderAll();
}
