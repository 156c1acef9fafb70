// SPDX-License-Identifier: GPL-3.0-or-later
// The entry point of quorra: --help and --version, the main window, the about box, and the puzzle file named on
// the command line.
#include "AboutDialog.h"
#include "CommandLine.h"
#include "MainWindow.h"
#include "PluginPrefetch.h"
#include "ProgramInfo.h"
#include "ProgramTranslations.h"
#include "PuzzleArgument.h"
#include "QtDialogs.h"
#include "UserError.h"
#include "WebPageExport.h"
#include "WindowTexts.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTimer>

#include <cstdio>
#include <new>

using namespace quorra;

int main(int argc, char *argv[])
{
    {
        const CommandLine request(CommandLine::fromArgv(argc, argv));
        if (request.helpRequested() || request.versionRequested()) {
            // Printing needs no window system, so none is asked for: this works in a plain terminal too.
            QCoreApplication core(argc, argv);
            installTranslations();
            // The request was read before there were translations: read again, it describes itself in them.
            const QString text = request.helpRequested() ? CommandLine(CommandLine::fromArgv(argc, argv)).helpText()
                                                         : CommandLine::versionText() + '\n';
            std::fputs(text.toLocal8Bit().constData(), stdout);
            return 0;
        }
        if (request.exportWebRequested()) {
            QCoreApplication core(argc, argv);
            installTranslations();
            const QByteArray puzzle = request.puzzleName(), page = request.pageName();
            try {
                if (puzzle.isEmpty() || page.isEmpty())
                    throw UserError(QCoreApplication::translate(
                        "CommandLine", "--export-web needs a puzzle file and the page to write."));
                WebPageExport::write(QFile::decodeName(puzzle), QFile::decodeName(page));
            } catch (const UserError &e) {
                std::fprintf(stderr, "quorra: %s\n", e.message().toLocal8Bit().constData());
                return 1;
            } catch (const std::bad_alloc &) {
                std::fprintf(stderr, "quorra: %s\n", WindowTexts::NoMemoryForCommand);
                return 1;
            }
            return 0;
        }
    }

    // Runs while the application connects to the window system, and ends with the program.
    const QString plugins = QLibraryInfo::path(QLibraryInfo::PluginsPath);
    const PluginPrefetch prefetch({QFile::encodeName(plugins + QStringLiteral("/imageformats")).toStdString(),
                                   QFile::encodeName(plugins + QStringLiteral("/iconengines")).toStdString()});

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorra"));
    QApplication::setApplicationVersion(QuorraVersion);
    QApplication::setApplicationDisplayName(QString());
    QGuiApplication::setDesktopFileName(QStringLiteral("quorra"));
    // Before any window or message is made: each takes its texts as it is built.
    installTranslations();

    // Qt has taken its own options (-style, -platform, ...) out of argv; what is left is ours.
    const CommandLine commandLine(CommandLine::fromArgv(argc, argv));
    for (const QString &option : commandLine.unknownOptions())
        std::fprintf(stderr, "quorra: unknown option \"%s\" ignored\n", option.toLocal8Bit().constData());
    // Lives as long as the program: it may hold the file open for the window.
    const PuzzleArgument puzzle(commandLine.puzzleName());

    auto dialogs = std::make_unique<QtDialogs>();
    QtDialogs *qtDialogs = dialogs.get();
    MainWindow nimbrelMainForm(std::move(dialogs));
    qtDialogs->setOwner(&nimbrelMainForm);
    // The about box exists, hidden, before the main window is first shown: refusing a puzzle file of a later
    // version shows it, and that can already happen for the file on the command line.
    AboutDialog aboutForm(&nimbrelMainForm);
    qtDialogs->setAboutDialog(&aboutForm);

    nimbrelMainForm.setCommandLinePuzzle(puzzle.path());
    nimbrelMainForm.show();
    if (!puzzle.problem().isEmpty())
        QTimer::singleShot(0, &nimbrelMainForm,
                           [&nimbrelMainForm, &puzzle] { nimbrelMainForm.dialogs().error(puzzle.problem()); });
    return application.exec();
}
