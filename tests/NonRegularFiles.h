// SPDX-License-Identifier: GPL-3.0-or-later
// Things that are no regular files, made at test time where a document is expected: pipes, sockets, links.
#pragma once

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace quorra {

enum class NonRegularFile {
    Fifo,     // a named pipe that nobody writes to: opening it to read waits for ever
    Socket,   // a bound local socket
    ZeroLink, // a link to /dev/zero: reading it never ends
    FifoLink, // a link to a named pipe
    Folder,
};

// Makes Path into Kind; false when the system refused.
inline bool makeNonRegularFile(NonRegularFile kind, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
    case NonRegularFile::Fifo:
        return ::mkfifo(name.constData(), 0644) == 0;
    case NonRegularFile::Socket: {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        if (size_t(name.size()) >= sizeof address.sun_path)
            return false;
        std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
        const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool bound = socket >= 0 && ::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        if (socket >= 0)
            ::close(socket); // the socket file stays
        return bound;
    }
    case NonRegularFile::ZeroLink:
        return ::symlink("/dev/zero", name.constData()) == 0;
    case NonRegularFile::FifoLink:
        return makeNonRegularFile(NonRegularFile::Fifo, path + QStringLiteral(".pipe"))
               && ::symlink(QFile::encodeName(path + QStringLiteral(".pipe")).constData(), name.constData()) == 0;
    case NonRegularFile::Folder:
        return QDir().mkdir(path);
    }
    return false;
}

// What the thing at Path is (links not followed), to show it was left as it was.
inline mode_t fileType(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

// The longest a refusal may take: a blocked open or an endless read would take for ever.
constexpr qint64 RefusalMilliseconds = 1000;

} // namespace quorra
