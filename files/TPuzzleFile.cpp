// The stored form of a puzzle (header, grid, picture), read from and written to any device.
#include "TPuzzleFile.h"

#include "DamagedPictureError.h"
#include "JpegReader.h"
#include "PictureLoader.h"
#include "TError.h"
#include "TJpegWriter.h"
#include "TPuzzle.h"

#include <QBuffer>
#include <QIODevice>
#include <QtEndian>

#include <new>

namespace {

constexpr qint64 VersionSize = 4;
constexpr qint64 GridOffset = 9;

[[noreturn]] void Damaged(const QString &Name, const QString &Why)
{
    throw TError(QStringLiteral("The puzzle file \"%1\" is damaged: %2").arg(Name, Why));
}

} // namespace

TPuzzleFile::TPuzzleFile(const TPuzzle &Puzzle)
    : Version(Puzzle.Version), Effect(Puzzle.Effect), SemiEffect(Puzzle.SemiEffect), Body(Puzzle.Body),
      Source(Puzzle.Source)
{
}

void TPuzzleFile::ApplyTo(TPuzzle &Puzzle) const
{
    Puzzle.Version = Version;
    Puzzle.Effect = Effect;
    Puzzle.SemiEffect = SemiEffect;
    Puzzle.Body = Body;
    Puzzle.Source = Source;
}

bool TPuzzleFile::Read(QIODevice &In, const QString &Name, QSize PictureFit)
{
    try {
        return ReadParts(In, Name, PictureFit);
    } catch (const DamagedPictureError &E) {
        Damaged(Name, QStringLiteral("its picture ") + E.why());
    } catch (const std::bad_alloc &) {
        throw TError(NotEnoughMemoryText());
    }
}

bool TPuzzleFile::ReadParts(QIODevice &In, const QString &Name, QSize PictureFit)
{
    // The header is read whole before anything is taken from it, so that a short file is noticed here
    // instead of reaching the grid or the decoder with made-up values.
    QByteArray Header = In.read(HeaderSize);
    if (Header.size() < VersionSize)
        Damaged(Name, QStringLiteral("it ends before its header is complete."));
    Version = qFromLittleEndian<qint32>(Header.constData());
    if (Version > CurrentVersion)
        return false;
    if (Header.size() < HeaderSize)
        Damaged(Name, QStringLiteral("it ends before its header is complete."));
    Effect = qFromLittleEndian<qint32>(Header.constData() + 4);
    SemiEffect = Header.at(8) != 0;

    QBuffer Grid(&Header);
    Grid.open(QIODevice::ReadOnly);
    Grid.seek(GridOffset);
    if (!Body.LoadFromStream(Grid) || !Body.IsPlayable())
        Damaged(Name, QStringLiteral("its grid is not one that Quorra makes."));

    // The picture is read from the device as it is decoded and ends at its end-of-image marker: whatever
    // follows it in the file is never read.
    Source = ReadJpeg(In, PictureFit);
    return true;
}

bool TPuzzleFile::Write(QIODevice &Out) const
{
    // Header and grid go out in one write whose count is checked, like every write of the picture: a device
    // that takes only part of a write (a full disk) must not pass for a complete file.
    QByteArray Header(GridOffset, '\0');
    qToLittleEndian<qint32>(Version, Header.data());
    qToLittleEndian<qint32>(Effect, Header.data() + 4);
    Header[8] = SemiEffect ? 1 : 0;
    QBuffer Grid(&Header);
    Grid.open(QIODevice::WriteOnly | QIODevice::Append);
    Body.SaveToStream(Grid);
    Grid.close();
    if (Header.size() != HeaderSize || Out.write(Header) != HeaderSize)
        return false;
    return TJpegWriter::Write(Source, Out);
}
