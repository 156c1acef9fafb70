// SPDX-License-Identifier: GPL-3.0-or-later
// A small INI reader and writer with private-profile behaviour: keys stay in their order and spelling.
#include "IniFile.h"

#include "RegularFile.h"
#include "ReplacingFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace quorra {

namespace {

// The section named on a header line, or a null string when the line is no header.
QString sectionOf(const QString &line)
{
    QString t = line.trimmed();
    if (t.startsWith(QChar(0xFEFF))) // a byte-order mark before the first header
        t = t.mid(1).trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return QString();
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    const QString name = (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
    return name.isNull() ? QStringLiteral("") : name;
}

bool isComment(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

// The key of a "key=value" line, or a null string for anything else.
QString keyOf(const QString &line)
{
    if (isComment(line))
        return QString();
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return QString();
    return line.left(eq).trimmed();
}

QString valueOf(const QString &line)
{
    QString v = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) && v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    return v;
}

} // namespace

IniFile::IniFile(const QString &fileName) : m_fileName(fileName) {}

bool IniFile::load()
{
    m_lines.clear();
    m_lineEnd = QStringLiteral("\n");
    m_latin1 = false;
    m_unreadable = false;
    if (!QFile::exists(m_fileName))
        return true;
    // Read no more than the limit even when the file grows while it is read.
    QFile file;
    QByteArray bytes;
    if (openRegularFile(file, m_fileName).isEmpty() && file.size() <= MaxFileSize)
        bytes = file.read(MaxFileSize + 1);
    if (!file.isOpen() || file.error() != QFileDevice::NoError || file.size() > MaxFileSize
        || bytes.size() > MaxFileSize) {
        m_unreadable = true;
        return false;
    }
    // Bytes that are not UTF-8 would come back from a save as replacement characters: such a file is taken one
    // byte to one character, which a save turns back into the same bytes.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        m_latin1 = true;
        text = QString::fromLatin1(bytes);
    }
    if (text.isEmpty())
        return true;
    if (text.contains(QStringLiteral("\r\n")))
        m_lineEnd = QStringLiteral("\r\n");
    m_lines = text.split(QLatin1Char('\n'));
    if (m_lines.back().isEmpty()) // the end of the last line, not a line of its own
        m_lines.removeLast();
    for (QString &line : m_lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    return true;
}

IniFile::Location IniFile::locate(const QString &section, const QString &key) const
{
    Location l;
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString name = sectionOf(m_lines.at(i));
        if (name.isNull())
            continue;
        if (l.sectionLine >= 0) // the end of the section we were in
            break;
        if (name.compare(section, Qt::CaseInsensitive) == 0) {
            l.sectionLine = i;
            l.lastKeyLine = i;
        }
        continue;
    }
    if (l.sectionLine < 0)
        return l;
    for (int i = l.sectionLine + 1; i < m_lines.size() && sectionOf(m_lines.at(i)).isNull(); ++i) {
        const QString k = keyOf(m_lines.at(i));
        if (k.isNull())
            continue;
        l.lastKeyLine = i;
        if (l.keyLine < 0 && k.compare(key, Qt::CaseInsensitive) == 0)
            l.keyLine = i;
    }
    return l;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &fallback) const
{
    const Location l = locate(section, key);
    return l.keyLine < 0 ? fallback : valueOf(m_lines.at(l.keyLine));
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    return locate(section, key).keyLine >= 0;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    // A line break in a value would start a line of its own and could forge other keys.
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));

    const Location l = locate(section, key);
    if (l.keyLine >= 0) {
        const QString &old = m_lines.at(l.keyLine);
        m_lines[l.keyLine] = old.left(old.indexOf(QLatin1Char('='))).trimmed() + QLatin1Char('=') + clean;
    } else if (l.sectionLine >= 0) {
        m_lines.insert(l.lastKeyLine + 1, key + QLatin1Char('=') + clean);
    } else {
        if (!m_lines.isEmpty() && !m_lines.back().trimmed().isEmpty())
            m_lines << QString();
        m_lines << QLatin1Char('[') + section + QLatin1Char(']') << key + QLatin1Char('=') + clean;
    }
}

QByteArray IniFile::bytes() const
{
    return m_latin1 ? text().toLatin1() : text().toUtf8();
}

QString IniFile::text() const
{
    QString t;
    for (const QString &line : m_lines)
        t += line + m_lineEnd;
    return t;
}

bool IniFile::save()
{
    m_error.clear();
    const QString failure =
        QCoreApplication::translate("IniFile", "Unable to write to %1").arg(QDir::toNativeSeparators(m_fileName));
    if (m_unreadable) {
        m_error = failure;
        return false;
    }
    const QFileInfo info(m_fileName);
    if (!QDir().mkpath(info.absolutePath())) {
        m_error = failure;
        return false;
    }
    // A settings file kept as a link (into a folder of one's own settings, say) stays one: its target is replaced.
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : m_fileName;
    // Written beside the old file and renamed over it: a full disk or a killed program leaves the settings as they
    // were.
    if (!ReplacingFile::writeWhole(target, bytes()).isEmpty()) {
        m_error = failure;
        return false;
    }
    return true;
}

} // namespace quorra
