// The save dialog: the name is taken as typed, and anything already at the path, a dangling link too, is asked about.
#include "TSaveFileDialog.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

TSaveFileDialog::TSaveFileDialog(QWidget *Parent, const QString &Caption) : QFileDialog(Parent, Caption)
{
    setAcceptMode(AcceptSave);
    setFileMode(AnyFile);
}

QString TSaveFileDialog::ChosenFile() const
{
    return FChosen.isEmpty() ? selectedFiles().value(0) : FChosen;
}

void TSaveFileDialog::accept()
{
    FChosen.clear();
    // Qt's own dialog only: a desktop's native dialog takes names as typed and asks by itself.
    QLineEdit *Edit = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QString Path;
    if (Edit && Edit->text().contains(QLatin1Char('"'))) {
        // Qt reads quoted text as a list of names and would save under the first quoted one, or in the home
        // folder for one that starts with "~": a save has one name, so it is taken exactly as typed.
        Path = directory().absoluteFilePath(Edit->text());
        if (!defaultSuffix().isEmpty() && !QFileInfo(Path).fileName().contains(QLatin1Char('.')))
            Path += QLatin1Char('.') + defaultSuffix();
        if (QFileInfo(Path).isDir()) {
            setDirectory(Path);
            Edit->clear();
            return;
        }
    } else {
        const QStringList Files = selectedFiles();
        const QFileInfo Info(Files.value(0));
        // Qt asks only about what exists behind a link, so a link that leads nowhere would be replaced unasked.
        if (Files.size() != 1 || !Info.isSymLink() || Info.exists()) {
            QFileDialog::accept();
            return;
        }
        Path = Files.first();
    }

    const QFileInfo Info(Path);
    if ((Info.exists() || Info.isSymLink()) && !testOption(DontConfirmOverwrite)
        && QMessageBox::warning(this, windowTitle(),
                                QFileDialog::tr("%1 already exists.\nDo you want to replace it?").arg(Info.fileName()),
                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return;
    FChosen = Path;
    QDialog::accept();
}
