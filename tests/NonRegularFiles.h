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

enum class TNonRegularFile {
    Fifo,       // a named pipe that nobody writes to: opening it to read waits for ever
    Socket,     // a bound local socket
    ZeroLink,   // a link to /dev/zero: reading it never ends
    FifoLink,   // a link to a named pipe
    Folder,
};

// Makes Path into Kind; false when the system refused.
inline bool MakeNonRegularFile(TNonRegularFile Kind, const QString &Path)
{
    const QByteArray Name = QFile::encodeName(Path);
    switch (Kind) {
    case TNonRegularFile::Fifo:
        return ::mkfifo(Name.constData(), 0644) == 0;
    case TNonRegularFile::Socket: {
        sockaddr_un Address {};
        Address.sun_family = AF_UNIX;
        if (size_t(Name.size()) >= sizeof Address.sun_path)
            return false;
        std::memcpy(Address.sun_path, Name.constData(), size_t(Name.size()));
        const int Socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        const bool Bound = Socket >= 0 && ::bind(Socket, reinterpret_cast<sockaddr *>(&Address), sizeof Address) == 0;
        if (Socket >= 0)
            ::close(Socket); // the socket file stays
        return Bound;
    }
    case TNonRegularFile::ZeroLink:
        return ::symlink("/dev/zero", Name.constData()) == 0;
    case TNonRegularFile::FifoLink:
        return MakeNonRegularFile(TNonRegularFile::Fifo, Path + QStringLiteral(".pipe"))
            && ::symlink(QFile::encodeName(Path + QStringLiteral(".pipe")).constData(), Name.constData()) == 0;
    case TNonRegularFile::Folder:
        return QDir().mkdir(Path);
    }
    return false;
}

// What the thing at Path is (links not followed), to show it was left as it was.
inline mode_t FileType(const QString &Path)
{
    struct stat Info;
    return ::lstat(QFile::encodeName(Path).constData(), &Info) == 0 ? Info.st_mode & S_IFMT : 0;
}

// The longest a refusal may take: a blocked open or an endless read would take for ever.
constexpr qint64 RefusalMilliseconds = 1000;
