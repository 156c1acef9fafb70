// Writing a file that takes the place of what stands at the chosen path, never of what a link there points to.
#include "TReplacingFile.h"

#include "RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The new file's name: hidden, beside the old one, and short enough for any name the folder takes.
QByteArray TempName(const QByteArray &Path)
{
    const qsizetype Slash = Path.lastIndexOf('/');
    const QByteArray Folder = Slash < 0 ? QByteArray() : Path.left(Slash + 1);
    const QByteArray Base = Path.mid(Slash + 1).left(200);
    static const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray Suffix(8, '\0');
    for (char &C : Suffix)
        C = Letters[QRandomGenerator::global()->bounded(int(sizeof Letters - 1))];
    return Folder + '.' + Base + '.' + Suffix;
}

bool WriteAll(int Handle, const char *Data, qint64 Size)
{
    while (Size > 0) {
        const ssize_t Done = ::write(Handle, Data, size_t(Size));
        if (Done < 0 && errno == EINTR)
            continue;
        // A short write is followed by another, which returns the reason (a full disk, the size limit).
        if (Done < 0)
            return false;
        Data += Done;
        Size -= Done;
    }
    return true;
}

} // namespace

TReplacingFile::TReplacingFile(const QString &Path) : FPath(Path) {}

TReplacingFile::~TReplacingFile()
{
    Discard();
}

bool TReplacingFile::open(OpenMode Mode)
{
    if (isOpen() || (Mode & ~Unbuffered) != WriteOnly) {
        setErrorString(qt_error_string(EINVAL));
        return false;
    }
    const QByteArray Name = QFile::encodeName(FPath);
    struct stat Old;
    const bool Exists = ::lstat(Name.constData(), &Old) == 0;
    if (!Exists && errno != ENOENT)
        return Fail(errno);
    if (Exists) {
        // A link that leads nowhere or to a file is replaced itself; one that leads to anything else is not.
        const QString Reason = NonRegularReason(FPath);
        if (!Reason.isEmpty())
            return Fail(Reason);
    }
    const bool OldFile = Exists && S_ISREG(Old.st_mode);

    int Error = 0;
    for (int Attempt = 0; Attempt < 100 && FHandle < 0; ++Attempt) {
        FTempName = TempName(Name);
        // Created with the permissions any new file gets here; a replaced file's are copied below.
        FHandle = ::open(FTempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        Error = FHandle < 0 ? errno : 0;
        if (Error != EEXIST)
            break;
    }
    if (FHandle >= 0) {
        if (OldFile)
            ::fchmod(FHandle, Old.st_mode & 07777);
        return QIODevice::open(WriteOnly | Unbuffered);
    }
    FTempName.clear();

    // The folder takes no new file: the old file is written where it is, when it may be and is still the
    // one looked at (never through a link that took its place).
    if (OldFile) {
        const int Handle = ::open(Name.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
        struct stat Opened;
        if (Handle >= 0 && ::fstat(Handle, &Opened) == 0 && S_ISREG(Opened.st_mode) && Opened.st_dev == Old.st_dev
            && Opened.st_ino == Old.st_ino) {
            FHandle = Handle;
            FInPlace = true;
            return QIODevice::open(WriteOnly | Unbuffered);
        }
        if (Handle >= 0)
            ::close(Handle);
    }
    return Fail(Error);
}

qint64 TReplacingFile::writeData(const char *Data, qint64 Size)
{
    if (FInPlace) {
        FPending.append(Data, Size);
        return Size;
    }
    if (!WriteAll(FHandle, Data, Size)) {
        setErrorString(qt_error_string(errno));
        return -1;
    }
    return Size;
}

bool TReplacingFile::Commit()
{
    if (!isOpen())
        return Fail(EBADF);
    if (FInPlace)
        return WriteInPlace();
    // On the disk before the name moves, so a crash leaves the old file or the new one, never an empty one.
    if (::fsync(FHandle) != 0)
        return Fail(errno);
    const int Handle = FHandle;
    FHandle = -1;
    if (::close(Handle) != 0)
        return Fail(errno);
    // rename replaces the name itself: a link there goes, and whatever it pointed to stays as it was.
    if (::rename(FTempName.constData(), QFile::encodeName(FPath).constData()) != 0)
        return Fail(errno);
    FTempName.clear();
    QIODevice::close();
    return true;
}

bool TReplacingFile::WriteInPlace()
{
    // Room for the whole file is taken before its first byte changes: a disk or size limit too small for it
    // refuses here and the old file keeps every byte.
    const qint64 Size = FPending.size();
    if (Size > 0) {
        const int Error = ::posix_fallocate(FHandle, 0, Size);
        if (Error != 0)
            return Fail(Error);
    }
    qint64 Done = 0;
    while (Done < Size) {
        const ssize_t Count = ::pwrite(FHandle, FPending.constData() + Done, size_t(Size - Done), Done);
        if (Count < 0 && errno == EINTR)
            continue;
        if (Count < 0)
            return Fail(errno);
        Done += Count;
    }
    if (::ftruncate(FHandle, Size) != 0 || ::fsync(FHandle) != 0)
        return Fail(errno);
    const int Handle = FHandle;
    FHandle = -1;
    if (::close(Handle) != 0)
        return Fail(errno);
    FPending.clear();
    QIODevice::close();
    return true;
}

bool TReplacingFile::Fail(const QString &Reason)
{
    setErrorString(Reason);
    Discard();
    return false;
}

bool TReplacingFile::Fail(int Error)
{
    return Fail(qt_error_string(Error));
}

void TReplacingFile::Discard()
{
    if (FHandle >= 0)
        ::close(FHandle);
    FHandle = -1;
    if (!FTempName.isEmpty())
        ::unlink(FTempName.constData());
    FTempName.clear();
    FPending.clear();
    FInPlace = false;
    if (isOpen())
        QIODevice::close();
}
