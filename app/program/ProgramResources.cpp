// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program finds the files it ships beside itself (demo video, help).
#include "ProgramResources.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>

namespace quorra {

namespace {

// Beside the program's own folder, where an installed program's shared files are.
const QString InstalledFolder = QStringLiteral("../share/quorra/");
// The languages the help page is translated into, each shipped as "Nimbrel.<code>.html" beside the English one.
const QStringList TranslatedHelpLanguages = {QStringLiteral("de"), QStringLiteral("fr"), QStringLiteral("es")};
const QString EnglishLanguage = QStringLiteral("en");

// "de-DE", "de_AT" and "de" all ask for German.
QString languageCode(const QString &uiLanguage)
{
    return uiLanguage.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
}

QString translatedHelpPage(const QString &language)
{
    QString page = HelpPageResource;
    return page.insert(page.lastIndexOf(QLatin1Char('.')), QLatin1Char('.') + language);
}

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

QString helpPageResource(const QStringList &uiLanguages, const std::function<bool(const QString &)> &exists)
{
    for (const QString &uiLanguage : uiLanguages) {
        const QString language = languageCode(uiLanguage);
        // Someone who puts English before German reads the English page.
        if (language == EnglishLanguage)
            break;
        if (!TranslatedHelpLanguages.contains(language))
            continue;
        QString page = translatedHelpPage(language);
        if (exists(page))
            return page;
    }
    return HelpPageResource;
}

QUrl helpAddress()
{
    const QString page = helpPageResource(
        QLocale().uiLanguages(), [](const QString &relative) { return QFileInfo::exists(programResource(relative)); });
    return QUrl::fromLocalFile(programResource(page));
}

QString helpNotOpenedMessage(const QUrl &page)
{
    // %1 is the help page's path.
    return QCoreApplication::translate("ProgramResources", "No web browser could be started to show the help.\n"
                                                           "You can open the help file yourself:\n%1")
        .arg(page.toLocalFile());
}

} // namespace quorra
