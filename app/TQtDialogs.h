// The dialogs of the main window as real Qt file dialogs and message boxes.
#pragma once

#include "TAboutForm.h"
#include "TDialogs.h"

#include <QFileDialog>
#include <QPointer>
#include <QStringList>
#include <functional>

class QWidget;

class TQtDialogs : public TDialogs
{
public:
    // Owner parents every dialog (it may be set later, but before the first dialog is shown).
    explicit TQtDialogs(QWidget *Owner = nullptr);
    ~TQtDialogs() override;

    void SetOwner(QWidget *Owner) { FOwner = Owner; }
    void SetAboutForm(TAboutForm *About) { FAbout = About; }
    // Runs right before any dialog or message box opens (the owner frees a confined pointer there).
    void SetBeforeModal(std::function<void()> Hook) { FBeforeModal = std::move(Hook); }

    QString OpenPicture() override;
    QString OpenPuzzle() override;
    QString SavePuzzle() override;
    QString SaveImage() override;
    TConfirmAnswer Confirm(const QString &Caption, const QString &Text) override;
    void Message(const QString &Caption, const QString &Text, TMessageIcon Icon) override;
    void Error(const QString &Text) override;
    void ShowAbout() override;
    void ShowDemo(bool &ShowAtStart) override;

    // The program's filters are written as "description|patterns|description|patterns", patterns joined by
    // ";". Qt wants "description (patterns)" entries with the patterns apart; this keeps each description as
    // written and appends the patterns, in both letter cases, for Qt to read.
    static QStringList QtNameFilters(const QString &Filter);

private:
    void BeforeModal();

    // Preview: the picture dialogs show the selected picture beside the file list.
    QString Run(QPointer<QFileDialog> &Dialog, bool Save, const QString &Title, const QString &Filter,
                const QString &DefaultSuffix, bool Preview = false);

    QPointer<QWidget> FOwner;
    QPointer<TAboutForm> FAbout;
    std::function<void()> FBeforeModal;
    QPointer<QFileDialog> FOpenPictureDialog;
    QPointer<QFileDialog> FOpenPuzzleDialog;
    QPointer<QFileDialog> FSavePuzzleDialog;
    QPointer<QFileDialog> FSaveImageDialog;
};
