// SPDX-License-Identifier: GPL-3.0-or-later
// The program's texts, and Qt's own, in the language the desktop asks for.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

namespace quorra {

// Installs on the running application the program's translation for the first of the languages (most preferred
// first, as "de-DE" or "de") that is English or has one (so a person who puts English before German gets English), with
// Qt's own translation of its standard buttons and dialogs for that language when the system has it. The translators
// installed by an earlier call are removed first. Returns the language loaded ("de", "fr", ...), or an empty string for
// English.
QString installTranslations(const QStringList &languages = QLocale().uiLanguages());

} // namespace quorra
