// SPDX-License-Identifier: GPL-3.0-or-later
// Qt file dialogs with the program's titles and filters, and the message boxes of the main window.
#include "QtDialogs.h"

#include "AboutDialog.h"
#include "DemoWindow.h"
#include "PicturePreviewPane.h"
#include "ProgramInfo.h"
#include "SaveFileDialog.h"

#include "WindowTexts.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScopeGuard>
#include <QScreen>

namespace quorra {

namespace {

const QString PuzzleSuffix = QStringLiteral("nbq");
const QString JpegSuffix = QStringLiteral("jpg");
const QString WebPageSuffix = QStringLiteral("html");

// How each file dialog looks; Preview: the picture dialogs show the selected picture beside the file list. The
// title and the filter are English: they are translated when the dialog is made, after the translations are loaded.
struct FileDialogLayout {
    bool save;
    const char *title;
    const char *filter;
    QString defaultSuffix;
    bool preview;
};

// In the order of QtDialogs::FileChoice.
const FileDialogLayout FileDialogLayouts[] = {
    {false, WindowTexts::OpenPictureTitle, WindowTexts::PictureFilter, QString(), true},
    {false, WindowTexts::OpenPuzzleTitle, WindowTexts::PuzzleFilter, PuzzleSuffix, false},
    {true, WindowTexts::SavePuzzleTitle, WindowTexts::PuzzleFilter, PuzzleSuffix, false},
    {true, WindowTexts::SaveImageTitle, WindowTexts::JpegFilter, JpegSuffix, true},
    {true, WindowTexts::SaveWebPageTitle, WindowTexts::WebPageFilter, WebPageSuffix, false},
};

} // namespace

QtDialogs::QtDialogs(QWidget *owner) : m_owner(owner) {}

QtDialogs::~QtDialogs()
{
    // The dialogs are children of the owner when it still exists; otherwise they are ours to free.
    for (const QPointer<QFileDialog> &dialog : m_fileDialogs)
        if (dialog && !dialog->parent())
            delete dialog;
}

QStringList QtDialogs::qtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString &pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << pattern.trimmed();
            if (pattern.toUpper() != pattern)
                patterns << pattern.trimmed().toUpper();
        }
        result << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

QFileDialog *QtDialogs::fileDialog(FileChoice choice)
{
    // Each dialog is kept, so it opens again in the folder it was last used in.
    QPointer<QFileDialog> &dialog = m_fileDialogs[std::size_t(choice)];
    if (dialog)
        return dialog;
    const FileDialogLayout &layout = FileDialogLayouts[std::size_t(choice)];
    const QString title = WindowTexts::text(layout.title);
    dialog = layout.save ? new SaveFileDialog(m_owner, title) : new QFileDialog(m_owner, title);
    dialog->setAcceptMode(layout.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(layout.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setNameFilters(qtNameFilters(WindowTexts::text(layout.filter)));
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setDefaultSuffix(layout.defaultSuffix);
    if (layout.preview)
        PicturePreviewPane::addTo(dialog);
    return dialog;
}

void QtDialogs::fitToScreen(QWidget *dialog) const
{
    // A file dialog with the picture preview beside it is wider than a 1024 x 768 screen at its natural size; a
    // dialog larger than the screen hides its own buttons.
    const QScreen *screen = m_owner ? m_owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Room for the window manager's frame, which is not known before the dialog is shown.
    const QSize room = screen->availableGeometry().size() - QSize(16, 48);
    dialog->setMaximumSize(room.expandedTo(dialog->minimumSize()));
    dialog->resize(dialog->size().boundedTo(room).expandedTo(dialog->minimumSizeHint().boundedTo(room)));
}

QString QtDialogs::run(FileChoice choice)
{
    // Held weakly: a dialog whose owner goes while it is open goes with it.
    const QPointer<QFileDialog> dialog = fileDialog(choice);
    beforeModal();
    // The dialog is kept for next time, hidden. Its file name completion may still show its list when Return
    // chose a file, and that list holds the keyboard; and some window managers leave the keyboard with nobody once
    // the dialog is gone. Either way the window's keys (menus, play) would do nothing until a click, so the list
    // is closed and the window asks for the keyboard back.
    const auto giveBackFocus = qScopeGuard([this, &dialog] {
        if (dialog)
            for (const QCompleter *completer : dialog->findChildren<QCompleter *>())
                if (completer->popup())
                    completer->popup()->hide();
        if (m_owner)
            m_owner->activateWindow();
    });
    fitToScreen(dialog);
    if (dialog->exec() != QDialog::Accepted || !dialog)
        return QString();
    if (const auto *saveDialog = qobject_cast<SaveFileDialog *>(dialog.data()))
        return saveDialog->chosenFile();
    return dialog->selectedFiles().value(0);
}

QString QtDialogs::openPicture()
{
    return run(FileChoice::OpenPicture);
}

QString QtDialogs::openPuzzle()
{
    return run(FileChoice::OpenPuzzle);
}

QString QtDialogs::savePuzzle()
{
    return run(FileChoice::SavePuzzle);
}

QString QtDialogs::saveImage()
{
    return run(FileChoice::SaveImage);
}

QString QtDialogs::saveWebPage()
{
    return run(FileChoice::SaveWebPage);
}

ConfirmAnswer QtDialogs::confirm(const QString &caption, const QString &text)
{
    beforeModal();
    const auto answer = QMessageBox::question(
        m_owner, caption, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        return ConfirmAnswer::Yes;
    if (answer == QMessageBox::No)
        return ConfirmAnswer::No;
    return ConfirmAnswer::Cancel;
}

void QtDialogs::message(const QString &caption, const QString &text, MessageIcon icon)
{
    const QMessageBox::Icon boxIcon = icon == MessageIcon::Stop      ? QMessageBox::Critical
                                      : icon == MessageIcon::Warning ? QMessageBox::Warning
                                                                     : QMessageBox::Information;
    QMessageBox box(boxIcon, caption, text, QMessageBox::Ok, m_owner);
    beforeModal();
    box.exec();
}

void QtDialogs::error(const QString &text)
{
    QMessageBox box(QMessageBox::Critical, QuorraProgramName, text, QMessageBox::Ok, m_owner);
    beforeModal();
    box.exec();
}

void QtDialogs::showAbout()
{
    beforeModal();
    if (m_about)
        m_about->exec();
}

bool QtDialogs::showDemo(bool showAtStart)
{
    beforeModal();
    // Made for each showing and gone afterwards, so its player lets go of the video.
    DemoWindow demo(*this, DemoWindow::defaultVideoPath(), m_owner);
    return demo.showDemo(showAtStart);
}

void QtDialogs::beforeModal()
{
    if (m_beforeModal)
        m_beforeModal();
}

} // namespace quorra
