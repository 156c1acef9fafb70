// The window's commands in their fixed order, its menus and tool bar, and the rules that enable them.
#pragma once

#include <QList>
#include <QObject>
#include <optional>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

// In the order of the command list; the Split group is read in this order.
enum class Command {
    Obscure,
    ZoomIn,
    New,
    ActualSize,
    ZoomOut,
    BestFit,
    AutoBestFit,
    EmptyRow,
    EmptyColumn,
    Dark,
    Transparent,
    Negative,
    Hidden,
    TopSecret,
    SemiEffect,
    About,
    Help,
    LowResolution,
    Split2x2,
    Split3x2,
    Split4x2,
    Split2x3,
    Split3x3,
    Split4x3,
    Split2x4,
    Split3x4,
    Split4x4,
    ShowAtStart,
    Open,
    SaveAs,
    SaveImageAs,
    SendByEMail,
    Tangle,
    Exit,
    UndoMove,
    RedoMove,
    SaveAsWebPage,
    FullScreen,
    Restart,
};

enum class WindowMenu { Puzzle, View, Split, Effect, Edit, Options, Help };

// How many rows and columns a new puzzle is cut into.
struct Split {
    int rows = 2;
    int columns = 2;
};

// What a new or re-split puzzle is set up with.
struct PuzzleSetup {
    qint32 effect = 0;
    Split split;
    bool semiEffect = false;
    bool emptyRow = false;
    bool emptyColumn = false;
};

// What the enabling rules look at.
struct GameState {
    bool hasPuzzle = false;
    bool editMode = false;
    bool solved = false;
    bool modified = false;
    bool canZoomIn = false;
    bool canZoomOut = false;
    bool canActualSize = false;
    // Moves of the game on screen that can be taken back, or made again.
    bool canUndo = false;
    bool canRedo = false;
    // The game in play has had a move since its tangle, which Restart would take back.
    bool canRestart = false;
    // The game on screen went on from one kept before: it had no fresh tangle, so Tangle offers one.
    bool continued = false;
    // A mail program is still taking the last puzzle.
    bool mailUnderWay = false;
};

class CommandTable : public QObject
{
    Q_OBJECT

public:
    // The commands belong to Window; the menus go into its menu bar and the tool bar into the window.
    explicit CommandTable(QMainWindow *window);

    QAction *action(Command command) const { return m_actions.at(int(command)); }
    bool isChecked(Command command) const;
    // Every command, in the order of the command list.
    const QList<QAction *> &actions() const { return m_actions; }
    QMenu *menu(WindowMenu which) const { return m_menus.at(int(which)); }
    QAction *soundItem() const { return m_sound; }
    QAction *showExampleItem() const { return m_showExample; }
    QToolBar *toolBar() const { return m_toolBar; }

    static QString category(const QAction *action);
    static qint32 tag(const QAction *action);

    // The first checked Split command, read from its caption; 2 x 2 when none is checked.
    Split split() const;
    // The effect code handed to a new or re-split puzzle, kept in step with the checked Effect command.
    qint32 currentEffect() const { return m_currentEffect; }
    // The current effect, the split and the edit options as the commands say now.
    PuzzleSetup puzzleSetup() const;
    // Checks Chosen alone among the commands of its category (Split or Effect); an effect becomes the current one.
    void choose(QAction *chosen);

    // Enables every command as State allows; the current effect follows the first checked Effect command.
    void update(const GameState &state);
    // Everything off while a tangle runs on screen, the two menu items that are no commands included; Resume
    // gives the menu items back, and the next update the commands.
    void suspend();
    void resume();

    // The command or menu item a stored check mark of that name belongs to.
    QAction *checkMarkAction(const QString &name) const;

signals:
    // A menu is about to open.
    void menuOpening();

private:
    void createCommands(QMainWindow *window);
    void createMenus(QMainWindow *window);
    void createToolBar(QMainWindow *window);
    // The commands that are Effect and the effect code each one carries.
    QList<QAction *> effects() const;

    QList<QAction *> m_actions;
    QList<QMenu *> m_menus;
    QAction *m_sound = nullptr;
    QAction *m_showExample = nullptr;
    QToolBar *m_toolBar = nullptr;
    qint32 m_currentEffect = 0;
};
