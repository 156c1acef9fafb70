// SPDX-License-Identifier: GPL-3.0-or-later
// The command list: every command of the main window declared once, as one row with all that belongs to it.
#pragma once

#include <QKeyCombination>
#include <QtGlobal>
#include <array>
#include <span>

class QAction;

namespace quorra {

class MainWindow;

// In the order of the command list; the Split and Effect groups are read in this order.
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
    // Menu items that are no commands: nothing enables them but the end of a suspension, and the command list
    // leaves them out.
    Sound,
    ShowExample,
};

// The commands come first; the menu items that are no commands follow them.
inline constexpr int CommandCount = int(Command::Sound);

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
    // The view keeps the puzzle fitted. CommandTable::update reads it from Auto Best Fit's own check mark.
    bool autoFit = false;
};

// A row's switches; a command has none unless its row says so.
namespace CommandFlag {
inline constexpr unsigned Checkable = 1u << 0;
// Checked when nothing stored says otherwise.
inline constexpr unsigned CheckedAtStart = 1u << 1;
// Kept out of sight in its menu.
inline constexpr unsigned HiddenInMenu = 1u << 2;
inline constexpr unsigned SeparatorBefore = 1u << 3;
inline constexpr unsigned SeparatorAfter = 1u << 4;
// Touches no puzzle, so it runs even while the puzzle animates; every other command is dropped then.
inline constexpr unsigned RunsWhileAnimating = 1u << 5;
inline constexpr unsigned InNoMenu = 1u << 6;
} // namespace CommandFlag

struct CommandRow {
    Command command;
    // The object name, which is also the key of the stored check mark: data of the settings file, never renamed.
    const char *name;
    // Translated in the context "Commands"; an empty hint shows none.
    const char *caption;
    const char *hint = "";
    // The group a command belongs to: choosing a Split or an Effect unchecks the rest of its group.
    const char *category;
    unsigned flags = 0;
    // Where the menus and the tool bar show it: items follow the list's order; a tool-bar group of 0 keeps the
    // command off the tool bar, and a separator comes between two groups.
    WindowMenu menu;
    int toolBarGroup = 0;
    // A theme icon's name, with our own picture of that name as its fallback; none when null.
    const char *icon = nullptr;
    std::array<QKeyCombination, 2> keys{};
    // The place of its check mark in the settings file, counted from 1; 0 when none is stored.
    int storedAt = 0;
    // The effect code an Effect command applies (SemiEffect's tag is the design's, read by nothing).
    qint32 tag = 0;
    // The split a Split command chooses.
    Split split{};
    // Whether the command may run in that state; null for the items that are no commands.
    bool (*enabled)(const GameState &) = nullptr;
    // What the command does; null when Qt's own toggling of the check mark is all there is to it.
    void (*run)(MainWindow &, QAction *) = nullptr;
};

struct MenuRow {
    WindowMenu menu;
    const char *name;
    const char *title;
};

// Every command and menu item, in the order the menus and the tool bar show them.
std::span<const CommandRow> commandList();
// The menus in the menu bar's order.
std::span<const MenuRow> menuList();
// The tool bar's title, translated in the context "Commands".
extern const char *const ToolBarTitle;

} // namespace quorra
