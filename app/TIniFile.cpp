// A small INI reader and writer with private-profile behaviour: keys stay in their order and spelling.
#include "TIniFile.h"

#include "RegularFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// The section named on a header line, or a null string when the line is no header.
QString SectionOf(const QString &Line)
{
    QString T = Line.trimmed();
    if (T.startsWith(QChar(0xFEFF))) // a byte-order mark before the first header
        T = T.mid(1).trimmed();
    if (!T.startsWith(QLatin1Char('[')))
        return QString();
    const qsizetype Close = T.indexOf(QLatin1Char(']'));
    const QString Name = (Close < 0 ? T.mid(1) : T.mid(1, Close - 1)).trimmed();
    return Name.isNull() ? QStringLiteral("") : Name;
}

bool IsComment(const QString &Line)
{
    const QString T = Line.trimmed();
    return T.startsWith(QLatin1Char(';')) || T.startsWith(QLatin1Char('#'));
}

// The key of a "key=value" line, or a null string for anything else.
QString KeyOf(const QString &Line)
{
    if (IsComment(Line))
        return QString();
    const qsizetype Eq = Line.indexOf(QLatin1Char('='));
    if (Eq < 0)
        return QString();
    return Line.left(Eq).trimmed();
}

QString ValueOf(const QString &Line)
{
    QString V = Line.mid(Line.indexOf(QLatin1Char('=')) + 1).trimmed();
    if (V.size() >= 2 && (V.front() == QLatin1Char('"') || V.front() == QLatin1Char('\'')) && V.back() == V.front())
        V = V.mid(1, V.size() - 2);
    return V;
}

} // namespace

TIniFile::TIniFile(const QString &FileName)
    : FFileName(FileName)
{
}

bool TIniFile::Load()
{
    FLines.clear();
    FLineEnd = QStringLiteral("\n");
    FUnreadable = false;
    if (!QFile::exists(FFileName))
        return true;
    // Read no more than the limit even when the file grows while it is read.
    QFile File;
    QByteArray Bytes;
    if (OpenRegularFile(File, FFileName).isEmpty() && File.size() <= MaxFileSize)
        Bytes = File.read(MaxFileSize + 1);
    if (!File.isOpen() || File.error() != QFileDevice::NoError || File.size() > MaxFileSize
        || Bytes.size() > MaxFileSize) {
        FUnreadable = true;
        return false;
    }
    const QString Text = QString::fromUtf8(Bytes);
    if (Text.isEmpty())
        return true;
    if (Text.contains(QStringLiteral("\r\n")))
        FLineEnd = QStringLiteral("\r\n");
    FLines = Text.split(QLatin1Char('\n'));
    if (FLines.back().isEmpty()) // the end of the last line, not a line of its own
        FLines.removeLast();
    for (QString &Line : FLines)
        if (Line.endsWith(QLatin1Char('\r')))
            Line.chop(1);
    return true;
}

TIniFile::TLocation TIniFile::Locate(const QString &Section, const QString &Key) const
{
    TLocation L;
    for (int i = 0; i < FLines.size(); ++i) {
        const QString Name = SectionOf(FLines.at(i));
        if (Name.isNull())
            continue;
        if (L.SectionLine >= 0) // the end of the section we were in
            break;
        if (Name.compare(Section, Qt::CaseInsensitive) == 0) {
            L.SectionLine = i;
            L.LastKeyLine = i;
        }
        continue;
    }
    if (L.SectionLine < 0)
        return L;
    for (int i = L.SectionLine + 1; i < FLines.size() && SectionOf(FLines.at(i)).isNull(); ++i) {
        const QString K = KeyOf(FLines.at(i));
        if (K.isNull())
            continue;
        L.LastKeyLine = i;
        if (L.KeyLine < 0 && K.compare(Key, Qt::CaseInsensitive) == 0)
            L.KeyLine = i;
    }
    return L;
}

QString TIniFile::ReadString(const QString &Section, const QString &Key, const QString &Default) const
{
    const TLocation L = Locate(Section, Key);
    return L.KeyLine < 0 ? Default : ValueOf(FLines.at(L.KeyLine));
}

bool TIniFile::HasKey(const QString &Section, const QString &Key) const
{
    return Locate(Section, Key).KeyLine >= 0;
}

void TIniFile::WriteString(const QString &Section, const QString &Key, const QString &Value)
{
    // A line break in a value would start a line of its own and could forge other keys.
    QString Clean = Value;
    Clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));

    const TLocation L = Locate(Section, Key);
    if (L.KeyLine >= 0) {
        const QString &Old = FLines.at(L.KeyLine);
        FLines[L.KeyLine] = Old.left(Old.indexOf(QLatin1Char('='))).trimmed() + QLatin1Char('=') + Clean;
    } else if (L.SectionLine >= 0) {
        FLines.insert(L.LastKeyLine + 1, Key + QLatin1Char('=') + Clean);
    } else {
        if (!FLines.isEmpty() && !FLines.back().trimmed().isEmpty())
            FLines << QString();
        FLines << QLatin1Char('[') + Section + QLatin1Char(']') << Key + QLatin1Char('=') + Clean;
    }
}

QString TIniFile::Text() const
{
    QString T;
    for (const QString &Line : FLines)
        T += Line + FLineEnd;
    return T;
}

bool TIniFile::Save()
{
    FError.clear();
    const QString Failure = QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(FFileName));
    if (FUnreadable) {
        FError = Failure;
        return false;
    }
    const QFileInfo Info(FFileName);
    if (!QDir().mkpath(Info.absolutePath())) {
        FError = Failure;
        return false;
    }
    // Unbuffered, so that the write reports at once how much really reached the file: with a write buffer, a
    // flush that the disk cuts short goes unnoticed and QSaveFile commits the truncated file (Qt 6.4).
    QSaveFile File(FFileName);
    if (!File.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        FError = Failure;
        return false;
    }
    const QByteArray Bytes = Text().toUtf8();
    if (File.write(Bytes) != Bytes.size()) {
        File.cancelWriting();
        FError = Failure;
        return false;
    }
    if (!File.commit()) {
        FError = Failure;
        return false;
    }
    return true;
}
