// What the command line asks of quorra: its usage, its version, or the puzzle file to open at start.
#include "TCommandLine.h"

#include "ProgramInfo.h"

namespace {

const QString HelpOption = QStringLiteral("help");
const QString VersionOption = QStringLiteral("version");

} // namespace

TCommandLine::TCommandLine(const QList<QByteArray> &Arguments)
{
    FParser.setApplicationDescription(QStringLiteral("Quorra: a photo puzzle to pass on to a friend."));
    // Not addHelpOption: it would also offer --help-all, whose text QCommandLineParser only prints by exiting.
    FParser.addOption(QCommandLineOption({QStringLiteral("h"), HelpOption, QStringLiteral("?")},
                                         QStringLiteral("Displays this help.")));
    FParser.addOption(QCommandLineOption({QStringLiteral("v"), VersionOption},
                                         QStringLiteral("Displays version information.")));
    FParser.addPositionalArgument(QStringLiteral("puzzle"), QStringLiteral("The puzzle file (.nbq) to open."),
                                  QStringLiteral("[puzzle]"));

    // Latin-1 maps every byte to one character and back, so a name that is not UTF-8 comes out of the parser
    // exactly as it went in; the options themselves are ASCII and parse the same either way.
    QStringList Texts;
    for (const QByteArray &Argument : Arguments)
        Texts << QString::fromLatin1(Argument);
    if (Texts.isEmpty())
        Texts << QStringLiteral("quorra");
    // False only for unknown options, which are reported by UnknownOptions and otherwise passed over.
    FParser.parse(Texts);
}

QList<QByteArray> TCommandLine::FromArgv(int Argc, char **Argv)
{
    QList<QByteArray> Arguments;
    for (int i = 0; i < Argc; ++i)
        Arguments << QByteArray(Argv[i]);
    return Arguments;
}

bool TCommandLine::HelpRequested() const
{
    return FParser.isSet(HelpOption);
}

bool TCommandLine::VersionRequested() const
{
    return FParser.isSet(VersionOption);
}

QString TCommandLine::HelpText() const
{
    return FParser.helpText();
}

QString TCommandLine::VersionText()
{
    return QStringLiteral("quorra ") + QuorraVersion;
}

QStringList TCommandLine::UnknownOptions() const
{
    QStringList Names;
    for (const QString &Name : FParser.unknownOptionNames())
        Names << QString::fromLocal8Bit(Name.toLatin1());
    return Names;
}

QByteArray TCommandLine::PuzzleName() const
{
    return FParser.positionalArguments().value(0).toLatin1();
}
