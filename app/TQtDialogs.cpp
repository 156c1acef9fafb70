// Qt file dialogs with the program's titles and filters, and the message boxes of the main window.
#include "TQtDialogs.h"

#include "PicturePreviewPane.h"
#include "ProgramInfo.h"
#include "TAboutForm.h"
#include "TRulesForm.h"
#include "TSaveFileDialog.h"

#include <QFileDialog>
#include <QMessageBox>

namespace {

const QString PictureFilter = QStringLiteral(
    "All (*.gif;*.jpg;*.bmp)|*.gif;*.jpg;*.bmp|CompuServe GIF Image (*.gif)|*.gif|JPEG Image File (*.jpg)|*.jpg|"
    "Bitmaps (*.bmp)|*.bmp");
const QString PuzzleFilter = QStringLiteral("Nimbrel (*.nbq)|*.nbq");
const QString JpegFilter = QStringLiteral("JPEG Image File (*.jpg)|*.jpg");

} // namespace

TQtDialogs::TQtDialogs(QWidget *Owner) : FOwner(Owner) {}

TQtDialogs::~TQtDialogs()
{
    // The dialogs are children of the owner when it still exists; otherwise they are ours to free.
    for (QFileDialog *Dialog : {FOpenPictureDialog.data(), FOpenPuzzleDialog.data(), FSavePuzzleDialog.data(),
                                FSaveImageDialog.data()})
        if (Dialog && !Dialog->parent())
            delete Dialog;
}

QStringList TQtDialogs::QtNameFilters(const QString &Filter)
{
    const QStringList Parts = Filter.split(QLatin1Char('|'));
    QStringList Result;
    for (qsizetype I = 0; I + 1 < Parts.size(); I += 2) {
        QStringList Patterns;
        for (const QString &Pattern : Parts[I + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            Patterns << Pattern.trimmed();
            if (Pattern.toUpper() != Pattern)
                Patterns << Pattern.trimmed().toUpper();
        }
        Result << Parts[I] + QStringLiteral(" (") + Patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return Result;
}

QString TQtDialogs::Run(QPointer<QFileDialog> &Dialog, bool Save, const QString &Title, const QString &Filter,
                        const QString &DefaultSuffix, bool Preview)
{
    // Each dialog is kept, so it opens again in the folder it was last used in.
    if (!Dialog) {
        Dialog = Save ? new TSaveFileDialog(FOwner, Title) : new QFileDialog(FOwner, Title);
        Dialog->setAcceptMode(Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        Dialog->setFileMode(Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        Dialog->setNameFilters(QtNameFilters(Filter));
        Dialog->setOption(QFileDialog::HideNameFilterDetails);
        Dialog->setDefaultSuffix(DefaultSuffix);
        if (Preview)
            PicturePreviewPane::addTo(Dialog);
    }
    BeforeModal();
    if (Dialog->exec() != QDialog::Accepted)
        return QString();
    if (const auto *SaveDialog = qobject_cast<TSaveFileDialog *>(Dialog.data()))
        return SaveDialog->ChosenFile();
    return Dialog->selectedFiles().value(0);
}

QString TQtDialogs::OpenPicture()
{
    return Run(FOpenPictureDialog, false, QStringLiteral("Open an Image to Create Puzzle"), PictureFilter,
               QString(), true);
}

QString TQtDialogs::OpenPuzzle()
{
    return Run(FOpenPuzzleDialog, false, QStringLiteral("Open"), PuzzleFilter, QStringLiteral("nbq"));
}

QString TQtDialogs::SavePuzzle()
{
    return Run(FSavePuzzleDialog, true, QStringLiteral("Save As"), PuzzleFilter, QStringLiteral("nbq"));
}

QString TQtDialogs::SaveImage()
{
    return Run(FSaveImageDialog, true, QStringLiteral("Save Image As"), JpegFilter, QStringLiteral("jpg"), true);
}

TConfirmAnswer TQtDialogs::Confirm(const QString &Caption, const QString &Text)
{
    BeforeModal();
    const auto Answer = QMessageBox::question(FOwner, Caption, Text,
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                              QMessageBox::Yes);
    if (Answer == QMessageBox::Yes)
        return TConfirmAnswer::Yes;
    if (Answer == QMessageBox::No)
        return TConfirmAnswer::No;
    return TConfirmAnswer::Cancel;
}

void TQtDialogs::Message(const QString &Caption, const QString &Text, TMessageIcon Icon)
{
    const QMessageBox::Icon BoxIcon = Icon == TMessageIcon::Stop      ? QMessageBox::Critical
                                      : Icon == TMessageIcon::Warning ? QMessageBox::Warning
                                                                      : QMessageBox::Information;
    QMessageBox Box(BoxIcon, Caption, Text, QMessageBox::Ok, FOwner);
    BeforeModal();
    Box.exec();
}

void TQtDialogs::Error(const QString &Text)
{
    QMessageBox Box(QMessageBox::Critical, QuorraProgramName, Text, QMessageBox::Ok, FOwner);
    BeforeModal();
    Box.exec();
}

void TQtDialogs::ShowAbout()
{
    BeforeModal();
    if (FAbout)
        FAbout->exec();
}

void TQtDialogs::ShowDemo(bool &ShowAtStart)
{
    BeforeModal();
    // Made for each showing and gone afterwards, so its player lets go of the video.
    TRulesForm RulesForm(*this, TRulesForm::DefaultVideoPath(), FOwner);
    RulesForm.ShowDemo(ShowAtStart);
}

void TQtDialogs::BeforeModal()
{
    if (FBeforeModal)
        FBeforeModal();
}
