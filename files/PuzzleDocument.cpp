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
    if (!PuzzleFile::write(puzzle, file) || !file.commit())
        cannotCreate(path, file.errorString());

    // Only a file that is really in place becomes the puzzle's file: mail attaches it.
    puzzle.savedAs(path);
}

Opening open(Puzzle &puzzle, const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return {LoadResult::NoFile, 0};
    QFile file;
    const QString reason = openRegularFile(file, path);
    if (!reason.isEmpty())
        throw UserError(QStringLiteral("Cannot open file \"%1\". %2").arg(fullPath(path), reason));

    std::variant<StoredPuzzle, PuzzleFile::TooNew> read = PuzzleFile::read(file, fullPath(path));
    if (const auto *tooNew = std::get_if<PuzzleFile::TooNew>(&read))
        return {LoadResult::TooNew, tooNew->version};
    file.close();

    StoredPuzzle &stored = std::get<StoredPuzzle>(read);
    const qint32 version = stored.version;
    puzzle.adopt(std::move(stored), path);
    return {LoadResult::Loaded, version};
}

void exportPicture(const Puzzle &puzzle, const QString &path)
{
    ReplacingFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(path, file.errorString());
    if (!JpegWriter::write(puzzle.source(), file) || !file.commit())
        cannotCreate(path, file.errorString());
}

} // namespace PuzzleDocument
