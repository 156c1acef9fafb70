// SPDX-License-Identifier: GPL-3.0-or-later
// Dialogs that answer from a script and record what was asked, so no test ever waits on a modal window.
#pragma once

#include "Dialogs.h"

#include <QList>
#include <QStringList>
#include <functional>

namespace quorra {

class FakeDialogs : public Dialogs
{
public:
    // Answers are taken from the front; an empty queue answers like a cancelled dialog.
    QStringList openPictureAnswers;
    QStringList openPuzzleAnswers;
    QStringList savePuzzleAnswers;
    QStringList saveImageAnswers;
    QStringList saveWebPageAnswers;
    QList<ConfirmAnswer> confirmAnswers;

    // One entry per dialog shown: "OpenPicture", "Confirm|Confirm|Save current puzzle?",
    // "Message|Information|text|Stop", "Error|text", "About".
    QStringList log;
    QStringList errors() const;

    QString openPicture() override;
    QString openPuzzle() override;
    QString savePuzzle() override;
    QString saveImage() override;
    QString saveWebPage() override;
    ConfirmAnswer confirm(const QString &caption, const QString &text) override;
    void message(const QString &caption, const QString &text, MessageIcon icon) override;
    void error(const QString &text) override;
    void showAbout() override;
    // Counted apart from Log, since a fresh window opens the demo by itself. Each showing takes the next answer
    // (the check box as closed with OK); with none left it is closed some other way and changes nothing.
    bool showDemo(bool showAtStart) override;
    int demosShown = 0;
    QList<bool> demoAnswers;

private:
    static QString take(QStringList &answers);
};

} // namespace quorra
