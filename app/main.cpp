// The entry point of quorra: the main window, the about box, and the puzzle file named on the command line.
#include "TAboutForm.h"
#include "TNimbrelMainForm.h"
#include "TQtDialogs.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication Application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorra"));
    QApplication::setApplicationDisplayName(QString());
    QGuiApplication::setDesktopFileName(QStringLiteral("quorra"));

    auto Dialogs = std::make_unique<TQtDialogs>();
    TQtDialogs *QtDialogs = Dialogs.get();
    TNimbrelMainForm NimbrelMainForm(std::move(Dialogs));
    QtDialogs->SetOwner(&NimbrelMainForm);
    // The about box exists, hidden, before the main window is first shown: refusing a puzzle file of a later
    // version shows it, and that can already happen for the file on the command line.
    TAboutForm AboutForm(&NimbrelMainForm);
    QtDialogs->SetAboutForm(&AboutForm);

    const QStringList Arguments = QCoreApplication::arguments();
    if (Arguments.size() > 1)
        NimbrelMainForm.CommandLinePuzzle = Arguments.at(1);
    NimbrelMainForm.show();
    return Application.exec();
}
