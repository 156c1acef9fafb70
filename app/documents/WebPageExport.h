// SPDX-License-Identifier: GPL-3.0-or-later
// Save as Web Page: one HTML file that plays a puzzle in any browser, the player's page with the puzzle inside.
#pragma once

#include <QByteArray>
#include <QString>

namespace quorra {

class WebPageExport
{
public:
    // Writes at PagePath the page that plays the puzzle file at PuzzlePath. A file the page could not play (no
    // puzzle, damaged, too new) is refused with the message opening it gives, as a UserError; so is a page that
    // cannot be written, which leaves whatever was at PagePath as it was.
    static void write(const QString &puzzlePath, const QString &pagePath);
    // The page for a puzzle file's whole bytes, titled by the puzzle's name.
    static QByteArray page(const QByteArray &puzzle, const QString &title);
};

} // namespace quorra
