// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store of the main window: its placement and check marks, kept in an INI section.
#pragma once

#include "SettingsKeys.h"

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

namespace quorra {

// A window's placement in the terms the settings file uses. The normal rectangle's Right and
// Bottom are Left + width and Top + height (one past the last pixel, unlike QRect::right()).
struct WindowPlacement {
    int flags = 0;
    // SettingsKeys::ShowNormal, ShowMinimized (also whenever the whole application is) or ShowMaximized.
    int showCmd = SettingsKeys::ShowNormal;
    QPoint minPosition;
    QPoint maxPosition;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int pixelsPerInch = 96;
    QSize screenSize; // of the screen the window is on, in pixels
};

// One stored check mark: the component's name ("mSound") and its mark.
struct CheckMark {
    QString name;
    bool checked = false;
    friend bool operator==(const CheckMark &, const CheckMark &) = default;
};

enum class ShowState { Normal, Minimized, Maximized };

// What a restore found; the window applies it.
struct RestoredWindow {
    bool restored = false;       // false when the stored layout is older: nothing at all applies
    bool applyPlacement = false; // the placement below is the stored one and fits this screen
    WindowPlacement placement;   // Flags, MinPosition, MaxPosition and the normal rectangle
    ShowState showState = ShowState::Normal;
    // The check marks given to the restore, each set from the file where it holds one of the two words.
    QList<CheckMark> checkMarks;
};

class WindowSettings
{
public:
    explicit WindowSettings(const QString &iniFileName = QString(), const QString &section = SettingsKeys::Section);

    QString iniFileName() const { return m_iniFileName; }
    void setIniFileName(const QString &name) { m_iniFileName = name; }
    QString section() const { return m_section; }

    static QString checkMarkKey(const QString &name) { return name + SettingsKeys::CheckedSuffix; }

    // Runs once, when the window is first shown. Current is the window as created (its flags,
    // rectangle, dots per inch and screen), CheckMarks the marks as they are now; the result holds them as
    // the file leaves them. Whatever the file holds, the store counts as restored afterwards.
    RestoredWindow restore(const WindowPlacement &current, const QList<CheckMark> &checkMarks);

    // The save as the window closes (Visible "0") and the fallback as it is destroyed without an
    // earlier successful save (Visible "1"). Both do nothing before a restore. On failure they
    // return false and ErrorString() holds "Unable to write to <path>".
    bool saveOnClose(const WindowPlacement &placement, const QList<CheckMark> &checkMarks);
    bool saveOnDestroy(const WindowPlacement &placement, const QList<CheckMark> &checkMarks);
    QString errorString() const { return m_error; }

    bool isRestored() const { return m_restored; }
    bool isSaved() const { return m_saved; }

    // The keys and value texts a save writes, in order.
    static QList<QPair<QString, QString>> saveKeys(const WindowPlacement &placement, const QList<CheckMark> &checkMarks,
                                                   bool destroying);

    // The parsing rules of the stored values.
    static int parseInteger(const QString &text, int fallback);
    static QList<int> parsePosition(const QString &text, const QList<int> &defaults);

private:
    bool save(const WindowPlacement &placement, const QList<CheckMark> &checkMarks, bool destroying);

    QString m_iniFileName;
    QString m_section;
    bool m_restored = false;
    bool m_saved = false;
    QString m_error;
};

} // namespace quorra
