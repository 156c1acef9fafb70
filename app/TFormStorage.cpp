// The settings store of the main window: its placement and check marks, kept in an INI section.
#include "TFormStorage.h"

#include "TIniFile.h"

#include <QPair>

#include <limits>

namespace {

QString ScreenSuffix(QSize Screen)
{
    return QStringLiteral("(%1x%2)").arg(Screen.width()).arg(Screen.height());
}

QString PositionText(int A, int B, int C, int D)
{
    return QStringLiteral("%1,%2,%3,%4").arg(A).arg(B).arg(C).arg(D);
}

bool AllDigits(QStringView Text, int Base)
{
    if (Text.isEmpty())
        return false;
    for (QChar C : Text) {
        const bool Digit = C >= QLatin1Char('0') && C <= QLatin1Char('9');
        const bool HexLetter = (C >= QLatin1Char('a') && C <= QLatin1Char('f')) ||
                               (C >= QLatin1Char('A') && C <= QLatin1Char('F'));
        if (!Digit && !(Base == 16 && HexLetter))
            return false;
    }
    return true;
}

// The position text under the key for this screen, else under the plain key; empty when neither.
QString ReadPosition(const TIniFile &Ini, const QString &Section, const QString &Key, QSize Screen)
{
    const QString Text = Ini.ReadString(Section, Key + ScreenSuffix(Screen));
    return Text.isEmpty() ? Ini.ReadString(Section, Key) : Text;
}

} // namespace

TFormStorage::TFormStorage(const QString &IniFileName, const QString &Section)
    : FIniFileName(IniFileName)
    , FSection(Section)
{
}

QList<TCheckMark> TFormStorage::DefaultCheckMarks()
{
    return {
        {QStringLiteral("AutoBestFitAction"), false},  {QStringLiteral("DarkAction"), false},
        {QStringLiteral("EmptyColumnAction"), false},  {QStringLiteral("EmptyRowAction"), false},
        {QStringLiteral("TransparentAction"), false},  {QStringLiteral("NegativeAction"), false},
        {QStringLiteral("ObscureAction"), false},      {QStringLiteral("SemiEffectAction"), false},
        {QStringLiteral("HiddenAction"), true},        {QStringLiteral("TopSecretAction"), false},
        {QStringLiteral("mSound"), true},              {QStringLiteral("Action2x2"), true},
        {QStringLiteral("Action2x3"), false},          {QStringLiteral("Action2x4"), false},
        {QStringLiteral("Action3x2"), false},          {QStringLiteral("Action3x3"), false},
        {QStringLiteral("Action3x4"), false},          {QStringLiteral("Action4x2"), false},
        {QStringLiteral("Action4x3"), false},          {QStringLiteral("Action4x4"), false},
        {QStringLiteral("ShowAtStartAction"), true},   {QStringLiteral("LowResolutionAction"), false},
    };
}

int TFormStorage::ParseInteger(const QString &Text, int Default)
{
    QStringView T = QStringView(Text).trimmed();
    bool Negative = false;
    if (T.startsWith(QLatin1Char('-')) || T.startsWith(QLatin1Char('+'))) {
        Negative = T.front() == QLatin1Char('-');
        T = T.mid(1);
    }
    bool Ok = false;
    qint64 Value = 0;
    if (T.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        T = T.mid(2);
        // Hexadecimal spells all 32 bits: 0xFFFFFFFF is -1.
        if (!AllDigits(T, 16) || T.size() > 8)
            return Default;
        Value = qint32(T.toUInt(&Ok, 16));
    } else {
        if (!AllDigits(T, 10) || T.size() > 10)
            return Default;
        Value = T.toLongLong(&Ok, 10);
    }
    if (!Ok)
        return Default;
    if (Negative)
        Value = -Value;
    if (Value < std::numeric_limits<qint32>::min() || Value > std::numeric_limits<qint32>::max())
        return Default;
    return int(Value);
}

QList<int> TFormStorage::ParsePosition(const QString &Text, const QList<int> &Defaults)
{
    const QStringList Words = Text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    QList<int> Result;
    for (int i = 0; i < Defaults.size(); ++i)
        Result << (i < Words.size() ? ParseInteger(Words.at(i), Defaults.at(i)) : Defaults.at(i));
    return Result;
}

