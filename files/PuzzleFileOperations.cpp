// Puzzle's file operations: saving and opening puzzle files and exporting the picture as JPEG.
#include "Puzzle.h"

#include "RegularFile.h"
#include "UserError.h"
#include "JpegWriter.h"
#include "PuzzleFile.h"
#include "ReplacingFile.h"

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

// The new file is written beside the old one and renamed over it only when complete, so a failed save (full
// disk, folder not writable, an encoder error) leaves the file that was there untouched. The file lands at the
// chosen path itself: a link there is replaced, never written through.
void Puzzle::saveToFile(const QString &path)
{
    const PuzzleFile stored(*this);
    ReplacingFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(path, file.errorString());
    if (!stored.write(file) || !file.commit())
        cannotCreate(path, file.errorString());

    // Only a file that is really in place becomes the puzzle's file: mail attaches FileName.
    fileName = path;
    modified = false;
    tangle();
}

// Everything is read and checked into a separate object first, so a refused file leaves this puzzle as it was.
LoadResult Puzzle::loadFromFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return LoadResult::NoFile;
    QFile file;
    const QString reason = openRegularFile(file, path);
    if (!reason.isEmpty())
        throw UserError(QStringLiteral("Cannot open file \"%1\". %2").arg(fullPath(path), reason));

    PuzzleFile stored;
    if (!stored.read(file, fullPath(path))) {
        version = stored.version;
        return LoadResult::TooNew;
    }
    file.close();

    stored.applyTo(*this);
    fileName = path;
    modified = false;
    fitToOpenPanel();
    return LoadResult::Loaded;
}

void Puzzle::saveImageAs(const QString &path) const
{
    ReplacingFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(path, file.errorString());
    if (!JpegWriter::write(source, file) || !file.commit())
        cannotCreate(path, file.errorString());
}
