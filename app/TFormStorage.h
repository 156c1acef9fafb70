// The settings store of the main window: its placement and check marks, kept in an INI section.
#pragma once

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

// A window's placement in the terms the settings file uses. The normal rectangle's Right and
// Bottom are Left + width and Top + height (one past the last pixel, unlike QRect::right()).
struct TFormPlacement {
    int Flags = 0;
    int ShowCmd = 1; // 1 normal, 2 minimized (also whenever the whole application is), 3 maximized
    QPoint MinPosition;
    QPoint MaxPosition;
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int PixelsPerInch = 96;
    QSize ScreenSize; // of the screen the window is on, in pixels
};

// One stored check mark: the component's name ("mSound") and its mark.
struct TCheckMark {
    QString Name;
    bool Checked = false;
    friend bool operator==(const TCheckMark &, const TCheckMark &) = default;
};

enum class TShowState { Normal, Minimized, Maximized };

// What a restore found; the window applies it.
struct TFormRestore {
    bool Restored = false;       // false when the stored layout is newer: nothing at all applies
    bool ApplyPlacement = false; // the placement below is the stored one and fits this screen
    TFormPlacement Placement;    // Flags, MinPosition, MaxPosition and the normal rectangle
    TShowState ShowState = TShowState::Normal;
};

class TFormStorage
{
public:
    explicit TFormStorage(const QString &IniFileName = QString(),
                          const QString &Section = QStringLiteral("TNimbrelMainForm"));

    QString IniFileName() const { return FIniFileName; }
    void SetIniFileName(const QString &Name) { FIniFileName = Name; }
    QString Section() const { return FSection; }

    static constexpr int Version = 0;

    // The 22 stored check marks in their order of reading and writing, with their defaults.
    static QList<TCheckMark> DefaultCheckMarks();
    static QString CheckMarkKey(const QString &Name) { return Name + QStringLiteral("_Checked"); }

    // Runs once, when the window is first shown. Current is the window as created (its flags,
    // rectangle, dots per inch and screen); CheckMarks hold the current marks and are updated in
    // place. Whatever the file holds, the store counts as restored afterwards.
    TFormRestore Restore(const TFormPlacement &Current, QList<TCheckMark> &CheckMarks);

    // The save as the window closes (Visible "0") and the fallback as it is destroyed without an
    // earlier successful save (Visible "1"). Both do nothing before a restore. On failure they
    // return false and ErrorString() holds "Unable to write to <path>".
    bool SaveOnClose(const TFormPlacement &Placement, const QList<TCheckMark> &CheckMarks);
    bool SaveOnDestroy(const TFormPlacement &Placement, const QList<TCheckMark> &CheckMarks);
    QString ErrorString() const { return FError; }

    bool IsRestored() const { return FRestored; }
    bool IsSaved() const { return FSaved; }

    // The keys and value texts a save writes, in order.
    static QList<QPair<QString, QString>> SaveKeys(const TFormPlacement &Placement,
                                                    const QList<TCheckMark> &CheckMarks, bool Destroying);

    // The parsing rules of the stored values.
    static int ParseInteger(const QString &Text, int Default);
    static QList<int> ParsePosition(const QString &Text, const QList<int> &Defaults);

private:
    bool Save(const TFormPlacement &Placement, const QList<TCheckMark> &CheckMarks);

    QString FIniFileName;
    QString FSection;
    bool FRestored = false;
    bool FSaved = false;
    bool FDestroying = false;
    QString FError;
};
