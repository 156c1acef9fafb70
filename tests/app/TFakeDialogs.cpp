// The scripted dialogs used by the main-window tests.
#include "TFakeDialogs.h"

QString TFakeDialogs::take(QStringList &answers)
{
    return answers.isEmpty() ? QString() : answers.takeFirst();
}

QStringList TFakeDialogs::errors() const
{
    QStringList result;
    for (const QString &entry : log)
        if (entry.startsWith(QLatin1String("Error|")))
            result << entry.mid(6);
    return result;
}

QString TFakeDialogs::openPicture()
{
    log << QStringLiteral("OpenPicture");
    return take(openPictureAnswers);
}

QString TFakeDialogs::openPuzzle()
{
    log << QStringLiteral("OpenPuzzle");
    return take(openPuzzleAnswers);
}

QString TFakeDialogs::savePuzzle()
{
    log << QStringLiteral("SavePuzzle");
    return take(savePuzzleAnswers);
}

QString TFakeDialogs::saveImage()
{
    log << QStringLiteral("SaveImage");
    return take(saveImageAnswers);
}

TConfirmAnswer TFakeDialogs::confirm(const QString &caption, const QString &text)
{
    log << QStringLiteral("Confirm|%1|%2").arg(caption, text);
    return confirmAnswers.isEmpty() ? TConfirmAnswer::Cancel : confirmAnswers.takeFirst();
}

void TFakeDialogs::message(const QString &caption, const QString &text, TMessageIcon icon)
{
    const char *iconName = icon == TMessageIcon::Stop ? "Stop" : icon == TMessageIcon::Warning ? "Warning" : "Information";
    log << QStringLiteral("Message|%1|%2|%3").arg(caption, text, QLatin1String(iconName));
}

void TFakeDialogs::error(const QString &text)
{
    log << QStringLiteral("Error|") + text;
}

void TFakeDialogs::showAbout()
{
    log << QStringLiteral("About");
}

void TFakeDialogs::showDemo(bool &showAtStart)
{
    ++demosShown;
    if (!demoAnswers.isEmpty())
        showAtStart = demoAnswers.takeFirst();
}
