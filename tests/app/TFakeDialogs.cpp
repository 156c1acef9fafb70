// The scripted dialogs used by the main-window tests.
#include "TFakeDialogs.h"

QString TFakeDialogs::Take(QStringList &Answers)
{
    return Answers.isEmpty() ? QString() : Answers.takeFirst();
}

QStringList TFakeDialogs::Errors() const
{
    QStringList Result;
    for (const QString &Entry : Log)
        if (Entry.startsWith(QLatin1String("Error|")))
            Result << Entry.mid(6);
    return Result;
}

QString TFakeDialogs::OpenPicture()
{
    Log << QStringLiteral("OpenPicture");
    return Take(OpenPictureAnswers);
}

QString TFakeDialogs::OpenPuzzle()
{
    Log << QStringLiteral("OpenPuzzle");
    return Take(OpenPuzzleAnswers);
}

QString TFakeDialogs::SavePuzzle()
{
    Log << QStringLiteral("SavePuzzle");
    return Take(SavePuzzleAnswers);
}

QString TFakeDialogs::SaveImage()
{
    Log << QStringLiteral("SaveImage");
    return Take(SaveImageAnswers);
}

TConfirmAnswer TFakeDialogs::Confirm(const QString &Caption, const QString &Text)
{
    Log << QStringLiteral("Confirm|%1|%2").arg(Caption, Text);
    return ConfirmAnswers.isEmpty() ? TConfirmAnswer::Cancel : ConfirmAnswers.takeFirst();
}

void TFakeDialogs::Message(const QString &Caption, const QString &Text, TMessageIcon Icon)
{
    const char *IconName = Icon == TMessageIcon::Stop ? "Stop" : Icon == TMessageIcon::Warning ? "Warning" : "Information";
    Log << QStringLiteral("Message|%1|%2|%3").arg(Caption, Text, QLatin1String(IconName));
}

void TFakeDialogs::Error(const QString &Text)
{
    Log << QStringLiteral("Error|") + Text;
}

void TFakeDialogs::ShowAbout()
{
    Log << QStringLiteral("About");
}

void TFakeDialogs::ShowDemo(bool &ShowAtStart)
{
    ++DemosShown;
    if (!DemoAnswers.isEmpty())
        ShowAtStart = DemoAnswers.takeFirst();
}
