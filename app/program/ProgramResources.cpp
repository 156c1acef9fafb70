// Where the program finds the files it ships beside itself (demo video, help).
#include "ProgramResources.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

// Beside the program's own folder, where an installed program's shared files are.
const QString InstalledFolder = QStringLiteral("../share/quorra/");

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

QString helpNotOpenedMessage()
{
    // %1 is the help page's path.
    return QCoreApplication::translate("ProgramResources", "No web browser could be started to show the help.\n"
                                                           "You can open the help file yourself:\n%1")
        .arg(helpAddress().toLocalFile());
}
