// The modal questions, notices and file dialogs of the main window, behind one interface that tests replace.
#pragma once

#include <QString>

enum class TConfirmAnswer { Yes, No, Cancel };
enum class TMessageIcon { Information, Warning, Stop };

class TDialogs
{
public:
    virtual ~TDialogs() = default;

    // Each file dialog returns the chosen path, or an empty text when the user cancels.
    virtual QString OpenPicture() = 0;
    virtual QString OpenPuzzle() = 0;
    virtual QString SavePuzzle() = 0;
    virtual QString SaveImage() = 0;

    // Yes, No and Cancel with a question icon; closing the box counts as Cancel.
    virtual TConfirmAnswer Confirm(const QString &Caption, const QString &Text) = 0;
    // A notice with an OK button.
    virtual void Message(const QString &Caption, const QString &Text, TMessageIcon Icon) = 0;
    // The standard report of an error that ended a command.
    virtual void Error(const QString &Text) = 0;
    // The about box, modally.
    virtual void ShowAbout() = 0;
    // The demo window, modally: its check box starts from ShowAtStart and is written back only on OK.
    virtual void ShowDemo(bool &ShowAtStart) = 0;
};
