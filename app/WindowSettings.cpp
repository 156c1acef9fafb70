// The settings store of the main window: its placement and check marks, kept in an INI section.
#include "WindowSettings.h"

#include "IniFile.h"

#include <QPair>

#include <limits>

namespace {

QString screenSuffix(QSize screen)
{
    return QStringLiteral("(%1x%2)").arg(screen.width()).arg(screen.height());
}

QString positionText(int a, int b, int c, int d)
{
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

bool allDigits(QStringView text, int base)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool hexLetter = (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
                               (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (!digit && !(base == 16 && hexLetter))
            return false;
    }
    return true;
}

// The position text under the key for this screen, else under the plain key; empty when neither.
QString readPosition(const IniFile &ini, const QString &section, const QString &key, QSize screen)
{
    const QString text = ini.readString(section, key + screenSuffix(screen));
    return text.isEmpty() ? ini.readString(section, key) : text;
}

} // namespace

WindowSettings::WindowSettings(const QString &iniFileName, const QString &section)
    : m_iniFileName(iniFileName)
    , m_section(section)
{
}

QList<CheckMark> WindowSettings::defaultCheckMarks()
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

int WindowSettings::parseInteger(const QString &text, int fallback)
{
    QStringView t = QStringView(text).trimmed();
    bool negative = false;
    if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
        negative = t.front() == QLatin1Char('-');
        t = t.mid(1);
    }
    bool ok = false;
    qint64 value = 0;
    if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        t = t.mid(2);
        // Hexadecimal spells all 32 bits: 0xFFFFFFFF is -1.
        if (!allDigits(t, 16) || t.size() > 8)
            return fallback;
        value = qint32(t.toUInt(&ok, 16));
    } else {
        if (!allDigits(t, 10) || t.size() > 10)
            return fallback;
        value = t.toLongLong(&ok, 10);
    }
    if (!ok)
        return fallback;
    if (negative)
        value = -value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return fallback;
    return int(value);
}

QList<int> WindowSettings::parsePosition(const QString &text, const QList<int> &defaults)
{
    const QStringList words = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    QList<int> result;
    for (int i = 0; i < defaults.size(); ++i)
        result << (i < words.size() ? parseInteger(words.at(i), defaults.at(i)) : defaults.at(i));
    return result;
}

RestoredWindow WindowSettings::restore(const WindowPlacement &current, QList<CheckMark> &checkMarks)
{
    m_saved = false;
    m_restored = true; // whatever the file holds, the window has been shown and may be saved
    RestoredWindow r;
    r.placement = current;

    IniFile ini(m_iniFileName);
    ini.load(); // a file that cannot be read restores nothing, silently
    auto read = [&](const QString &key) { return ini.readString(m_section, key); };

    if (parseInteger(read(QStringLiteral("FormVersion")), 0) < Version)
        return r;
    r.restored = true;

    const int flags = parseInteger(read(QStringLiteral("Flags")), current.flags);
    const QString minMax = readPosition(ini, m_section, QStringLiteral("MinMaxPos"), current.screenSize);
    const QString norm = readPosition(ini, m_section, QStringLiteral("NormPos"), current.screenSize);
    const int pixelsPerInch = parseInteger(read(QStringLiteral("PixelsPerInch")), current.pixelsPerInch);

    // Positions from another dots-per-inch setting would put the window at the wrong size.
    if ((!minMax.isEmpty() || !norm.isEmpty()) && pixelsPerInch == current.pixelsPerInch) {
        WindowPlacement p = current;
        p.flags = flags;
        if (!minMax.isEmpty()) {
            const QList<int> m = parsePosition(minMax, {0, 0, 0, 0});
            p.minPosition = QPoint(m[0], m[1]);
            p.maxPosition = QPoint(m[2], m[3]);
        }
        if (!norm.isEmpty()) {
            const QList<int> n = parsePosition(norm, {current.left, current.top, current.right, current.bottom});
            p.left = n[0];
            p.top = n[1];
            p.right = n[2];
            p.bottom = n[3];
        }
        if (p.left < p.right) {
            r.applyPlacement = true;
            r.placement = p;
        }
    }

    switch (parseInteger(read(QStringLiteral("ShowCmd")), 0)) {
    case 2:
    case 6:
    case 7:
        r.showState = ShowState::Minimized;
        break;
    case 3:
        r.showState = ShowState::Maximized;
        break;
    default:
        r.showState = ShowState::Normal;
        break;
    }
    r.placement.showCmd = r.showState == ShowState::Minimized ? 2 : r.showState == ShowState::Maximized ? 3 : 1;

    // Only the words themselves count: "1", "0" or "yes" leave the mark as it was.
    for (CheckMark &mark : checkMarks) {
        const QString value =
            ini.readString(m_section, checkMarkKey(mark.name), mark.checked ? QStringLiteral("True") : QStringLiteral("False"))
                .trimmed();
        if (value.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            mark.checked = false;
        else if (value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            mark.checked = true;
    }
    return r;
}

QList<QPair<QString, QString>> WindowSettings::saveKeys(const WindowPlacement &placement,
                                                      const QList<CheckMark> &checkMarks, bool destroying)
{
    const QString suffix = screenSuffix(placement.screenSize);
    const QString minMax = positionText(placement.minPosition.x(), placement.minPosition.y(),
                                        placement.maxPosition.x(), placement.maxPosition.y());
    const QString norm = positionText(placement.left, placement.top, placement.right, placement.bottom);
    QList<QPair<QString, QString>> keys = {
        {QStringLiteral("FormVersion"), QString::number(Version)},
        {QStringLiteral("Flags"), QString::number(placement.flags)},
        {QStringLiteral("ShowCmd"), QString::number(placement.showCmd)},
        {QStringLiteral("PixelsPerInch"), QString::number(placement.pixelsPerInch)},
        {QStringLiteral("MinMaxPos") + suffix, minMax},
        {QStringLiteral("MinMaxPos"), minMax},
        {QStringLiteral("NormPos") + suffix, norm},
        {QStringLiteral("NormPos"), norm},
        {QStringLiteral("Visible"), destroying ? QStringLiteral("1") : QStringLiteral("0")},
    };
    for (const CheckMark &mark : checkMarks)
        keys.append({checkMarkKey(mark.name), mark.checked ? QStringLiteral("True") : QStringLiteral("False")});
    return keys;
}

bool WindowSettings::save(const WindowPlacement &placement, const QList<CheckMark> &checkMarks)
{
    m_error.clear();
    if (!m_restored)
        return true; // never shown: there is nothing worth keeping
    IniFile ini(m_iniFileName);
    ini.load(); // an unreadable file makes the save below fail rather than overwrite it
    for (const auto &[Key, Value] : saveKeys(placement, checkMarks, m_destroying))
        ini.writeString(m_section, Key, Value);
    if (!ini.save()) {
        m_error = ini.errorString();
        return false;
    }
    m_saved = true;
    return true;
}

bool WindowSettings::saveOnClose(const WindowPlacement &placement, const QList<CheckMark> &checkMarks)
{
    return save(placement, checkMarks);
}

bool WindowSettings::saveOnDestroy(const WindowPlacement &placement, const QList<CheckMark> &checkMarks)
{
    if (m_saved)
        return true;
    m_destroying = true;
    const bool ok = save(placement, checkMarks);
    m_destroying = false;
    return ok;
}
