// SPDX-License-Identifier: GPL-3.0-or-later
// The save dialog: the name is taken as typed, and anything already at the path, a dangling link too, is asked about.
#pragma once

#include <QFileDialog>

namespace quorra {

class SaveFileDialog : public QFileDialog
{
    Q_OBJECT

public:
    SaveFileDialog(QWidget *parent, const QString &caption);

    // The path accepted last.
    QString chosenFile() const;

public slots:
    void accept() override;

private:
    QString m_chosen; // set where this dialog, not Qt's, decided the path
};

} // namespace quorra
