// Where the program finds the files it ships beside itself (demo video, help), and the help command's work.
#include "ProgramResources.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>

namespace {

// Beside the program's own folder, where an installed program's shared files are.
const QString InstalledFolder = QStringLiteral("../share/quorra/");
// %1 is the help page's path.
const QString HelpNotOpenedText = QStringLiteral("No web browser could be started to show the help.\n"
                                                 "You can open the help file yourself:\n%1");

} // namespace

QString programResource(const QString &relative)
{
    const QString directory = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    QString beside = directory + relative;
    if (QFileInfo::exists(beside))
        return beside;
    QString installed = QFileInfo(directory + InstalledFolder + relative).absoluteFilePath();
    if (QFileInfo::exists(installed))
        return installed;
    return beside;
}

QUrl helpAddress()
{
    return QUrl::fromLocalFile(programResource(HelpPageResource));
}

bool openHelp()
{
    return QDesktopServices::openUrl(helpAddress());
}

QString helpNotOpenedMessage()
{
    return HelpNotOpenedText.arg(helpAddress().toLocalFile());
}
