// SPDX-License-Identifier: GPL-3.0-or-later
// A puzzle as a document: its file, title and saved state; saving, opening and exporting the picture as JPEG.
#include "PuzzleDocument.h"

#include "JpegWriter.h"
#include "PictureLoader.h"
#include "PuzzleFile.h"
#include "RegularFile.h"
#include "ReplacingFile.h"
#include "UserError.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace quorra {

namespace {

QString fullPath(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

[[noreturn]] void cannotCreate(const QString &path, const QString &reason)
{
    throw UserError(
        QCoreApplication::translate("PuzzleFiles", "Cannot create file \"%1\". %2").arg(fullPath(path), reason));
}

} // namespace

// The new file is written beside the old one and renamed over it only when complete, so a failed save (full
// disk, folder not writable, an encoder error) leaves the file that was there untouched. The file lands at the
// chosen path itself: a link there is replaced, never written through.
void PuzzleDocument::save(const QString &path)
{
    ReplacingFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(path, file.errorString());
    QByteArray picture = PuzzleFile::pictureStream(m_pictureStream, m_puzzle);
    if (!PuzzleFile::write(m_puzzle, picture, file) || !file.commit())
        cannotCreate(path, file.errorString());

    // Only a file that is really in place becomes the puzzle's file: mail attaches it. Its picture is kept as
    // written, so the next save does not encode it again.
    m_fileName = path;
    m_title = puzzleTitleOf(path);
    m_pictureStream = std::move(picture);
    m_modified = false;
}

PuzzleDocument::Opening PuzzleDocument::open(const QString &path)
{
    return adopt(read(path, m_puzzle.openPanel()), path);
}

PuzzleDocument::Reading PuzzleDocument::read(const QString &path, QSize openPanel)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {{LoadResult::NoFile, 0}, std::nullopt};
    QFile file;
    const QString reason = openRegularFile(file, path);
    if (!reason.isEmpty())
        throw UserError(
            QCoreApplication::translate("PuzzleFiles", "Cannot open file \"%1\". %2").arg(fullPath(path), reason));

    std::variant<StoredPuzzle, PuzzleFile::TooNew> read = PuzzleFile::read(file, fullPath(path), openPanel);
    if (const auto *tooNew = std::get_if<PuzzleFile::TooNew>(&read))
        return {{LoadResult::TooNew, tooNew->version}, std::nullopt};
    file.close();

    StoredPuzzle &stored = std::get<StoredPuzzle>(read);
    const qint32 version = stored.version;
    return {{LoadResult::Loaded, version}, std::move(stored)};
}

PuzzleDocument::Opening PuzzleDocument::adopt(Reading reading, const QString &path)
{
    if (reading.opening.result == LoadResult::Loaded && reading.stored) {
        // The stream's bytes are shared with the puzzle's source picture, not copied.
        QByteArray stream = reading.stored->pictureStream;
        m_puzzle.adopt(std::move(*reading.stored));
        m_pictureStream = std::move(stream);
        m_fileName = path;
        m_title = puzzleTitleOf(path);
        m_modified = false;
    }
    return reading.opening;
}

void PuzzleDocument::exportPicture(const QString &path)
{
    ReplacingFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(path, file.errorString());
    if (!JpegWriter::write(m_puzzle.wholePicture(), file) || !file.commit())
        cannotCreate(path, file.errorString());
}

void PuzzleDocument::loadPicture(const QString &path)
{
    // The title is the file's even when its picture cannot be read.
    m_title = titleOf(path);
    adoptPicture(path, readSourcePicture(path, m_puzzle.openPanel()));
}

void PuzzleDocument::adoptPicture(const QString &path, std::optional<SourcePicture> picture)
{
    m_title = titleOf(path);
    if (picture) {
        m_puzzle.adoptPicture(std::move(picture));
        // A new picture: whatever stream the document kept was another picture's.
        m_pictureStream.clear();
    }
}

void PuzzleDocument::setPicture(QImage picture)
{
    m_puzzle.setPicture(std::move(picture));
    m_pictureStream.clear();
}

void PuzzleDocument::setUp(EffectCode effect, int rows, int columns, bool semiEffect, bool emptyRow, bool emptyColumn)
{
    // Marked first: a set-up that fails half-way has still changed the grid the person was working on.
    m_modified = true;
    m_puzzle.setUp(effect, rows, columns, semiEffect, emptyRow, emptyColumn);
}

QString PuzzleDocument::puzzleTitleOf(const QString &path)
{
    // Unlike a picture's, a puzzle file's name without an extension is a name all the same.
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QString PuzzleDocument::titleOf(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.left(dot);
}

} // namespace quorra
