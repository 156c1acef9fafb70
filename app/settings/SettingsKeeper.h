// SPDX-License-Identifier: GPL-3.0-or-later
// Carries the window's placement and its check marks from one run to the next through WindowSettings.
#pragma once

#include "WindowSettings.h"

#include <QRect>

class QScreen;
class QWidget;

namespace quorra {

class CommandTable;
class Dialogs;

class SettingsKeeper
{
public:
    // Window is the one placed; Commands hold the check marks; a save that fails is told through Dialogs.
    SettingsKeeper(QWidget &window, const CommandTable &commands, Dialogs &dialogs);

    // The executable's name with ".INI", in the user's configuration folder: an installed program cannot write
    // beside itself.
    static QString settingsFileName();
    // The store; tests point it at a file of their own.
    WindowSettings &storage() { return m_storage; }

    // The window's placement and its stored check marks as they are now, in the settings store's terms.
    WindowPlacement placement() const;
    QList<CheckMark> checkMarks() const;

    // Applied before the window first appears: the check marks, then the placement and the show state.
    bool isRestored() const { return m_storage.isRestored(); }
    void restore();
    // As the window closes, or as it goes without having been closed; a failure is told.
    void save(bool destroying);

    // Wanted kept within the free area of Screen, Window's smallest size lowered where the screen is smaller.
    static QRect fitToScreen(QWidget &window, const QRect &wanted, const QScreen *screen);

private:
    QWidget &m_window;
    const CommandTable &m_commands;
    Dialogs &m_dialogs;
    WindowSettings m_storage;
};

} // namespace quorra
