// The stored form of a puzzle (header, grid, picture), read from and written to any device.
#include "TPuzzleFile.h"

#include "PictureLoader.h"
#include "TError.h"
#include "TJpegWriter.h"

#include <QBuffer>
#include <QIODevice>
#include <QtEndian>

namespace {

constexpr qint64 VersionSize = 4;
constexpr qint64 GridOffset = 9;

[[noreturn]] void Damaged(const QString &Name, const QString &Why)
{
    throw TError(QStringLiteral("The puzzle file \"%1\" is damaged: %2").arg(Name, Why));
}

} // namespace

bool TPuzzleFile::Read(QIODevice &In, const QString &Name)
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

    DecodeJpeg(In, Source);
    return true;
}

bool TPuzzleFile::Write(QIODevice &Out) const
{
    char Head[GridOffset];
    qToLittleEndian<qint32>(Version, Head);
    qToLittleEndian<qint32>(Effect, Head + 4);
    Head[8] = SemiEffect ? 1 : 0;
    if (Out.write(Head, GridOffset) != GridOffset)
        return false;
    Body.SaveToStream(Out);
    return TJpegWriter::Write(Source, Out);
}
