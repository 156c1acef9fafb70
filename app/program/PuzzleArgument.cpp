// SPDX-License-Identifier: GPL-3.0-or-later
// The puzzle file named on the command line, made openable whatever bytes its name holds.
#include "PuzzleArgument.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorra {

namespace {

QString cannotOpen(const QByteArray &name, const QString &reason)
{
    return QCoreApplication::translate("PuzzleArgument", "Cannot open file \"%1\". %2")
        .arg(PuzzleArgument::shownName(name), reason);
}

} // namespace

PuzzleArgument::PuzzleArgument(const QByteArray &name)
{
    if (name.isEmpty())
        return;
    const QString text = QFile::decodeName(name);
    if (QFile::encodeName(text) == name) {
        m_path = text;
        return;
    }

    // Non-blocking, so that a FIFO under such a name cannot hold up the start; it is refused just below.
    m_descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (m_descriptor < 0) {
        const int error = errno;
        if (error != ENOENT && error != ENOTDIR)
            m_problem = cannotOpen(name, qt_error_string(error));
        return;
    }
    struct stat status;
    if (::fstat(m_descriptor, &status) != 0) {
        m_problem = cannotOpen(name, qt_error_string(errno));
        return;
    }
    if (!S_ISREG(status.st_mode)) {
        m_problem = cannotOpen(name, S_ISDIR(status.st_mode)
                                         ? qt_error_string(EISDIR)
                                         : QCoreApplication::translate("PuzzleArgument", "It is not a regular file."));
        return;
    }
    const QString descriptor = QStringLiteral("/proc/self/fd/%1").arg(m_descriptor);
    if (!QFileInfo::exists(descriptor)) {
        // Without /proc there is no way for Qt to reach the file.
        m_problem = cannotOpen(
            name, QCoreApplication::translate("PuzzleArgument", "Its name is not valid UTF-8; please rename it."));
        return;
    }
    m_path = descriptor;
}

PuzzleArgument::~PuzzleArgument()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

QString PuzzleArgument::shownName(const QByteArray &name)
{
    return QFileInfo(QString::fromUtf8(name)).absoluteFilePath();
}

} // namespace quorra
