// SPDX-License-Identifier: GPL-3.0-or-later
// The save dialog: the name is taken as typed, and anything already at the path, a dangling link too, is asked about.
#include "SaveFileDialog.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

namespace quorra {

SaveFileDialog::SaveFileDialog(QWidget *parent, const QString &caption) : QFileDialog(parent, caption)
{
    setAcceptMode(AcceptSave);
    setFileMode(AnyFile);
}

QString SaveFileDialog::chosenFile() const
{
    return m_chosen.isEmpty() ? selectedFiles().value(0) : m_chosen;
}

void SaveFileDialog::accept()
{
    m_chosen.clear();
    // Qt's own dialog only: a desktop's native dialog takes names as typed and asks by itself.
    QLineEdit *edit = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QString path;
    if (edit && edit->text().contains(QLatin1Char('"'))) {
        // Qt reads quoted text as a list of names and would save under the first quoted one, or in the home
        // folder for one that starts with "~": a save has one name, so it is taken exactly as typed.
        path = directory().absoluteFilePath(edit->text());
        if (!defaultSuffix().isEmpty() && !QFileInfo(path).fileName().contains(QLatin1Char('.')))
            path += QLatin1Char('.') + defaultSuffix();
        if (QFileInfo(path).isDir()) {
            setDirectory(path);
            edit->clear();
            return;
        }
    } else {
        const QStringList files = selectedFiles();
        const QFileInfo info(files.value(0));
        // Qt asks only about what exists behind a link, so a link that leads nowhere would be replaced unasked.
        if (files.size() != 1 || !info.isSymLink() || info.exists()) {
            QFileDialog::accept();
            return;
        }
        path = files.first();
    }

    const QFileInfo info(path);
    if ((info.exists() || info.isSymLink()) && !testOption(DontConfirmOverwrite)
        && QMessageBox::warning(this, windowTitle(),
                                QFileDialog::tr("%1 already exists.\nDo you want to replace it?").arg(info.fileName()),
                                QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return;
    m_chosen = path;
    // Past QFileDialog's own accept on purpose: it would read the name its own way again.
    QDialog::accept(); // NOLINT(bugprone-parent-virtual-call)
}

} // namespace quorra
