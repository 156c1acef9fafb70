// SPDX-License-Identifier: GPL-3.0-or-later
// The modal questions, notices and file dialogs of the main window, behind one interface that tests replace.
#pragma once

#include <QString>

namespace quorra {

enum class ConfirmAnswer { Yes, No, Cancel };
enum class MessageIcon { Information, Warning, Stop };

class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // Each file dialog returns the chosen path, or an empty text when the user cancels.
    virtual QString openPicture() = 0;
    virtual QString openPuzzle() = 0;
    virtual QString savePuzzle() = 0;
    virtual QString saveImage() = 0;
    virtual QString saveWebPage() = 0;

    // Yes, No and Cancel with a question icon; closing the box counts as Cancel.
    virtual ConfirmAnswer confirm(const QString &caption, const QString &text) = 0;
    // A notice with an OK button.
    virtual void message(const QString &caption, const QString &text, MessageIcon icon) = 0;
    // The standard report of an error that ended a command.
    virtual void error(const QString &text) = 0;
    // The about box, modally.
    virtual void showAbout() = 0;
    // The demo window, modally, its check box starting from ShowAtStart. Returns the choice to keep: the box as
    // the window was closed with OK, else ShowAtStart unchanged.
    virtual bool showDemo(bool showAtStart) = 0;
};

} // namespace quorra
