// SPDX-License-Identifier: GPL-3.0-or-later
// Restoring and saving the window's placement and check marks.
#include "SettingsKeeper.h"

#include "CommandTable.h"
#include "Dialogs.h"
#include "WindowFit.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

namespace quorra {

SettingsKeeper::SettingsKeeper(QWidget &window, const CommandTable &commands, Dialogs &dialogs)
    : m_window(window), m_commands(commands), m_dialogs(dialogs), m_storage(settingsFileName())
{
}

QString SettingsKeeper::settingsFileName()
{
    QString base = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (base.isEmpty())
        base = QCoreApplication::applicationName();
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QLatin1Char('/') + base
           + QStringLiteral(".INI");
}

QList<CheckMark> SettingsKeeper::checkMarks() const
{
    QList<CheckMark> marks;
    for (const QAction *action : m_commands.storedCheckMarks())
        marks.append({action->objectName(), action->isChecked()});
    return marks;
}

WindowPlacement SettingsKeeper::placement() const
{
    WindowPlacement p;
    p.showCmd = m_window.isMinimized() ? 2 : m_window.isMaximized() ? 3 : 1;
    // Qt keeps no minimized or maximized positions of its own; these are the values of a window never moved
    // while in those states.
    p.minPosition = QPoint(-1, -1);
    p.maxPosition = QPoint(-1, -1);
    const QRect normal = m_window.normalGeometry().isValid() ? m_window.normalGeometry() : m_window.geometry();
    p.left = normal.left();
    p.top = normal.top();
    // One past the last pixel, where QRect::right() is the last pixel itself.
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    if (const QScreen *shownOn = m_window.screen()) {
        p.pixelsPerInch = qRound(shownOn->logicalDotsPerInch());
        p.screenSize = shownOn->size();
    }
    return p;
}

void SettingsKeeper::restore()
{
    const RestoredWindow restored = m_storage.restore(placement(), checkMarks());
    // Only the marks change: no command runs.
    for (const CheckMark &mark : restored.checkMarks)
        if (QAction *action = m_commands.checkMarkAction(mark.name))
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
            m_window.resize(fitToScreen(m_window, normal, m_window.screen()).size());
        else
            m_window.setGeometry(fitToScreen(m_window, normal, landing));
    }
    switch (restored.showState) {
    case ShowState::Minimized:
        m_window.setWindowState(Qt::WindowMinimized);
        break;
    case ShowState::Maximized:
        m_window.setWindowState(Qt::WindowMaximized);
        break;
    case ShowState::Normal:
        m_window.setWindowState(Qt::WindowNoState);
        break;
    }
}

QRect SettingsKeeper::fitToScreen(QWidget &window, const QRect &wanted, const QScreen *screen)
{
    if (!screen)
        return wanted;
    const QRect area = screen->availableGeometry();
    // On a screen smaller than the window's smallest size, all of the window must still be reachable.
    window.setMinimumSize(window.minimumSize().boundedTo(area.size()));
    return fitToArea(wanted, area, window.minimumSize());
}

void SettingsKeeper::save(bool destroying)
{
    const WindowPlacement now = placement();
    const QList<CheckMark> marks = checkMarks();
    const bool saved = destroying ? m_storage.saveOnDestroy(now, marks) : m_storage.saveOnClose(now, marks);
    // Told, and the program goes on ending normally.
    if (!saved)
        m_dialogs.error(m_storage.errorString());
}

} // namespace quorra
