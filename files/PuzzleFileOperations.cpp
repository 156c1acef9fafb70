// TPuzzle's file operations: saving and opening puzzle files and exporting the picture as JPEG.
#include "TPuzzle.h"

#include "RegularFile.h"
#include "TError.h"
#include "TJpegWriter.h"
#include "TPuzzleFile.h"
#include "TReplacingFile.h"

#include <QFile>
#include <QFileInfo>

namespace {

QString fullPath(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

[[noreturn]] void cannotCreate(const QString &path, const QString &reason)
{
    throw TError(QStringLiteral("Cannot create file \"%1\". %2").arg(fullPath(path), reason));
}

} // namespace

// The new file is written beside the old one and renamed over it only when complete, so a failed save (full
// disk, folder not writable, an encoder error) leaves the file that was there untouched. The file lands at the
// chosen path itself: a link there is replaced, never written through.
void TPuzzle::saveToFile(const QString &path)
{
    const TPuzzleFile stored(*this);
    TReplacingFile file(path);
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
TLoadResult TPuzzle::loadFromFile(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return TLoadResult::NoFile;
    QFile file;
    const QString reason = openRegularFile(file, path);
    if (!reason.isEmpty())
        throw TError(QStringLiteral("Cannot open file \"%1\". %2").arg(fullPath(path), reason));

    TPuzzleFile stored;
    if (!stored.read(file, fullPath(path))) {
        version = stored.version;
        return TLoadResult::TooNew;
    }
    file.close();

    stored.applyTo(*this);
    fileName = path;
    modified = false;
    fitToOpenPanel();
    return TLoadResult::Loaded;
}

void TPuzzle::saveImageAs(const QString &path) const
{
    TReplacingFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(path, file.errorString());
    if (!TJpegWriter::write(source, file) || !file.commit())
        cannotCreate(path, file.errorString());
}
