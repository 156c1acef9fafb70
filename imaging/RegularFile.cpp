// SPDX-License-Identifier: GPL-3.0-or-later
// Opening documents for reading only when they are regular files, so a pipe, a device or a socket is refused.
#include "RegularFile.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorra {

namespace {

QString kindReason(mode_t mode)
{
    if (S_ISDIR(mode))
        return qt_error_string(EISDIR);
    if (S_ISFIFO(mode))
        return QCoreApplication::translate("Pictures", "It is a named pipe, not a file.");
    if (S_ISSOCK(mode))
        return QCoreApplication::translate("Pictures", "It is a socket, not a file.");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QCoreApplication::translate("Pictures", "It is a device, not a file.");
    return QCoreApplication::translate("Pictures", "It is not a regular file.");
}

} // namespace

QString nonRegularReason(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || S_ISREG(info.st_mode))
        return QString();
    return kindReason(info.st_mode);
}

QString openRegularFile(QFile &file, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info;
    if (::stat(name.constData(), &info) != 0)
        return qt_error_string(errno);
    // A device is never opened at all: opening some (tapes, terminals) already does something.
    if (!S_ISREG(info.st_mode))
        return kindReason(info.st_mode);

    const int handle = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (handle < 0)
        return qt_error_string(errno);
    if (::fstat(handle, &info) != 0) {
        QString reason = qt_error_string(errno);
        ::close(handle);
        return reason;
    }
    if (!S_ISREG(info.st_mode)) {
        ::close(handle);
        return kindReason(info.st_mode);
    }
    ::fcntl(handle, F_SETFL, ::fcntl(handle, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return file.errorString();
    }
    return QString();
}

} // namespace quorra
