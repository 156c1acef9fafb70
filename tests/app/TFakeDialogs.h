// Dialogs that answer from a script and record what was asked, so no test ever waits on a modal window.
#pragma once

#include "TDialogs.h"

#include <QList>
#include <QStringList>
#include <functional>

class TFakeDialogs : public TDialogs
{
public:
    // Answers are taken from the front; an empty queue answers like a cancelled dialog.
    QStringList OpenPictureAnswers;
    QStringList OpenPuzzleAnswers;
    QStringList SavePuzzleAnswers;
    QStringList SaveImageAnswers;
    QList<TConfirmAnswer> ConfirmAnswers;

    // One entry per dialog shown: "OpenPicture", "Confirm|Confirm|Save current puzzle?",
    // "Message|Information|text|Stop", "Error|text", "About".
    QStringList Log;
    QStringList Errors() const;

    QString OpenPicture() override;
    QString OpenPuzzle() override;
    QString SavePuzzle() override;
    QString SaveImage() override;
    TConfirmAnswer Confirm(const QString &Caption, const QString &Text) override;
    void Message(const QString &Caption, const QString &Text, TMessageIcon Icon) override;
    void Error(const QString &Text) override;
    void ShowAbout() override;
    // Counted apart from Log, since a fresh window opens the demo by itself. Each showing takes the next answer
    // (the check box as closed with OK); with none left it is closed some other way and changes nothing.
    void ShowDemo(bool &ShowAtStart) override;
    int DemosShown = 0;
    QList<bool> DemoAnswers;

private:
    static QString Take(QStringList &Answers);
};
