// SPDX-License-Identifier: GPL-3.0-or-later
// Save as Web Page: one HTML file that plays a puzzle in any browser, the player's page with the puzzle inside.
#include "WebPageExport.h"

#include "PuzzleFile.h"
#include "RegularFile.h"
#include "ReplacingFile.h"
#include "UserError.h"
#include "WindowTexts.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace quorra {

namespace {

// The template's one place for the puzzle, and its title as the player's build leaves it.
constexpr char PuzzleMark[] = "@PUZZLE@";
constexpr char PlainTitle[] = "<title>Quorra</title>";

QByteArray playerTemplate()
{
    QFile page(QStringLiteral(":/web/player-template.html"));
    if (!page.open(QIODevice::ReadOnly))
        throw UserError(
            QCoreApplication::translate("WebPageExport", "The web page player is missing from this build of Quorra."));
    return page.readAll();
}

} // namespace

QByteArray WebPageExport::page(const QByteArray &puzzle, const QString &title)
{
    QByteArray html = playerTemplate();
    // The page reads the puzzle's name from its title; the title is text inside HTML.
    html.replace(PlainTitle, "<title>Quorra: " + title.toHtmlEscaped().toUtf8() + "</title>");
    // Base64 holds no character that could end the element it sits in.
    return html.replace(PuzzleMark, puzzle.toBase64());
}

void WebPageExport::write(const QString &puzzlePath, const QString &pagePath)
{
    const QString fullPath = QFileInfo(puzzlePath).absoluteFilePath();
    QFile file;
    if (const QString reason = openRegularFile(file, puzzlePath); !reason.isEmpty())
        throw UserError(
            QCoreApplication::translate("WebPageExport", "Cannot open file \"%1\". %2").arg(fullPath, reason));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw UserError(QCoreApplication::translate("WebPageExport", "Cannot open file \"%1\". %2")
                            .arg(fullPath, file.errorString()));

    // Read as the program opens it (the picture decoded at its smallest), so that a friend is never sent a page
    // that can only say the file is damaged.
    QBuffer in;
    in.setData(bytes);
    in.open(QIODevice::ReadOnly);
    const auto read = PuzzleFile::read(in, fullPath, QSize(1, 1));
    if (const auto *tooNew = std::get_if<PuzzleFile::TooNew>(&read))
        throw UserError(WindowTexts::text(WindowTexts::PuzzleTooNew).arg(tooNew->version));

    const QByteArray html = page(bytes, QFileInfo(puzzlePath).completeBaseName());
    const QString failure = ReplacingFile::writeWhole(pagePath, html);
    if (!failure.isEmpty())
        throw UserError(QCoreApplication::translate("WebPageExport", "Cannot create file \"%1\". %2")
                            .arg(QFileInfo(pagePath).absoluteFilePath(), failure));
}

} // namespace quorra
