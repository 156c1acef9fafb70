// The puzzle file named on the command line, made openable whatever bytes its name holds.
#include "TPuzzleArgument.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString CannotOpen(const QByteArray &Name, const QString &Reason)
{
    return QStringLiteral("Cannot open file \"%1\". %2").arg(TPuzzleArgument::ShownName(Name), Reason);
}

} // namespace

TPuzzleArgument::TPuzzleArgument(const QByteArray &Name)
{
    if (Name.isEmpty())
        return;
    const QString Text = QFile::decodeName(Name);
    if (QFile::encodeName(Text) == Name) {
        FPath = Text;
        return;
    }

    // Non-blocking, so that a FIFO under such a name cannot hold up the start; it is refused just below.
    FDescriptor = ::open(Name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (FDescriptor < 0) {
        const int Error = errno;
        if (Error != ENOENT && Error != ENOTDIR)
            FProblem = CannotOpen(Name, qt_error_string(Error));
        return;
    }
    struct stat Status;
    if (::fstat(FDescriptor, &Status) != 0) {
        FProblem = CannotOpen(Name, qt_error_string(errno));
        return;
    }
    if (!S_ISREG(Status.st_mode)) {
        FProblem = CannotOpen(Name, S_ISDIR(Status.st_mode) ? qt_error_string(EISDIR)
                                                              : QStringLiteral("It is not a regular file."));
        return;
    }
    const QString Descriptor = QStringLiteral("/proc/self/fd/%1").arg(FDescriptor);
    if (!QFileInfo::exists(Descriptor)) {
        // Without /proc there is no way for Qt to reach the file.
        FProblem = CannotOpen(Name, QStringLiteral("Its name is not valid UTF-8; please rename it."));
        return;
    }
    FPath = Descriptor;
}

TPuzzleArgument::~TPuzzleArgument()
{
    if (FDescriptor >= 0)
        ::close(FDescriptor);
}

QString TPuzzleArgument::ShownName(const QByteArray &Name)
{
    return QFileInfo(QString::fromUtf8(Name)).absoluteFilePath();
}
