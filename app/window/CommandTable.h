// SPDX-License-Identifier: GPL-3.0-or-later
// The window's commands made from the command list: the actions in their fixed order, the menus, the tool bar,
// the check-mark groups and the enabling.
#pragma once

#include "CommandList.h"

#include <QList>
#include <QObject>

class QAction;
class QMainWindow;
class QMenu;
class QToolBar;

namespace quorra {

class CommandTable : public QObject
{
    Q_OBJECT

public:
    // The commands belong to Window; the menus go into its menu bar and the tool bar into the window.
    explicit CommandTable(QMainWindow *window);

    // A command, or one of the two menu items that are no commands.
    QAction *action(Command command) const { return m_items.at(int(command)); }
    bool isChecked(Command command) const;
    // Every command, in the order of the command list.
    const QList<QAction *> &actions() const { return m_actions; }
    QMenu *menu(WindowMenu which) const { return m_menus.at(int(which)); }
    QAction *soundItem() const { return action(Command::Sound); }
    QAction *showExampleItem() const { return action(Command::ShowExample); }
    QToolBar *toolBar() const { return m_toolBar; }

    static QString category(const QAction *action);
    static qint32 tag(const QAction *action);

    // The first checked Split command's split; 2 x 2 when none is checked.
    Split split() const;
    // The effect code handed to a new or re-split puzzle, kept in step with the checked Effect command.
    qint32 currentEffect() const { return m_currentEffect; }
    // The current effect, the split and the edit options as the commands say now.
    PuzzleSetup puzzleSetup() const;
    // Checks Chosen alone among the commands of its category (Split or Effect); an effect becomes the current one.
    void choose(QAction *chosen);

    // Enables every command as its row's rule allows in State (with Auto Best Fit's mark as it is now); the current
    // effect follows the first checked Effect command.
    void update(const GameState &state);
    // Everything off while a tangle runs on screen, the two menu items that are no commands included; Resume
    // gives the menu items back, and the next update the commands.
    void suspend();
    void resume();

    // The command or menu item a stored check mark of that name belongs to.
    QAction *checkMarkAction(const QString &name) const;
    // The commands and menu items whose check marks the settings file keeps, in the file's order.
    const QList<QAction *> &storedCheckMarks() const { return m_stored; }

signals:
    // A menu is about to open.
    void menuOpening();

private:
    void createActions(QMainWindow *window);
    void createMenus(QMainWindow *window);
    void createToolBar(QMainWindow *window);

    // Indexed by Command: the commands, then the menu items that are no commands.
    QList<QAction *> m_items;
    // The commands alone.
    QList<QAction *> m_actions;
    // The row each of m_items was made from.
    QList<const CommandRow *> m_rows;
    QList<QAction *> m_stored;
    QList<QMenu *> m_menus;
    QToolBar *m_toolBar = nullptr;
    qint32 m_currentEffect = 0;
};

} // namespace quorra
