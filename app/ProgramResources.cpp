// Where the program finds the files it ships beside itself (demo video, help), and the help command's work.
#include "ProgramResources.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>

QString ProgramResource(const QString &Relative)
{
    const QString Directory = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const QString Beside = Directory + Relative;
    if (QFileInfo::exists(Beside))
        return Beside;
    const QString Installed =
        QFileInfo(Directory + QStringLiteral("../share/quorra/") + Relative).absoluteFilePath();
    if (QFileInfo::exists(Installed))
        return Installed;
    return Beside;
}

QUrl HelpAddress()
{
    return QUrl::fromLocalFile(ProgramResource(QStringLiteral("Nimbrel.html")));
}

void OpenHelp()
{
    QDesktopServices::openUrl(HelpAddress());
}
