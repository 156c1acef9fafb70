// SPDX-License-Identifier: GPL-3.0-or-later
// The puzzle file named on the command line, made openable whatever bytes its name holds.
#pragma once

#include <QByteArray>
#include <QString>

namespace quorra {

// Qt keeps file names as text, so a name that is not valid UTF-8 (a file from an old archive, say) loses its
// odd bytes and names a file that is not there. Such a file is opened here through its own bytes and handed on
// as the program's descriptor of it (/proc/self/fd/N), which Qt can open like any path; the descriptor stays
// open as long as this object lives.
class PuzzleArgument
{
public:
    explicit PuzzleArgument(const QByteArray &name);
    ~PuzzleArgument();
    PuzzleArgument(const PuzzleArgument &) = delete;
    PuzzleArgument &operator=(const PuzzleArgument &) = delete;

    // What the window is to open; empty when there is nothing to open.
    QString path() const { return m_path; }
    // Why the named file cannot be read, naming it as well as it can be shown; empty when there is nothing to
    // say. A file that does not exist is passed over in silence, whatever its name.
    QString problem() const { return m_problem; }
    // The name as a person can read it: bytes that are not UTF-8 show as replacement characters.
    static QString shownName(const QByteArray &name);

private:
    int m_descriptor = -1;
    QString m_path;
    QString m_problem;
};

} // namespace quorra
