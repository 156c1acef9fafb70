// SPDX-License-Identifier: GPL-3.0-or-later
// What the command line asks of quorra: its usage, its version, a puzzle made a web page, or the puzzle to open.
#pragma once

#include <QByteArray>
#include <QCommandLineParser>
#include <QList>
#include <QStringList>

namespace quorra {

class CommandLine
{
public:
    // The arguments as the program received them, bytes untouched, its own name first. Parsing needs no
    // application object, so --help and --version can be answered before any window system is asked for.
    explicit CommandLine(const QList<QByteArray> &arguments);
    static QList<QByteArray> fromArgv(int argc, char **argv);

    bool helpRequested() const;
    bool versionRequested() const;
    // --export-web PUZZLE PAGE: the puzzle file written as a web page, with no window.
    bool exportWebRequested() const;
    // The usage as printed by --help; it names the program as it was started once an application object exists.
    QString helpText() const;
    // "quorra " and the version.
    static QString versionText();

    // Options this program does not know. They are passed over with a warning, not refused: a desktop or a
    // script that adds one must still get the game.
    QStringList unknownOptions() const;
    // The first argument that is not an option (everything after "--" is not), as the bytes the program was
    // given: a file name need not be valid UTF-8. Empty when there is none.
    QByteArray puzzleName() const;
    // The argument after the puzzle: the page that --export-web writes.
    QByteArray pageName() const;

private:
    QCommandLineParser m_parser;
};

} // namespace quorra
