// SPDX-License-Identifier: GPL-3.0-or-later
// The program's texts, and Qt's own, in the language the desktop asks for.
#include "ProgramTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quorra {

namespace {

// Marks our translators among the application's children, so that a later call replaces them.
const char *const InstalledByUs = "quorraTranslator";

// The English texts are the sources themselves: there is no English translation to load.
bool isEnglish(const QString &language)
{
    return language == QLatin1String("en") || language == QLatin1String("C");
}

} // namespace

QString installTranslations(const QStringList &languages)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application)
        return {};
    for (QTranslator *old : application->findChildren<QTranslator *>(QString(), Qt::FindDirectChildrenOnly))
        if (old->property(InstalledByUs).toBool()) {
            QCoreApplication::removeTranslator(old);
            delete old;
        }

    auto install = [application](const QString &name, const QString &folder) {
        auto *translator = new QTranslator(application);
        translator->setProperty(InstalledByUs, true);
        if (translator->load(name, folder) && QCoreApplication::installTranslator(translator))
            return true;
        delete translator;
        return false;
    };
    // QTranslator::load(QLocale) walks the list too, but skips English, for which no file exists, and so would
    // pick a language the person put after it.
    for (const QString &entry : languages) {
        QString language = QLocale(entry).name().section(QLatin1Char('_'), 0, 0);
        if (isEnglish(language))
            return {};
        if (install(QStringLiteral("quorra_") + language, QStringLiteral(":/i18n"))) {
            // Qt's standard buttons (Yes, No, Cancel) and file dialogs; a system without them shows Qt's English.
            install(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
            return language;
        }
    }
    return {};
}

} // namespace quorra
