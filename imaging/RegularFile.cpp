// Opening documents for reading only when they are regular files, so a pipe, a device or a socket is refused.
#include "RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString KindReason(mode_t Mode)
{
    if (S_ISDIR(Mode))
        return qt_error_string(EISDIR);
    if (S_ISFIFO(Mode))
        return QStringLiteral("It is a named pipe, not a file.");
    if (S_ISSOCK(Mode))
        return QStringLiteral("It is a socket, not a file.");
    if (S_ISCHR(Mode) || S_ISBLK(Mode))
        return QStringLiteral("It is a device, not a file.");
    return QStringLiteral("It is not a regular file.");
}

} // namespace

QString NonRegularReason(const QString &Path)
{
    struct stat Info;
    if (::stat(QFile::encodeName(Path).constData(), &Info) != 0 || S_ISREG(Info.st_mode))
        return QString();
    return KindReason(Info.st_mode);
}

QString OpenRegularFile(QFile &File, const QString &Path)
{
    const QByteArray Name = QFile::encodeName(Path);
    struct stat Info;
    if (::stat(Name.constData(), &Info) != 0)
        return qt_error_string(errno);
    // A device is never opened at all: opening some (tapes, terminals) already does something.
    if (!S_ISREG(Info.st_mode))
        return KindReason(Info.st_mode);

    const int Handle = ::open(Name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (Handle < 0)
        return qt_error_string(errno);
    if (::fstat(Handle, &Info) != 0) {
        const QString Reason = qt_error_string(errno);
        ::close(Handle);
        return Reason;
    }
    if (!S_ISREG(Info.st_mode)) {
        ::close(Handle);
        return KindReason(Info.st_mode);
    }
    ::fcntl(Handle, F_SETFL, ::fcntl(Handle, F_GETFL) & ~O_NONBLOCK);
    if (!File.open(Handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(Handle);
        return File.errorString();
    }
    return QString();
}
