// SPDX-License-Identifier: GPL-3.0-or-later
// Builds a main window for tests: scripted dialogs, recording sound players and pointer control, no animation pacing,
// shown offscreen with a given panel size, and pictures and puzzle files made on the spot.
#pragma once

#include "Documents.h"
#include "FakeDialogs.h"
#include "FakePointerControl.h"
#include "MainWindow.h"
#include "PictureLayout.h"
#include "Puzzle.h"
#include "SettingsKeeper.h"

#include <QTemporaryDir>
#include <memory>

namespace quorra {

class WindowFixture
{
public:
    explicit WindowFixture(int panelWidth = 790, int panelHeight = 560, bool show = true);
    // The window goes first: it writes its settings into Folder as it is destroyed.
    ~WindowFixture();

    std::unique_ptr<MainWindow> form;
    FakeDialogs *dialogs = nullptr;
    // What the three sound players were asked, in order: "Open|<path>", "Play|Move.wav" and so on.
    QStringList sounds;
    // Null after UseRealPointer.
    FakePointerControl *pointer = nullptr;
    QTemporaryDir folder;
    // The window's settings file, fresh for every fixture.
    QString settingsFile() const { return pathOf(QStringLiteral("quorra.INI")); }

    // Gives the window the pointer control the program uses, for tests on a real X server.
    void useRealPointer();
    // The "Play|..." entries of Sounds.
    QStringList played() const;
    // Resizes the window until the panel's client area has this size; false when the window would not follow.
    bool setPanelSize(int width, int height);
    // A picture file of that size with a distinct colour in each region, written as a BMP.
    QString makePicture(const QString &name, int width, int height);
    // A puzzle file made by the engine from a picture of that size.
    QString makePuzzleFile(const QString &name, int width, int height, int rows = 2, int cols = 2);
    QString pathOf(const QString &name) const { return folder.filePath(name); }

    // The main window's flows, with their dialogs answered in advance.
    void New(const QString &picturePath);
    void open(const QString &puzzlePath);
    // Runs the command as a click would, and waits until a decode it started has been handled.
    void run(QAction *command);
    // Waits until no picture or puzzle file is being decoded for New or Open and nothing is shown over time (a
    // paced tangle); false when one still is.
    bool waitForLoad();
    // Brings the puzzle to the solved state as the winning move would.
    void solve();
    // The names of the commands that are enabled now.
    QStringList enabledCommands() const;
};

} // namespace quorra
