// Puzzles as documents at a path: saving, opening and exporting the picture as JPEG.
#include "PuzzleDocument.h"

#include "JpegWriter.h"
#include "Puzzle.h"
#include "PuzzleFile.h"
#include "RegularFile.h"
#include "ReplacingFile.h"
#include "UserError.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString fullPath(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

[[noreturn]] void cannotCreate(const QString &path, const QString &reason)
{
    throw UserError(QStringLiteral("Cannot create file \"%1\". %2").arg(fullPath(path), reason));
}

} // namespace

namespace PuzzleDocument {

// The new file is written beside the old one and renamed over it only when complete, so a failed save (full
// disk, folder not writable, an encoder error) leaves the file that was there untouched. The file lands at the
// chosen path itself: a link there is replaced, never written through.
void save(Puzzle &puzzle, const QString &path)
{
    ReplacingFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(path, file.errorString());
    QByteArray picture = PuzzleFile::pictureStream(puzzle);
    if (!PuzzleFile::write(puzzle, picture, file) || !file.commit())
        cannotCreate(path, file.errorString());

    // Only a file that is really in place becomes the puzzle's file: mail attaches it. Its picture is kept as
    // written, so the next save does not encode it again.
    puzzle.savedAs(path, std::move(picture));
}

Opening open(Puzzle &puzzle, const QString &path)
{
    return adopt(puzzle, read(path, puzzle.openPanel()), path);
}

Reading read(const QString &path, QSize openPanel)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {{LoadResult::NoFile, 0}, std::nullopt};
    QFile file;
    const QString reason = openRegularFile(file, path);
    if (!reason.isEmpty())
        throw UserError(QStringLiteral("Cannot open file \"%1\". %2").arg(fullPath(path), reason));

    std::variant<StoredPuzzle, PuzzleFile::TooNew> read = PuzzleFile::read(file, fullPath(path), openPanel);
    if (const auto *tooNew = std::get_if<PuzzleFile::TooNew>(&read))
        return {{LoadResult::TooNew, tooNew->version}, std::nullopt};
    file.close();

    StoredPuzzle &stored = std::get<StoredPuzzle>(read);
    const qint32 version = stored.version;
    return {{LoadResult::Loaded, version}, std::move(stored)};
}

Opening adopt(Puzzle &puzzle, Reading reading, const QString &path)
{
    if (reading.opening.result == LoadResult::Loaded && reading.stored)
        puzzle.adopt(std::move(*reading.stored), path);
    return reading.opening;
}

void exportPicture(Puzzle &puzzle, const QString &path)
{
    ReplacingFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(path, file.errorString());
    if (!JpegWriter::write(puzzle.wholePicture(), file) || !file.commit())
        cannotCreate(path, file.errorString());
}

} // namespace PuzzleDocument
