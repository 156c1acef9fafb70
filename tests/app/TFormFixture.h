// Builds a main window for tests: scripted dialogs, recording sound players and pointer control, no tangle pacing,
// shown offscreen with a given panel size, and pictures and puzzle files made on the spot.
#pragma once

#include "TFakeDialogs.h"
#include "TFakePointerControl.h"
#include "TNimbrelMainForm.h"

#include <QTemporaryDir>
#include <memory>

class TFormFixture
{
public:
    explicit TFormFixture(int PanelWidth = 790, int PanelHeight = 560, bool Show = true);
    // The window goes first: it writes its settings into Folder as it is destroyed.
    ~TFormFixture();

    std::unique_ptr<TNimbrelMainForm> Form;
    TFakeDialogs *Dialogs = nullptr;
    // What the three sound players were asked, in order: "Open|<path>", "Play|Move.wav" and so on.
    QStringList Sounds;
    // Null after UseRealPointer.
    TFakePointerControl *Pointer = nullptr;
    QTemporaryDir Folder;
    // The window's settings file, fresh for every fixture.
    QString SettingsFile() const { return PathOf(QStringLiteral("quorra.INI")); }

    // Gives the window the pointer control the program uses, for tests on a real X server.
    void UseRealPointer();
    // The "Play|..." entries of Sounds.
    QStringList Played() const;
    // Resizes the window until the panel's client area has this size; false when the window would not follow.
    bool SetPanelSize(int Width, int Height);
    // A picture file of that size with a distinct colour in each region, written as a BMP.
    QString MakePicture(const QString &Name, int Width, int Height);
    // A puzzle file made by the engine from a picture of that size.
    QString MakePuzzleFile(const QString &Name, int Width, int Height, int Rows = 2, int Cols = 2);
    QString PathOf(const QString &Name) const { return Folder.filePath(Name); }

    // The main window's flows, with their dialogs answered in advance.
    void New(const QString &PicturePath);
    void Open(const QString &PuzzlePath);
    void Run(QAction *Command);
    // Brings the puzzle to the solved state as the winning move would.
    void Solve();
    // The names of the commands that are enabled now.
    QStringList EnabledCommands() const;
};