TFormRestore TFormStorage::Restore(const TFormPlacement &Current, QList<TCheckMark> &CheckMarks)
{
    FSaved = false;
    FRestored = true; // whatever the file holds, the window has been shown and may be saved
    TFormRestore R;
    R.Placement = Current;

    TIniFile Ini(FIniFileName);
    Ini.Load(); // a file that cannot be read restores nothing, silently
    auto Read = [&](const QString &Key) { return Ini.ReadString(FSection, Key); };

    if (ParseInteger(Read(QStringLiteral("FormVersion")), 0) < Version)
        return R;
    R.Restored = true;

    const int Flags = ParseInteger(Read(QStringLiteral("Flags")), Current.Flags);
    const QString MinMax = ReadPosition(Ini, FSection, QStringLiteral("MinMaxPos"), Current.ScreenSize);
    const QString Norm = ReadPosition(Ini, FSection, QStringLiteral("NormPos"), Current.ScreenSize);
    const int PixelsPerInch = ParseInteger(Read(QStringLiteral("PixelsPerInch")), Current.PixelsPerInch);

    // Positions from another dots-per-inch setting would put the window at the wrong size.
    if ((!MinMax.isEmpty() || !Norm.isEmpty()) && PixelsPerInch == Current.PixelsPerInch) {
        TFormPlacement P = Current;
        P.Flags = Flags;
        if (!MinMax.isEmpty()) {
            const QList<int> M = ParsePosition(MinMax, {0, 0, 0, 0});
            P.MinPosition = QPoint(M[0], M[1]);
            P.MaxPosition = QPoint(M[2], M[3]);
        }
        if (!Norm.isEmpty()) {
            const QList<int> N = ParsePosition(Norm, {Current.Left, Current.Top, Current.Right, Current.Bottom});
            P.Left = N[0];
            P.Top = N[1];
            P.Right = N[2];
            P.Bottom = N[3];
        }
        if (P.Left < P.Right) {
            R.ApplyPlacement = true;
            R.Placement = P;
        }
    }

    switch (ParseInteger(Read(QStringLiteral("ShowCmd")), 0)) {
    case 2:
    case 6:
    case 7:
        R.ShowState = TShowState::Minimized;
        break;
    case 3:
        R.ShowState = TShowState::Maximized;
        break;
    default:
        R.ShowState = TShowState::Normal;
        break;
    }
    R.Placement.ShowCmd = R.ShowState == TShowState::Minimized ? 2 : R.ShowState == TShowState::Maximized ? 3 : 1;

    // Only the words themselves count: "1", "0" or "yes" leave the mark as it was.
    for (TCheckMark &Mark : CheckMarks) {
        const QString Value =
            Ini.ReadString(FSection, CheckMarkKey(Mark.Name), Mark.Checked ? QStringLiteral("True") : QStringLiteral("False"))
                .trimmed();
        if (Value.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            Mark.Checked = false;
        else if (Value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            Mark.Checked = true;
    }
    return R;
}

QList<QPair<QString, QString>> TFormStorage::SaveKeys(const TFormPlacement &Placement,
                                                      const QList<TCheckMark> &CheckMarks, bool Destroying)
{
    const QString Suffix = ScreenSuffix(Placement.ScreenSize);
    const QString MinMax = PositionText(Placement.MinPosition.x(), Placement.MinPosition.y(),
                                        Placement.MaxPosition.x(), Placement.MaxPosition.y());
    const QString Norm = PositionText(Placement.Left, Placement.Top, Placement.Right, Placement.Bottom);
    QList<QPair<QString, QString>> Keys = {
        {QStringLiteral("FormVersion"), QString::number(Version)},
        {QStringLiteral("Flags"), QString::number(Placement.Flags)},
        {QStringLiteral("ShowCmd"), QString::number(Placement.ShowCmd)},
        {QStringLiteral("PixelsPerInch"), QString::number(Placement.PixelsPerInch)},
        {QStringLiteral("MinMaxPos") + Suffix, MinMax},
        {QStringLiteral("MinMaxPos"), MinMax},
        {QStringLiteral("NormPos") + Suffix, Norm},
        {QStringLiteral("NormPos"), Norm},
        {QStringLiteral("Visible"), Destroying ? QStringLiteral("1") : QStringLiteral("0")},
    };
    for (const TCheckMark &Mark : CheckMarks)
        Keys.append({CheckMarkKey(Mark.Name), Mark.Checked ? QStringLiteral("True") : QStringLiteral("False")});
    return Keys;
}

bool TFormStorage::Save(const TFormPlacement &Placement, const QList<TCheckMark> &CheckMarks)
{
    FError.clear();
    if (!FRestored)
        return true; // never shown: there is nothing worth keeping
    TIniFile Ini(FIniFileName);
    Ini.Load(); // an unreadable file makes the save below fail rather than overwrite it
    for (const auto &[Key, Value] : SaveKeys(Placement, CheckMarks, FDestroying))
        Ini.WriteString(FSection, Key, Value);
    if (!Ini.Save()) {
        FError = Ini.ErrorString();
        return false;
    }
    FSaved = true;
    return true;
}

bool TFormStorage::SaveOnClose(const TFormPlacement &Placement, const QList<TCheckMark> &CheckMarks)
{
    return Save(Placement, CheckMarks);
}

bool TFormStorage::SaveOnDestroy(const TFormPlacement &Placement, const QList<TCheckMark> &CheckMarks)
{
    if (FSaved)
        return true;
    FDestroying = true;
    const bool Ok = Save(Placement, CheckMarks);
    FDestroying = false;
    return Ok;
}
