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

bool OpenHelp()
{
    return QDesktopServices::openUrl(HelpAddress());
}

QString HelpNotOpenedMessage()
{
    return QStringLiteral("No web browser could be started to show the help.\n"
                          "You can open the help file yourself:\n%1")
        .arg(HelpAddress().toLocalFile());
}
