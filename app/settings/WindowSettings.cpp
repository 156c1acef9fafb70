// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store of the main window: its placement and check marks, kept in an INI section.
#include "WindowSettings.h"

#include "IniFile.h"

#include <QPair>

#include <limits>

namespace quorra {

using namespace SettingsKeys;

namespace {

QString screenSuffix(QSize screen)
{
    return ScreenSuffix.arg(screen.width()).arg(screen.height());
}

QString positionText(int a, int b, int c, int d)
{
    return PositionFormat.arg(a).arg(b).arg(c).arg(d);
}

bool allDigits(QStringView text, int base)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool hexLetter =
            (c >= QLatin1Char('a') && c <= QLatin1Char('f')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
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
    : m_iniFileName(iniFileName), m_section(section)
{
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

RestoredWindow WindowSettings::restore(const WindowPlacement &current, const QList<CheckMark> &checkMarks)
{
    m_saved = false;
    m_restored = true; // whatever the file holds, the window has been shown and may be saved
    RestoredWindow r;
    r.placement = current;
    r.checkMarks = checkMarks;

    IniFile ini(m_iniFileName);
    ini.load(); // a file that cannot be read restores nothing, silently
    auto read = [&](const QString &key) { return ini.readString(m_section, key); };

    if (parseInteger(read(FormVersion), 0) < LayoutVersion)
        return r;
    r.restored = true;

    const int flags = parseInteger(read(Flags), current.flags);
    const QString minMax = readPosition(ini, m_section, MinMaxPos, current.screenSize);
    const QString norm = readPosition(ini, m_section, NormPos, current.screenSize);
    const int pixelsPerInch = parseInteger(read(PixelsPerInch), current.pixelsPerInch);

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

    const int showCmd = parseInteger(read(ShowCmd), 0);
    if (meansMinimized(showCmd)) {
        r.showState = ShowState::Minimized;
        r.placement.showCmd = ShowMinimized;
    } else if (showCmd == ShowMaximized) {
        r.showState = ShowState::Maximized;
        r.placement.showCmd = ShowMaximized;
    } else {
        r.showState = ShowState::Normal;
        r.placement.showCmd = ShowNormal;
    }

    // Only the words themselves count: "1", "0" or "yes" leave the mark as it was.
    for (CheckMark &mark : r.checkMarks) {
        const QString value =
            ini.readString(m_section, checkMarkKey(mark.name), mark.checked ? CheckedWord : UncheckedWord).trimmed();
        if (value.compare(UncheckedWord, Qt::CaseInsensitive) == 0)
            mark.checked = false;
        else if (value.compare(CheckedWord, Qt::CaseInsensitive) == 0)
            mark.checked = true;
    }
    return r;
}

QList<QPair<QString, QString>> WindowSettings::saveKeys(const WindowPlacement &placement,
                                                        const QList<CheckMark> &checkMarks, bool destroying)
{
    const QString suffix = screenSuffix(placement.screenSize);
    const QString minMax = positionText(placement.minPosition.x(), placement.minPosition.y(), placement.maxPosition.x(),
                                        placement.maxPosition.y());
    const QString norm = positionText(placement.left, placement.top, placement.right, placement.bottom);
    QList<QPair<QString, QString>> keys = {
        {FormVersion, QString::number(LayoutVersion)},
        {Flags, QString::number(placement.flags)},
        {ShowCmd, QString::number(placement.showCmd)},
        {PixelsPerInch, QString::number(placement.pixelsPerInch)},
        {MinMaxPos + suffix, minMax},
        {MinMaxPos, minMax},
        {NormPos + suffix, norm},
        {NormPos, norm},
        {Visible, destroying ? VisibleOnDestroy : VisibleOnClose},
    };
    for (const CheckMark &mark : checkMarks)
        keys.append({checkMarkKey(mark.name), mark.checked ? CheckedWord : UncheckedWord});
    return keys;
}

bool WindowSettings::save(const WindowPlacement &placement, const QList<CheckMark> &checkMarks, bool destroying)
{
    m_error.clear();
    if (!m_restored)
        return true; // never shown: there is nothing worth keeping
    IniFile ini(m_iniFileName);
    ini.load(); // an unreadable file makes the save below fail rather than overwrite it
    for (const auto &[Key, Value] : saveKeys(placement, checkMarks, destroying))
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
    return save(placement, checkMarks, false);
}

bool WindowSettings::saveOnDestroy(const WindowPlacement &placement, const QList<CheckMark> &checkMarks)
{
    if (m_saved)
        return true;
    return save(placement, checkMarks, true);
}

} // namespace quorra
