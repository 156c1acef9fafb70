// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs of the main window as real Qt file dialogs and message boxes.
#pragma once

#include "AboutDialog.h"
#include "Dialogs.h"

#include <QFileDialog>
#include <QPointer>
#include <QStringList>

#include <array>
#include <functional>

class QWidget;

namespace quorra {

class QtDialogs : public Dialogs
{
public:
    // Owner parents every dialog (it may be set later, but before the first dialog is shown).
    explicit QtDialogs(QWidget *owner = nullptr);
    ~QtDialogs() override;

    void setOwner(QWidget *owner) { m_owner = owner; }
    void setAboutDialog(AboutDialog *about) { m_about = about; }
    // Runs right before any dialog or message box opens (the owner frees a confined pointer there).
    void setBeforeModal(std::function<void()> hook) { m_beforeModal = std::move(hook); }

    QString openPicture() override;
    QString openPuzzle() override;
    QString savePuzzle() override;
    QString saveImage() override;
    QString saveWebPage() override;
    ConfirmAnswer confirm(const QString &caption, const QString &text) override;
    void message(const QString &caption, const QString &text, MessageIcon icon) override;
    void error(const QString &text) override;
    void showAbout() override;
    bool showDemo(bool showAtStart) override;

    // The program's filters are written as "description|patterns|description|patterns", patterns joined by
    // ";". Qt wants "description (patterns)" entries with the patterns apart; this keeps each description as
    // written and appends the patterns, in both letter cases, for Qt to read.
    static QStringList qtNameFilters(const QString &filter);

private:
    // The file dialogs, each made at its first use and kept.
    enum class FileChoice { OpenPicture, OpenPuzzle, SavePuzzle, SaveImage, SaveWebPage, Count };

    void beforeModal();
    // Shows the dialog of Choice; the chosen path, or an empty text when cancelled.
    QString run(FileChoice choice);
    QFileDialog *fileDialog(FileChoice choice);
    // Keeps Dialog within the available area of the owner's screen.
    void fitToScreen(QWidget *dialog) const;

    QPointer<QWidget> m_owner;
    QPointer<AboutDialog> m_about;
    std::function<void()> m_beforeModal;
    std::array<QPointer<QFileDialog>, std::size_t(FileChoice::Count)> m_fileDialogs;
};

} // namespace quorra
