// SPDX-License-Identifier: GPL-3.0-or-later
// The scripted dialogs used by the main-window tests.
#include "FakeDialogs.h"

namespace quorra {

QString FakeDialogs::take(QStringList &answers)
{
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

QStringList FakeDialogs::errors() const
{
    QStringList result;
    for (const QString &entry : log)
        if (entry.startsWith(QLatin1String("Error|")))
            result << entry.mid(6);
    return result;
}

QString FakeDialogs::openPicture()
{
    log << QStringLiteral("OpenPicture");
    return take(openPictureAnswers);
}

QString FakeDialogs::openPuzzle()
{
    log << QStringLiteral("OpenPuzzle");
    return take(openPuzzleAnswers);
}

QString FakeDialogs::savePuzzle()
{
    log << QStringLiteral("SavePuzzle");
    return take(savePuzzleAnswers);
}

QString FakeDialogs::saveImage()
{
    log << QStringLiteral("SaveImage");
    return take(saveImageAnswers);
}

QString FakeDialogs::saveWebPage()
{
    log << QStringLiteral("SaveWebPage");
    return take(saveWebPageAnswers);
}

ConfirmAnswer FakeDialogs::confirm(const QString &caption, const QString &text)
{
    log << QStringLiteral("Confirm|%1|%2").arg(caption, text);
    return confirmAnswers.isEmpty() ? ConfirmAnswer::Cancel : confirmAnswers.takeFirst();
}

void FakeDialogs::message(const QString &caption, const QString &text, MessageIcon icon)
{
    const char *iconName = icon == MessageIcon::Stop      ? "Stop"
                           : icon == MessageIcon::Warning ? "Warning"
                                                          : "Information";
    log << QStringLiteral("Message|%1|%2|%3").arg(caption, text, QLatin1String(iconName));
}

void FakeDialogs::error(const QString &text)
{
    log << QStringLiteral("Error|") + text;
}

void FakeDialogs::showAbout()
{
    log << QStringLiteral("About");
}

bool FakeDialogs::showDemo(bool showAtStart)
{
    ++demosShown;
    return demoAnswers.isEmpty() ? showAtStart : demoAnswers.takeFirst();
}

} // namespace quorra
