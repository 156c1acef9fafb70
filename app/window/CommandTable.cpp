// SPDX-License-Identifier: GPL-3.0-or-later
// The command table: makes the commands, menus and tool bar from the command list and keeps their enabled state in
// step with the game.
#include "CommandTable.h"

#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <algorithm>

namespace quorra {

namespace {

const char CategoryProperty[] = "Category";
const char TagProperty[] = "Tag";

QString translated(const char *text)
{
    return QCoreApplication::translate("Commands", text);
}

QIcon toolIcon(const QString &name)
{
    return QIcon::fromTheme(name, QIcon(QStringLiteral(":/icons/%1.png").arg(name)));
}

} // namespace

CommandTable::CommandTable(QMainWindow *window) : QObject(window)
{
    createActions(window);
    createMenus(window);
    createToolBar(window);
}

void CommandTable::createActions(QMainWindow *window)
{
    const int count = int(Command::ShowExample) + 1;
    m_items.resize(count);
    m_rows.resize(count);
    QList<std::pair<int, QAction *>> stored;
    for (const CommandRow &row : commandList()) {
        auto *action = new QAction(translated(row.caption), window);
        action->setObjectName(QLatin1String(row.name));
        action->setProperty(CategoryProperty, QString::fromLatin1(row.category));
        action->setProperty(TagProperty, row.tag);
        if (*row.hint) {
            const QString hint = translated(row.hint);
            action->setStatusTip(hint);
            action->setToolTip(hint);
        }
        action->setCheckable(row.flags & CommandFlag::Checkable);
        action->setChecked(row.flags & CommandFlag::CheckedAtStart);
        action->setVisible(!(row.flags & CommandFlag::HiddenInMenu));
        action->setIconVisibleInMenu(false);
        // The menus show the keys beside the captions.
        QList<QKeySequence> keys;
        for (const QKeyCombination key : row.keys)
            if (key.key() != Qt::Key_unknown)
                keys.append(QKeySequence(key));
        action->setShortcuts(keys);
        if (row.icon)
            action->setIcon(toolIcon(QLatin1String(row.icon)));
        if (row.storedAt > 0)
            stored.append({row.storedAt, action});
        m_items[int(row.command)] = action;
        m_rows[int(row.command)] = &row;
    }
    m_actions = m_items.first(CommandCount);
    std::sort(stored.begin(), stored.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &entry : std::as_const(stored))
        m_stored.append(entry.second);
}

void CommandTable::createMenus(QMainWindow *window)
{
    QMenuBar *bar = window->menuBar();
    for (const MenuRow &entry : menuList()) {
        QMenu *menu = bar->addMenu(translated(entry.title));
        menu->setObjectName(QLatin1String(entry.name));
        connect(menu, &QMenu::aboutToShow, this, &CommandTable::menuOpening);
        m_menus.append(menu);
    }
    for (const CommandRow &row : commandList()) {
        if (row.flags & CommandFlag::InNoMenu)
            continue;
        QMenu *menu = m_menus.at(int(row.menu));
        if (row.flags & CommandFlag::SeparatorBefore)
            menu->addSeparator();
        menu->addAction(action(row.command));
        if (row.flags & CommandFlag::SeparatorAfter)
            menu->addSeparator();
    }
}

void CommandTable::createToolBar(QMainWindow *window)
{
    m_toolBar = window->addToolBar(translated(ToolBarTitle));
    m_toolBar->setObjectName(QStringLiteral("ToolBar1"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(24, 24));
    int group = 0;
    for (const CommandRow &row : commandList()) {
        if (row.toolBarGroup == 0)
            continue;
        if (group != 0 && row.toolBarGroup != group)
            m_toolBar->addSeparator();
        group = row.toolBarGroup;
        m_toolBar->addAction(action(row.command));
    }
}

bool CommandTable::isChecked(Command command) const
{
    return action(command)->isChecked();
}

QString CommandTable::category(const QAction *action)
{
    return action->property(CategoryProperty).toString();
}

qint32 CommandTable::tag(const QAction *action)
{
    return action->property(TagProperty).toInt();
}

Split CommandTable::split() const
{
    for (int i = 0; i < CommandCount; ++i)
        if (category(m_actions.at(i)) == QLatin1String("Split") && m_actions.at(i)->isChecked())
            return m_rows.at(i)->split;
    return Split();
}

PuzzleSetup CommandTable::puzzleSetup() const
{
    PuzzleSetup setup;
    setup.effect = m_currentEffect;
    setup.split = split();
    setup.semiEffect = isChecked(Command::SemiEffect);
    setup.emptyRow = isChecked(Command::EmptyRow);
    setup.emptyColumn = isChecked(Command::EmptyColumn);
    return setup;
}

void CommandTable::choose(QAction *chosen)
{
    const QString group = category(chosen);
    for (QAction *action : std::as_const(m_actions))
        if (category(action) == group)
            action->setChecked(false);
    chosen->setChecked(true);
    if (group == QLatin1String("Effect"))
        m_currentEffect = tag(chosen);
}

void CommandTable::update(const GameState &state)
{
    GameState now = state;
    now.autoFit = isChecked(Command::AutoBestFit);
    for (int i = 0; i < CommandCount; ++i)
        m_actions.at(i)->setEnabled(m_rows.at(i)->enabled(now));

    for (const QAction *effect : std::as_const(m_actions))
        if (category(effect) == QLatin1String("Effect") && effect->isChecked()) {
            m_currentEffect = tag(effect);
            break;
        }
}

void CommandTable::suspend()
{
    // The menu items that are no commands as well: nothing may be chosen while the commands are off.
    for (QAction *item : std::as_const(m_items))
        item->setEnabled(false);
}

void CommandTable::resume()
{
    for (int i = CommandCount; i < m_items.size(); ++i)
        m_items.at(i)->setEnabled(true);
}

QAction *CommandTable::checkMarkAction(const QString &name) const
{
    for (QAction *item : m_items)
        if (item->objectName() == name)
            return item;
    return nullptr;
}

} // namespace quorra
