// The entry point of quorra: --help and --version, the main window, the about box, and the puzzle file named on
// the command line.
#include "ProgramInfo.h"
#include "TAboutForm.h"
#include "TCommandLine.h"
#include "TNimbrelMainForm.h"
#include "TPuzzleArgument.h"
#include "TQtDialogs.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    {
        const TCommandLine Request(TCommandLine::FromArgv(argc, argv));
        if (Request.HelpRequested() || Request.VersionRequested()) {
            // Printing needs no window system, so none is asked for: this works in a plain terminal too.
            QCoreApplication Core(argc, argv);
            const QString Text = Request.HelpRequested() ? Request.HelpText() : TCommandLine::VersionText() + '\n';
            std::fputs(Text.toLocal8Bit().constData(), stdout);
            return 0;
        }
    }

    QApplication Application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorra"));
    QApplication::setApplicationVersion(QuorraVersion);
    QApplication::setApplicationDisplayName(QString());
    QGuiApplication::setDesktopFileName(QStringLiteral("quorra"));

    // Qt has taken its own options (-style, -platform, ...) out of argv; what is left is ours.
    const TCommandLine CommandLine(TCommandLine::FromArgv(argc, argv));
    for (const QString &Option : CommandLine.UnknownOptions())
        std::fprintf(stderr, "quorra: unknown option \"%s\" ignored\n", Option.toLocal8Bit().constData());
    // Lives as long as the program: it may hold the file open for the window.
    const TPuzzleArgument Puzzle(CommandLine.PuzzleName());

    auto Dialogs = std::make_unique<TQtDialogs>();
    TQtDialogs *QtDialogs = Dialogs.get();
    TNimbrelMainForm NimbrelMainForm(std::move(Dialogs));
    QtDialogs->SetOwner(&NimbrelMainForm);
    // The about box exists, hidden, before the main window is first shown: refusing a puzzle file of a later
    // version shows it, and that can already happen for the file on the command line.
    TAboutForm AboutForm(&NimbrelMainForm);
    QtDialogs->SetAboutForm(&AboutForm);

    NimbrelMainForm.CommandLinePuzzle = Puzzle.Path();
    NimbrelMainForm.show();
    if (!Puzzle.Problem().isEmpty())
        QTimer::singleShot(0, &NimbrelMainForm,
                           [&NimbrelMainForm, &Puzzle] { NimbrelMainForm.Dialogs().Error(Puzzle.Problem()); });
    return Application.exec();
}
