// TPuzzle's file operations: saving and opening puzzle files and exporting the picture as JPEG.
#include "TPuzzle.h"

#include "TError.h"
#include "TJpegWriter.h"
#include "TPuzzleFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace {

QString FullPath(const QString &Path)
{
    return QFileInfo(Path).absoluteFilePath();
}

// Unbuffered, so that every write reports at once how much really reached the file: with a write buffer, a
// flush that the disk cuts short goes unnoticed and QSaveFile commits the truncated file (Qt 6.4).
constexpr QIODevice::OpenMode SaveMode = QIODevice::WriteOnly | QIODevice::Unbuffered;

[[noreturn]] void CannotCreate(const QString &Path, const QString &Reason)
{
    throw TError(QStringLiteral("Cannot create file \"%1\". %2").arg(FullPath(Path), Reason));
}

} // namespace

// The new file is written beside the old one and renamed over it only when complete, so a failed save (full
// disk, folder not writable, an encoder error) leaves the file that was there untouched.
void TPuzzle::SaveToFile(const QString &Path)
{
    const TPuzzleFile Stored(*this);
    QSaveFile File(Path);
    if (!File.open(SaveMode))
        CannotCreate(Path, File.errorString());
    if (!Stored.Write(File) || !File.commit())
        CannotCreate(Path, File.errorString());

    // Only a file that is really in place becomes the puzzle's file: mail attaches FileName.
    FileName = Path;
    Modified = false;
    Tangle();
}

// Everything is read and checked into a separate object first, so a refused file leaves this puzzle as it was.
TLoadResult TPuzzle::LoadFromFile(const QString &Path)
{
    if (Path.isEmpty() || !QFileInfo::exists(Path))
        return TLoadResult::NoFile;
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly)) {
        // Qt gives no reason for a folder, so name the system's own.
        const QString Reason = QFileInfo(Path).isDir() ? qt_error_string(EISDIR) : File.errorString();
        throw TError(QStringLiteral("Cannot open file \"%1\". %2").arg(FullPath(Path), Reason));
    }

    TPuzzleFile Stored;
    if (!Stored.Read(File, FullPath(Path))) {
        Version = Stored.Version;
        return TLoadResult::TooNew;
    }
    File.close();

    Stored.ApplyTo(*this);
    FileName = Path;
    Modified = false;
    FitToOpenPanel();
    return TLoadResult::Loaded;
}

void TPuzzle::SaveImageAs(const QString &Path) const
{
    QSaveFile File(Path);
    if (!File.open(SaveMode))
        CannotCreate(Path, File.errorString());
    if (!TJpegWriter::Write(Source, File) || !File.commit())
        CannotCreate(Path, File.errorString());
}
