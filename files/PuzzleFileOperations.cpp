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

QString FullPath(const QString &Path)
{
    return QFileInfo(Path).absoluteFilePath();
}

[[noreturn]] void CannotCreate(const QString &Path, const QString &Reason)
{
    throw TError(QStringLiteral("Cannot create file \"%1\". %2").arg(FullPath(Path), Reason));
}

} // namespace

// The new file is written beside the old one and renamed over it only when complete, so a failed save (full
// disk, folder not writable, an encoder error) leaves the file that was there untouched. The file lands at the
// chosen path itself: a link there is replaced, never written through.
void TPuzzle::SaveToFile(const QString &Path)
{
    const TPuzzleFile Stored(*this);
    TReplacingFile File(Path);
    if (!File.open(QIODevice::WriteOnly))
        CannotCreate(Path, File.errorString());
    if (!Stored.Write(File) || !File.Commit())
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
    QFile File;
    const QString Reason = OpenRegularFile(File, Path);
    if (!Reason.isEmpty())
        throw TError(QStringLiteral("Cannot open file \"%1\". %2").arg(FullPath(Path), Reason));

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
    TReplacingFile File(Path);
    if (!File.open(QIODevice::WriteOnly))
        CannotCreate(Path, File.errorString());
    if (!TJpegWriter::Write(Source, File) || !File.Commit())
        CannotCreate(Path, File.errorString());
}
