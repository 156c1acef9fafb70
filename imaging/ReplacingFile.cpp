// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a file that takes the place of what stands at the chosen path, never of what a link there points to.
#include "ReplacingFile.h"

#include "RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorra {

namespace {

// A new file's name is hidden, beside the old one: a dot, the old name cut short enough for any name the folder
// takes, a dot and this many random letters.
constexpr qsizetype BaseLength = 200;
constexpr qsizetype SuffixLength = 8;
const char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

// A new file left behind by a save that was killed or crashed is removed by the next save to the same path once
// it is this old. A save under way keeps changing its file as it writes, and a whole picture on the slowest
// disk is written in a minute or two, so a file untouched for this long belongs to no save still running.
constexpr time_t StaleSeconds = time_t(10) * 60;

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray() : path.left(slash + 1);
}

// What every new file for Path is called before its random letters.
QByteArray tempPrefix(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return '.' + path.mid(slash + 1).left(BaseLength) + '.';
}

QByteArray tempName(const QByteArray &path)
{
    QByteArray suffix(SuffixLength, '\0');
    for (char &c : suffix)
        c = Letters[QRandomGenerator::global()->bounded(int(sizeof Letters - 1))];
    return folderOf(path) + tempPrefix(path) + suffix;
}

// Whether Name is one that tempName gives for this prefix, and no other file that happens to start alike.
bool isTempName(const char *name, const QByteArray &prefix)
{
    const QByteArrayView view(name);
    if (view.size() != prefix.size() + SuffixLength || !view.startsWith(prefix))
        return false;
    const QByteArrayView suffix = view.sliced(prefix.size());
    return std::all_of(suffix.begin(), suffix.end(),
                       [](char c) { return c != '\0' && std::strchr(Letters, c) != nullptr; });
}

// Removes the new files that earlier saves to Path left behind: a save of a large picture leaves one as large
// as the picture, and nothing else would ever remove it. Only this user's own regular files are taken, never
// a link, and only those old enough that no save can still be writing them.
void removeStaleTempFiles(const QByteArray &path)
{
    const QByteArray folder = folderOf(path);
    DIR *dir = ::opendir(folder.isEmpty() ? "." : folder.constData());
    if (!dir)
        return;
    const QByteArray prefix = tempPrefix(path);
    const time_t now = ::time(nullptr);
    while (const dirent *entry = ::readdir(dir)) {
        if (!isTempName(entry->d_name, prefix))
            continue;
        struct stat info;
        if (::fstatat(::dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)
            && info.st_uid == ::geteuid() && now - info.st_mtime >= StaleSeconds)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

bool writeAll(int handle, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t done = ::write(handle, data, size_t(size));
        if (done < 0 && errno == EINTR)
            continue;
        // A short write is followed by another, which returns the reason (a full disk, the size limit).
        if (done < 0)
            return false;
        data += done;
        size -= done;
    }
    return true;
}

} // namespace

ReplacingFile::ReplacingFile(const QString &path) : m_path(path) {}

ReplacingFile::~ReplacingFile()
{
    discard();
}

bool ReplacingFile::open(OpenMode mode)
{
    if (isOpen() || (mode & ~Unbuffered) != WriteOnly) {
        setErrorString(qt_error_string(EINVAL));
        return false;
    }
    const QByteArray name = QFile::encodeName(m_path);
    struct stat old;
    const bool exists = ::lstat(name.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        return fail(errno);
    if (exists) {
        // A link that leads nowhere or to a file is replaced itself; one that leads to anything else is not.
        const QString reason = nonRegularReason(m_path);
        if (!reason.isEmpty())
            return fail(reason);
    }
    const bool oldFile = exists && S_ISREG(old.st_mode);
    removeStaleTempFiles(name);

    int error = 0;
    for (int attempt = 0; attempt < 100 && m_handle < 0; ++attempt) {
        m_tempName = tempName(name);
        // Created with the permissions any new file gets here; a replaced file's are copied below.
        m_handle = ::open(m_tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        error = m_handle < 0 ? errno : 0;
        if (error != EEXIST)
            break;
    }
    if (m_handle >= 0) {
        if (oldFile)
            ::fchmod(m_handle, old.st_mode & 07777);
        return QIODevice::open(WriteOnly | Unbuffered);
    }
    m_tempName.clear();

    // The folder takes no new file: the old file is written where it is, when it may be and is still the
    // one looked at (never through a link that took its place).
    if (oldFile) {
        const int handle = ::open(name.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
        struct stat opened;
        if (handle >= 0 && ::fstat(handle, &opened) == 0 && S_ISREG(opened.st_mode) && opened.st_dev == old.st_dev
            && opened.st_ino == old.st_ino) {
            m_handle = handle;
            m_inPlace = true;
            return QIODevice::open(WriteOnly | Unbuffered);
        }
        if (handle >= 0)
            ::close(handle);
    }
    return fail(error);
}

qint64 ReplacingFile::writeData(const char *data, qint64 size)
{
    if (m_inPlace) {
        m_pending.append(data, size);
        return size;
    }
    if (!writeAll(m_handle, data, size)) {
        setErrorString(qt_error_string(errno));
        return -1;
    }
    return size;
}

bool ReplacingFile::commit()
{
    if (!isOpen())
        return fail(EBADF);
    if (m_inPlace)
        return writeInPlace();
    // On the disk before the name moves, so a crash leaves the old file or the new one, never an empty one.
    if (::fsync(m_handle) != 0)
        return fail(errno);
    const int handle = m_handle;
    m_handle = -1;
    if (::close(handle) != 0)
        return fail(errno);
    // rename replaces the name itself: a link there goes, and whatever it pointed to stays as it was.
    if (::rename(m_tempName.constData(), QFile::encodeName(m_path).constData()) != 0)
        return fail(errno);
    m_tempName.clear();
    QIODevice::close();
    return true;
}

QString ReplacingFile::writeWhole(const QString &path, QByteArrayView bytes)
{
    ReplacingFile file(path);
    if (file.open(WriteOnly) && file.write(bytes.data(), bytes.size()) == bytes.size() && file.commit())
        return QString();
    return file.errorString();
}

bool ReplacingFile::writeInPlace()
{
    // Room for the whole file is taken before its first byte changes: a disk or size limit too small for it
    // refuses here and the old file keeps every byte.
    const qint64 size = m_pending.size();
    if (size > 0) {
        const int error = ::posix_fallocate(m_handle, 0, size);
        if (error != 0)
            return fail(error);
    }
    qint64 done = 0;
    while (done < size) {
        const ssize_t count = ::pwrite(m_handle, m_pending.constData() + done, size_t(size - done), done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return fail(errno);
        done += count;
    }
    if (::ftruncate(m_handle, size) != 0 || ::fsync(m_handle) != 0)
        return fail(errno);
    const int handle = m_handle;
    m_handle = -1;
    if (::close(handle) != 0)
        return fail(errno);
    m_pending.clear();
    QIODevice::close();
    return true;
}

bool ReplacingFile::fail(const QString &reason)
{
    setErrorString(reason);
    discard();
    return false;
}

bool ReplacingFile::fail(int error)
{
    return fail(qt_error_string(error));
}

void ReplacingFile::discard()
{
    if (m_handle >= 0)
        ::close(m_handle);
    m_handle = -1;
    if (!m_tempName.isEmpty())
        ::unlink(m_tempName.constData());
    m_tempName.clear();
    m_pending.clear();
    m_inPlace = false;
    if (isOpen())
        QIODevice::close();
}

} // namespace quorra
