// SPDX-License-Identifier: GPL-3.0-or-later
// The command list: each command's name, texts, place, keys, check mark, enabling and handler in one row.
#include "CommandList.h"

#include "Dialogs.h"
#include "Documents.h"
#include "Effects.h"
#include "MainWindow.h"
#include "PictureLayout.h"
#include "Puzzle.h"

#include <QAction>
#include <QCoreApplication>

namespace quorra {

namespace {

using namespace CommandFlag;

bool always(const GameState &)
{
    return true;
}

bool inEditMode(const GameState &s)
{
    return s.editMode;
}

// The mail and the web page carry the file as it is on disk.
bool savedAsShown(const GameState &s)
{
    return s.hasPuzzle && !s.modified && !s.mailUnderWay;
}

void chooseEffect(MainWindow &w, QAction *chosen)
{
    w.commands().choose(chosen);
    if (Puzzle *puzzle = w.documents().puzzle())
        puzzle->setEffect(w.commands().currentEffect());
}

void chooseSplit(MainWindow &w, QAction *chosen)
{
    w.commands().choose(chosen);
    w.documents().resplit();
}

// Qt has already inverted the check mark of the invoking command.
void resplitInEditMode(MainWindow &w, QAction *)
{
    const Puzzle *puzzle = w.documents().puzzle();
    if (puzzle && puzzle->isEditMode())
        w.documents().resplit();
}

// Zooming by hand ends the automatic fit.
void zoomOut(MainWindow &w, QAction *)
{
    w.commands().action(Command::AutoBestFit)->setChecked(false);
    w.pictureLayout().zoomOut();
}

void actualSize(MainWindow &w, QAction *)
{
    w.commands().action(Command::AutoBestFit)->setChecked(false);
    w.pictureLayout().actualSize();
}

void applySemiEffect(MainWindow &w, QAction *option)
{
    if (Puzzle *puzzle = w.documents().puzzle()) {
        puzzle->setSemiEffect(option->isChecked());
        puzzle->renderAll();
    }
}

constexpr auto Ctrl = Qt::CTRL;

constexpr CommandRow Rows[] = {
    // One row a command; kept as a table, a few lines a row.
    // clang-format off
    // Puzzle
    {.command = Command::New, .name = "NewAction", .caption = QT_TRANSLATE_NOOP("Commands", "New..."),
     .hint = QT_TRANSLATE_NOOP("Commands", "New Puzzle"), .category = "Puzzle", .menu = WindowMenu::Puzzle,
     .toolBarGroup = 1, .icon = "document-new", .keys = {Ctrl | Qt::Key_N}, .enabled = always,
     .run = [](MainWindow &w, QAction *) { w.documents().newPuzzle(); }},
    {.command = Command::Open, .name = "OpenAction", .caption = QT_TRANSLATE_NOOP("Commands", "Open..."),
     .hint = QT_TRANSLATE_NOOP("Commands", "Open Puzzle"), .category = "Puzzle", .menu = WindowMenu::Puzzle,
     .toolBarGroup = 1, .icon = "document-open", .keys = {Ctrl | Qt::Key_O}, .enabled = always,
     .run = [](MainWindow &w, QAction *) { w.documents().open(); }},
    {.command = Command::SaveAs, .name = "SaveAsAction", .caption = QT_TRANSLATE_NOOP("Commands", "Save As..."),
     .hint = QT_TRANSLATE_NOOP("Commands", "Save Puzzle"), .category = "Puzzle", .flags = SeparatorBefore,
     .menu = WindowMenu::Puzzle, .toolBarGroup = 2, .icon = "document-save-as", .keys = {Ctrl | Qt::Key_S},
     .enabled = [](const GameState &s) { return s.hasPuzzle; },
     .run = [](MainWindow &w, QAction *) { w.documents().saveAs(); }},
    {.command = Command::SaveImageAs, .name = "SaveImageAsAction",
     .caption = QT_TRANSLATE_NOOP("Commands", "Save Image As..."), .hint = QT_TRANSLATE_NOOP("Commands", "Save Image"),
     .category = "Puzzle", .menu = WindowMenu::Puzzle, .toolBarGroup = 2, .icon = "image-x-generic",
     .enabled = [](const GameState &s) { return s.solved; },
     .run = [](MainWindow &w, QAction *) { w.documents().saveImageAs(); }},
    {.command = Command::SaveAsWebPage, .name = "SaveAsWebPageAction",
     .caption = QT_TRANSLATE_NOOP("Commands", "Save as Web Page..."),
     .hint = QT_TRANSLATE_NOOP("Commands", "Save the puzzle as a web page that plays it in any browser"),
     .category = "Puzzle", .menu = WindowMenu::Puzzle, .enabled = savedAsShown,
     .run = [](MainWindow &w, QAction *) { w.documents().saveAsWebPage(); }},
    {.command = Command::SendByEMail, .name = "SendByEMailAction",
     .caption = QT_TRANSLATE_NOOP("Commands", "Send by E-Mail..."),
     .hint = QT_TRANSLATE_NOOP("Commands", "Send by E-Mail"), .category = "Puzzle", .flags = SeparatorBefore,
     .menu = WindowMenu::Puzzle, .toolBarGroup = 2, .icon = "mail-send", .enabled = savedAsShown,
     .run = [](MainWindow &w, QAction *) { w.documents().sendByEMail(); }},
    {.command = Command::UndoMove, .name = "UndoMoveAction", .caption = QT_TRANSLATE_NOOP("Commands", "Undo Move"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Take the last move back"), .category = "Puzzle", .flags = SeparatorBefore,
     .menu = WindowMenu::Puzzle, .keys = {Ctrl | Qt::Key_Z},
     .enabled = [](const GameState &s) { return s.hasPuzzle && s.canUndo; },
     .run = [](MainWindow &w, QAction *) { w.play().undo(); }},
    {.command = Command::RedoMove, .name = "RedoMoveAction", .caption = QT_TRANSLATE_NOOP("Commands", "Redo Move"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Make the move taken back again"), .category = "Puzzle",
     .menu = WindowMenu::Puzzle, .keys = {Ctrl | Qt::SHIFT | Qt::Key_Z, Ctrl | Qt::Key_Y},
     .enabled = [](const GameState &s) { return s.hasPuzzle && s.canRedo; },
     .run = [](MainWindow &w, QAction *) { w.play().redo(); }},
    {.command = Command::Tangle, .name = "TangleAction", .caption = QT_TRANSLATE_NOOP("Commands", "Tangle"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Tangle Puzzle"), .category = "Puzzle", .menu = WindowMenu::Puzzle,
     .toolBarGroup = 2, .icon = "view-refresh",
     .enabled = [](const GameState &s) { return s.editMode || s.solved || (s.hasPuzzle && s.continued); },
     .run = [](MainWindow &w, QAction *) { w.tangle(); }},
    {.command = Command::Restart, .name = "RestartAction", .caption = QT_TRANSLATE_NOOP("Commands", "Restart"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Put the tangle back as it was when this game began"), .category = "Puzzle",
     .menu = WindowMenu::Puzzle, .keys = {Ctrl | Qt::Key_R},
     .enabled = [](const GameState &s) { return s.hasPuzzle && s.canRestart; },
     .run = [](MainWindow &w, QAction *) { w.restartGame(); }},
    {.command = Command::Exit, .name = "ExitAction", .caption = QT_TRANSLATE_NOOP("Commands", "Exit"),
     .category = "Puzzle", .flags = SeparatorBefore | RunsWhileAnimating, .menu = WindowMenu::Puzzle,
     .keys = {Ctrl | Qt::Key_Q}, .enabled = always, .run = [](MainWindow &w, QAction *) { w.close(); }},

    // View
    {.command = Command::ZoomIn, .name = "ZoomInAction", .caption = QT_TRANSLATE_NOOP("Commands", "Zoom In"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Zoom In"), .category = "Zoom", .menu = WindowMenu::View, .toolBarGroup = 3,
     .icon = "zoom-in",
     // Plus is a shifted key on many layouts: Ctrl with the key that carries it works as well.
     .keys = {Ctrl | Qt::Key_Plus, Ctrl | Qt::Key_Equal},
     .enabled = [](const GameState &s) { return s.hasPuzzle && s.canZoomIn && !s.autoFit; },
     .run = [](MainWindow &w, QAction *) { w.pictureLayout().zoomIn(); }},
    {.command = Command::ZoomOut, .name = "ZoomOutAction", .caption = QT_TRANSLATE_NOOP("Commands", "Zoom Out"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Zoom Out"), .category = "Zoom", .menu = WindowMenu::View, .toolBarGroup = 3,
     .icon = "zoom-out", .keys = {Ctrl | Qt::Key_Minus},
     .enabled = [](const GameState &s) { return s.hasPuzzle && s.canZoomOut; },
     .run = zoomOut},
    // Zooming covers it, so it stays out of sight.
    {.command = Command::ActualSize, .name = "ActualSizeAction",
     .caption = QT_TRANSLATE_NOOP("Commands", "Actual &Size"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Show actual size"), .category = "Zoom",
     .flags = HiddenInMenu | SeparatorBefore, .menu = WindowMenu::View,
     .enabled = [](const GameState &s) { return s.hasPuzzle && s.canActualSize; },
     .run = actualSize},
    {.command = Command::BestFit, .name = "BestFitAction", .caption = QT_TRANSLATE_NOOP("Commands", "Best Fit"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Best Fit"), .category = "Zoom", .menu = WindowMenu::View,
     .keys = {Ctrl | Qt::Key_0}, .enabled = [](const GameState &s) { return s.hasPuzzle && !s.autoFit; },
     .run = [](MainWindow &w, QAction *) { w.pictureLayout().bestFit(); }},
    {.command = Command::AutoBestFit, .name = "AutoBestFitAction",
     .caption = QT_TRANSLATE_NOOP("Commands", "Auto Best Fit"), .hint = QT_TRANSLATE_NOOP("Commands", "Auto Best Fit"),
     .category = "Zoom", .flags = Checkable | SeparatorBefore, .menu = WindowMenu::View, .storedAt = 1,
     .enabled = always, .run = [](MainWindow &w, QAction *) { w.pictureLayout().refit(); }},
    {.command = Command::FullScreen, .name = "FullScreenAction",
     .caption = QT_TRANSLATE_NOOP("Commands", "Full Screen"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Show the window on the whole screen, or as before"), .category = "View",
     .flags = Checkable | SeparatorBefore, .menu = WindowMenu::View, .keys = {Qt::Key_F11}, .enabled = always,
     .run = [](MainWindow &w, QAction *) { w.setWindowState(w.windowState() ^ Qt::WindowFullScreen); }},

    // Split: Qt menus cannot break into columns, so the three columns follow one another.
    {.command = Command::Split2x2, .name = "Action2x2", .caption = QT_TRANSLATE_NOOP("Commands", "2x2"),
     .category = "Split", .flags = Checkable | CheckedAtStart, .menu = WindowMenu::Split, .storedAt = 12,
     .split = {2, 2}, .enabled = inEditMode, .run = chooseSplit},
    {.command = Command::Split3x2, .name = "Action3x2", .caption = QT_TRANSLATE_NOOP("Commands", "3x2"),
     .category = "Split", .flags = Checkable, .menu = WindowMenu::Split, .storedAt = 15, .split = {3, 2},
     .enabled = inEditMode, .run = chooseSplit},
    {.command = Command::Split4x2, .name = "Action4x2", .caption = QT_TRANSLATE_NOOP("Commands", "4x2"),
     .category = "Split", .flags = Checkable, .menu = WindowMenu::Split, .storedAt = 18, .split = {4, 2},
     .enabled = inEditMode, .run = chooseSplit},
    {.command = Command::Split2x3, .name = "Action2x3", .caption = QT_TRANSLATE_NOOP("Commands", "2x3"),
     .category = "Split", .flags = Checkable | SeparatorBefore, .menu = WindowMenu::Split, .storedAt = 13,
     .split = {2, 3}, .enabled = inEditMode, .run = chooseSplit},
    {.command = Command::Split3x3, .name = "Action3x3", .caption = QT_TRANSLATE_NOOP("Commands", "3x3"),
     .category = "Split", .flags = Checkable, .menu = WindowMenu::Split, .storedAt = 16, .split = {3, 3},
     .enabled = inEditMode, .run = chooseSplit},
    {.command = Command::Split4x3, .name = "Action4x3", .caption = QT_TRANSLATE_NOOP("Commands", "4x3"),
     .category = "Split", .flags = Checkable, .menu = WindowMenu::Split, .storedAt = 19, .split = {4, 3},
     .enabled = inEditMode, .run = chooseSplit},
    {.command = Command::Split2x4, .name = "Action2x4", .caption = QT_TRANSLATE_NOOP("Commands", "2x4"),
     .category = "Split", .flags = Checkable | SeparatorBefore, .menu = WindowMenu::Split, .storedAt = 14,
     .split = {2, 4}, .enabled = inEditMode, .run = chooseSplit},
    {.command = Command::Split3x4, .name = "Action3x4", .caption = QT_TRANSLATE_NOOP("Commands", "3x4"),
     .category = "Split", .flags = Checkable, .menu = WindowMenu::Split, .storedAt = 17, .split = {3, 4},
     .enabled = inEditMode, .run = chooseSplit},
    {.command = Command::Split4x4, .name = "Action4x4", .caption = QT_TRANSLATE_NOOP("Commands", "4x4"),
     .category = "Split", .flags = Checkable, .menu = WindowMenu::Split, .storedAt = 20, .split = {4, 4},
     .enabled = inEditMode, .run = chooseSplit},

    // Effect
    {.command = Command::Obscure, .name = "ObscureAction", .caption = QT_TRANSLATE_NOOP("Commands", "&Obscure"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Obscure"), .category = "Effect", .flags = Checkable,
     .menu = WindowMenu::Effect, .storedAt = 7, .tag = Effect::Obscure, .enabled = inEditMode, .run = chooseEffect},
    {.command = Command::Dark, .name = "DarkAction", .caption = QT_TRANSLATE_NOOP("Commands", "&Dark"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Dark"), .category = "Effect", .flags = Checkable,
     .menu = WindowMenu::Effect, .storedAt = 2, .tag = Effect::Dark, .enabled = inEditMode, .run = chooseEffect},
    {.command = Command::Transparent, .name = "TransparentAction",
     .caption = QT_TRANSLATE_NOOP("Commands", "&Transparent"), .hint = QT_TRANSLATE_NOOP("Commands", "Transparent"),
     .category = "Effect", .flags = Checkable, .menu = WindowMenu::Effect, .storedAt = 5, .tag = Effect::Transparent,
     .enabled = inEditMode, .run = chooseEffect},
    {.command = Command::Negative, .name = "NegativeAction", .caption = QT_TRANSLATE_NOOP("Commands", "N&egative"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Negative"), .category = "Effect", .flags = Checkable,
     .menu = WindowMenu::Effect, .storedAt = 6, .tag = Effect::Negative, .enabled = inEditMode, .run = chooseEffect},
    {.command = Command::Hidden, .name = "HiddenAction", .caption = QT_TRANSLATE_NOOP("Commands", "&Hidden"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Hidden"), .category = "Effect", .flags = Checkable | CheckedAtStart,
     .menu = WindowMenu::Effect, .storedAt = 9, .tag = Effect::Hidden, .enabled = inEditMode, .run = chooseEffect},
    {.command = Command::TopSecret, .name = "TopSecretAction", .caption = QT_TRANSLATE_NOOP("Commands", "Top &Secret"),
     .category = "Effect", .flags = Checkable, .menu = WindowMenu::Effect, .storedAt = 10, .tag = Effect::TopSecret,
     .enabled = inEditMode, .run = chooseEffect},
    {.command = Command::LowResolution, .name = "LowResolutionAction",
     .caption = QT_TRANSLATE_NOOP("Commands", "&Low Resolution"), .category = "Effect", .flags = Checkable,
     .menu = WindowMenu::Effect, .storedAt = 22, .tag = Effect::LowResolution, .enabled = inEditMode,
     .run = chooseEffect},

    // Edit: the options of the puzzle being set up.
    {.command = Command::EmptyRow, .name = "EmptyRowAction", .caption = QT_TRANSLATE_NOOP("Commands", "Empty &Row"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Empty row"), .category = "Edit", .flags = Checkable | SeparatorBefore,
     .menu = WindowMenu::Edit, .storedAt = 4, .enabled = inEditMode, .run = resplitInEditMode},
    {.command = Command::EmptyColumn, .name = "EmptyColumnAction",
     .caption = QT_TRANSLATE_NOOP("Commands", "Empty &Column"), .hint = QT_TRANSLATE_NOOP("Commands", "Empty column"),
     .category = "Edit", .flags = Checkable, .menu = WindowMenu::Edit, .storedAt = 3, .enabled = inEditMode,
     .run = resplitInEditMode},
    {.command = Command::SemiEffect, .name = "SemiEffectAction",
     .caption = QT_TRANSLATE_NOOP("Commands", "&SemiEffect"),
     .hint = QT_TRANSLATE_NOOP("Commands", "Do not apply the effect for selected cells"), .category = "Edit",
     .flags = Checkable | SeparatorBefore | SeparatorAfter, .menu = WindowMenu::Edit, .storedAt = 8, .tag = 4,
     .enabled = inEditMode, .run = applySemiEffect},

    // Options
    {.command = Command::Sound, .name = "mSound", .caption = QT_TRANSLATE_NOOP("Commands", "Sound"), .category = "",
     .flags = Checkable | CheckedAtStart, .menu = WindowMenu::Options, .storedAt = 11},

    // Help
    {.command = Command::Help, .name = "HelpAction", .caption = QT_TRANSLATE_NOOP("Commands", "Content..."),
     .category = "Help", .flags = RunsWhileAnimating, .menu = WindowMenu::Help, .keys = {Qt::Key_F1}, .enabled = always,
     .run = [](MainWindow &w, QAction *) { w.showHelp(); }},
    {.command = Command::ShowExample, .name = "mShowexampe",
     .caption = QT_TRANSLATE_NOOP("Commands", "Show Example..."), .category = "",
     .flags = SeparatorBefore | RunsWhileAnimating, .menu = WindowMenu::Help,
     .run = [](MainWindow &w, QAction *) { w.showExample(); }},
    // The demo window's own check box, in no menu: Show Example sets its mark.
    {.command = Command::ShowAtStart, .name = "ShowAtStartAction",
     .caption = QT_TRANSLATE_NOOP("Commands", "Show at Start"), .hint = QT_TRANSLATE_NOOP("Commands", "Show At Start"),
     .category = "", .flags = Checkable | CheckedAtStart | InNoMenu, .menu = WindowMenu::Help, .storedAt = 21,
     .enabled = always},
    {.command = Command::About, .name = "AboutAction", .caption = QT_TRANSLATE_NOOP("Commands", "About.."),
     .category = "Help", .flags = SeparatorBefore | RunsWhileAnimating, .menu = WindowMenu::Help, .enabled = always,
     .run = [](MainWindow &w, QAction *) { w.dialogs().showAbout(); }},
    // clang-format on
};

constexpr MenuRow Menus[] = {
    {WindowMenu::Puzzle, "mPuzzle", QT_TRANSLATE_NOOP("Commands", "&Puzzle")},
    {WindowMenu::View, "mView", QT_TRANSLATE_NOOP("Commands", "&View")},
    {WindowMenu::Split, "mSplit", QT_TRANSLATE_NOOP("Commands", "&Split")},
    {WindowMenu::Effect, "mEffect", QT_TRANSLATE_NOOP("Commands", "E&ffect")},
    {WindowMenu::Edit, "mEdit", QT_TRANSLATE_NOOP("Commands", "&Edit")},
    {WindowMenu::Options, "mOptions", QT_TRANSLATE_NOOP("Commands", "&Options")},
    {WindowMenu::Help, "mHelp", QT_TRANSLATE_NOOP("Commands", "&Help")},
};

// Every command and menu item has exactly one row.
constexpr bool eachOnce()
{
    for (int command = 0; command <= int(Command::ShowExample); ++command) {
        int rows = 0;
        for (const CommandRow &row : Rows)
            rows += int(row.command) == command;
        if (rows != 1)
            return false;
    }
    return std::size(Rows) == std::size_t(Command::ShowExample) + 1;
}
static_assert(eachOnce());

} // namespace

const char *const ToolBarTitle = QT_TRANSLATE_NOOP("Commands", "ToolBar1");

std::span<const CommandRow> commandList()
{
    return Rows;
}

std::span<const MenuRow> menuList()
{
    return Menus;
}

} // namespace quorra
