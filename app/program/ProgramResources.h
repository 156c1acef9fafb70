// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program finds the files it ships beside itself (demo video, help).
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace quorra {

// The shipped files' places among the program's files: part of the install layout.
inline const QString HelpPageResource = QStringLiteral("Nimbrel.html");
inline const QString DemoVideoResource = QStringLiteral("Res/Example.avi");
// The game's sounds are in this folder, each under its own file name.
inline const QString SoundsFolderResource = QStringLiteral("Sounds/");

// Relative (with "/" separators) under the program's folder when it is there (a build tree), else under
// ../share/quorra/ beside it (an installed program). When neither holds the file, the path beside the program
// is returned, so that a message about it names the place where it was looked for first.
QString programResource(const QString &relative);

// The help page for a desktop whose languages are uiLanguages (as QLocale::uiLanguages gives them, best first):
// the page of the first language that has one shipped (exists says which are), the English page when none has.
// A language whose page is missing gives way to the next one the person reads rather than straight to English.
QString helpPageResource(const QStringList &uiLanguages, const std::function<bool(const QString &)> &exists);

// The help page in the desktop's language, or "Nimbrel.html", as the address handed to the desktop.
QUrl helpAddress();

// Said when the help page could not be opened; it names the help file tried, so that it can be opened by hand.
QString helpNotOpenedMessage(const QUrl &page);

} // namespace quorra
