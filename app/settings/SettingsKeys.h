// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file's section, keys and value words: data written by earlier runs and read by later ones, so
// their spelling and order never change with the code's names.
#pragma once

#include <QString>

namespace quorra {

namespace SettingsKeys {

// The one section the main window keeps its settings in.
inline const QString Section = QStringLiteral("TNimbrelMainForm");

// The layout of the section; a stored layout older than this one restores nothing.
inline const QString FormVersion = QStringLiteral("FormVersion");
inline constexpr int LayoutVersion = 0;

// The placement, in the order a save writes it. The position keys are written twice: once with the screen's
// size appended (ScreenSuffix), once plain.
inline const QString Flags = QStringLiteral("Flags");
inline const QString ShowCmd = QStringLiteral("ShowCmd");
inline const QString PixelsPerInch = QStringLiteral("PixelsPerInch");
inline const QString MinMaxPos = QStringLiteral("MinMaxPos");
inline const QString NormPos = QStringLiteral("NormPos");
inline const QString Visible = QStringLiteral("Visible");
// Four integers: the minimized and maximized positions, or the normal rectangle's left, top, right and bottom.
inline const QString PositionFormat = QStringLiteral("%1,%2,%3,%4");
// "(1280x1024)": width and height of the screen.
inline const QString ScreenSuffix = QStringLiteral("(%1x%2)");

// The values of ShowCmd that a save writes.
inline constexpr int ShowNormal = 1;
inline constexpr int ShowMinimized = 2;
inline constexpr int ShowMaximized = 3;
// What a restore reads as minimized: 6 and 7 were also written for a window that was.
inline constexpr bool meansMinimized(int showCmd)
{
    return showCmd == ShowMinimized || showCmd == 6 || showCmd == 7;
}

// Visible as written by the save at close and by the fallback save as the window is destroyed.
inline const QString VisibleOnClose = QStringLiteral("0");
inline const QString VisibleOnDestroy = QStringLiteral("1");

// A check mark is stored under its command's name with this suffix, as one of the two words.
inline const QString CheckedSuffix = QStringLiteral("_Checked");
inline const QString CheckedWord = QStringLiteral("True");
inline const QString UncheckedWord = QStringLiteral("False");

} // namespace SettingsKeys

} // namespace quorra
