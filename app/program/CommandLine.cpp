// SPDX-License-Identifier: GPL-3.0-or-later
// What the command line asks of quorra: its usage, its version, a puzzle made a web page, or the puzzle to open.
#include "CommandLine.h"

#include "ProgramInfo.h"

#include <QCoreApplication>

namespace quorra {

namespace {

const QString HelpOption = QStringLiteral("help");
const QString VersionOption = QStringLiteral("version");
const QString ExportWebOption = QStringLiteral("export-web");

} // namespace

CommandLine::CommandLine(const QList<QByteArray> &arguments)
{
    m_parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine", "Quorra: a photo puzzle to pass on to a friend."));
    // Not addHelpOption: it would also offer --help-all, whose text QCommandLineParser only prints by exiting.
    m_parser.addOption(QCommandLineOption({QStringLiteral("h"), HelpOption, QStringLiteral("?")},
                                          QCoreApplication::translate("CommandLine", "Displays this help.")));
    m_parser.addOption(QCommandLineOption({QStringLiteral("v"), VersionOption},
                                          QCoreApplication::translate("CommandLine", "Displays version information.")));
    m_parser.addOption(QCommandLineOption(
        ExportWebOption,
        QCoreApplication::translate("CommandLine",
                                    "Writes the puzzle as a web page that plays it in any browser, and exits.")));
    m_parser.addPositionalArgument(QStringLiteral("puzzle"),
                                   QCoreApplication::translate("CommandLine", "The puzzle file (.nbq) to open."),
                                   QStringLiteral("[puzzle]"));

    // Latin-1 maps every byte to one character and back, so a name that is not UTF-8 comes out of the parser
    // exactly as it went in; the options themselves are ASCII and parse the same either way.
    QStringList texts;
    for (const QByteArray &argument : arguments)
        texts << QString::fromLatin1(argument);
    if (texts.isEmpty())
        texts << QStringLiteral("quorra");
    // False only for unknown options, which are reported by UnknownOptions and otherwise passed over.
    m_parser.parse(texts);
}

QList<QByteArray> CommandLine::fromArgv(int argc, char **argv)
{
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    return arguments;
}

bool CommandLine::helpRequested() const
{
    return m_parser.isSet(HelpOption);
}

bool CommandLine::versionRequested() const
{
    return m_parser.isSet(VersionOption);
}

bool CommandLine::exportWebRequested() const
{
    return m_parser.isSet(ExportWebOption);
}

QString CommandLine::helpText() const
{
    return m_parser.helpText();
}

QString CommandLine::versionText()
{
    return QStringLiteral("quorra ") + QuorraVersion;
}

QStringList CommandLine::unknownOptions() const
{
    QStringList names;
    for (const QString &name : m_parser.unknownOptionNames())
        names << QString::fromLocal8Bit(name.toLatin1());
    return names;
}

QByteArray CommandLine::puzzleName() const
{
    return m_parser.positionalArguments().value(0).toLatin1();
}

QByteArray CommandLine::pageName() const
{
    return m_parser.positionalArguments().value(1).toLatin1();
}

} // namespace quorra
