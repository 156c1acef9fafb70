// Where the program finds the files it ships beside itself (demo video, help).
#pragma once

#include <QString>
#include <QUrl>

// The shipped files' places among the program's files: part of the install layout.
inline const QString HelpPageResource = QStringLiteral("Nimbrel.html");
inline const QString DemoVideoResource = QStringLiteral("Res/Example.avi");
// The game's sounds are in this folder, each under its own file name.
inline const QString SoundsFolderResource = QStringLiteral("Sounds/");

// Relative (with "/" separators) under the program's folder when it is there (a build tree), else under
// ../share/quorra/ beside it (an installed program). When neither holds the file, the path beside the program
// is returned, so that a message about it names the place where it was looked for first.
QString programResource(const QString &relative);

// The help page, "Nimbrel.html", as the address handed to the desktop.
QUrl helpAddress();

// Said when the help page could not be opened; it names the help file, so that it can be opened by hand.
QString helpNotOpenedMessage();
