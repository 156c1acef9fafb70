// SPDX-License-Identifier: GPL-3.0-or-later
// The puzzle-file tests' workbench: pictures made on the spot, a puzzle as the window holds it, what a refused
// operation must leave, and the ways a write is made to fail.
#pragma once

#include "../NonRegularFiles.h"
#include "JpegReader.h"
#include "JpegWriter.h"
#include "PictureLoader.h"
#include "Puzzle.h"
#include "PuzzleDocument.h"
#include "PuzzleFile.h"
#include "UserError.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/capability.h>
#include <memory>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace quorra {

inline QString dataFile(const QString &name)
{
    return QStringLiteral(QUORRA_TEST_DATA "/") + name;
}

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline qint32 intAt(const QByteArray &bytes, qint64 offset)
{
    return qFromLittleEndian<qint32>(bytes.constData() + offset);
}

// Four coloured quarters, far enough apart that JPEG error never confuses them.
inline const QColor Quarters[4] = {QColor(220, 30, 30), QColor(30, 200, 40), QColor(30, 40, 220), QColor(240, 220, 30)};

inline QImage quarterPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y) {
        uchar *row = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const QColor &c = Quarters[(y >= height / 2) * 2 + (x >= width / 2)];
            row[x * 3] = uchar(c.blue());
            row[x * 3 + 1] = uchar(c.green());
            row[x * 3 + 2] = uchar(c.red());
        }
    }
    return picture;
}

inline bool nearColour(QRgb pixel, const QColor &expected, int tolerance = 12)
{
    return qAbs(qRed(pixel) - expected.red()) <= tolerance && qAbs(qGreen(pixel) - expected.green()) <= tolerance
           && qAbs(qBlue(pixel) - expected.blue()) <= tolerance;
}

// Each quarter has its colour, sampled away from the edges and from the white diagonal of the shared test
// pictures (which runs from the top-left corner through the top-left and bottom-right quarters).
inline void verifyQuarters(const QImage &picture)
{
    const int w = picture.width(), h = picture.height();
    const QPoint centres[4] = {{3 * w / 8, h / 8}, {3 * w / 4, h / 4}, {w / 4, 3 * h / 4}, {7 * w / 8, 5 * h / 8}};
    for (int i = 0; i < 4; ++i)
        QVERIFY2(nearColour(picture.pixel(centres[i]), Quarters[i]),
                 qPrintable(QStringLiteral("quarter %1 is %2").arg(i).arg(picture.pixel(centres[i]), 8, 16)));
}

inline QImage decodeJpegBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readJpeg(buffer);
}

// A puzzle document with its own display and concealment texture, as the main window would hold it.
struct Fixture {
    QImage display;
    QImage texture;
    PuzzleDocument document;
    Puzzle &puzzle;

    Fixture() : texture(16, 16, QImage::Format_BGR888), document(&display, &texture), puzzle(document.puzzle())
    {
        texture.fill(Qt::gray);
    }

    void setUp(const QImage &picture, int rows, int cols, qint32 effect = 4, bool semi = false, bool emptyRow = false,
               bool emptyCol = false)
    {
        document.setPicture(picture);
        document.setUp(effect, rows, cols, semi, emptyRow, emptyCol);
    }
};

// What a refused or failed operation must leave as it was.
struct Snapshot {
    qint32 version, effect;
    bool semiEffect, editMode, solved, modified;
    QString fileName;
    QByteArray pictureStream;
    QByteArray body;
    qint64 sourceKey;

    explicit Snapshot(const PuzzleDocument &d)
        : version(d.puzzle().version()),
          effect(d.puzzle().effect()),
          semiEffect(d.puzzle().isSemiEffect()),
          editMode(d.puzzle().isEditMode()),
          solved(d.puzzle().isSolved()),
          modified(d.isModified()),
          fileName(d.fileName()),
          pictureStream(d.pictureStream()),
          body(reinterpret_cast<const char *>(&d.puzzle().grid().record()), sizeof(TileGrid::Record)),
          sourceKey(d.puzzle().source().cacheKey())
    {
    }

    bool operator==(const Snapshot &) const = default;
};

// Writes cannot grow a file past Limit bytes for as long as this lives: a full disk that root cannot bypass.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit New = m_old;
        New.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &New);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old;
    void (*m_oldHandler)(int);
};

// For as long as this lives, root is held to the permission bits like anyone else (it keeps its other powers),
// so that a read-only folder is one for every user the tests run as.
class NoPermissionOverride
{
public:
    NoPermissionOverride()
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (syscall(SYS_capget, &header, m_old) != 0)
            return;
        __user_cap_data_struct New[2];
        std::memcpy(New, m_old, sizeof New);
        New[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        m_dropped = syscall(SYS_capset, &header, New) == 0;
    }
    ~NoPermissionOverride()
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (m_dropped)
            syscall(SYS_capset, &header, m_old);
    }

private:
    __user_cap_data_struct m_old[2]{};
    bool m_dropped = false;
};

// Whether a new file can be made in Folder by this thread.
inline bool folderTakesFiles(const QString &folder)
{
    const QByteArray probe = QFile::encodeName(folder + QStringLiteral("/probe"));
    const int handle = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (handle < 0)
        return false;
    ::close(handle);
    ::unlink(probe.constData());
    return true;
}

using RecordNumbers = QMap<int, int>;

enum WriteFailure { diskFull, ParentIsFile, NoParent, ReadOnlyFolder };

} // namespace quorra

Q_DECLARE_METATYPE(quorra::WriteFailure)
Q_DECLARE_METATYPE(quorra::NonRegularFile)
