// The stored form of a puzzle (header, grid, picture), read from and written to any device.
#include "PuzzleFile.h"

#include "DamagedPictureError.h"
#include "JpegReader.h"
#include "PictureLoader.h"
#include "UserError.h"
#include "JpegWriter.h"
#include "Puzzle.h"

#include <QBuffer>
#include <QIODevice>
#include <QtEndian>

#include <new>

namespace {

constexpr qint64 VersionSize = 4;
constexpr qint64 GridOffset = 9;

[[noreturn]] void damaged(const QString &name, const QString &why)
{
    throw UserError(QStringLiteral("The puzzle file \"%1\" is damaged: %2").arg(name, why));
}

} // namespace

PuzzleFile::PuzzleFile(const Puzzle &puzzle)
    : version(puzzle.version), effect(puzzle.effect), semiEffect(puzzle.semiEffect), body(puzzle.body),
      source(puzzle.source)
{
}

void PuzzleFile::applyTo(Puzzle &puzzle) const
{
    puzzle.version = version;
    puzzle.effect = effect;
    puzzle.semiEffect = semiEffect;
    puzzle.body = body;
    puzzle.source = source;
}

bool PuzzleFile::read(QIODevice &in, const QString &name, QSize pictureFit)
{
    try {
        return readParts(in, name, pictureFit);
    } catch (const DamagedPictureError &e) {
        damaged(name, QStringLiteral("its picture ") + e.why());
    } catch (const std::bad_alloc &) {
        throw UserError(notEnoughMemoryText());
    }
}

bool PuzzleFile::readParts(QIODevice &in, const QString &name, QSize pictureFit)
{
    // The header is read whole before anything is taken from it, so that a short file is noticed here
    // instead of reaching the grid or the decoder with made-up values.
    QByteArray header = in.read(HeaderSize);
    if (header.size() < VersionSize)
        damaged(name, QStringLiteral("it ends before its header is complete."));
    version = qFromLittleEndian<qint32>(header.constData());
    if (version > CurrentVersion)
        return false;
    if (header.size() < HeaderSize)
        damaged(name, QStringLiteral("it ends before its header is complete."));
    effect = qFromLittleEndian<qint32>(header.constData() + 4);
    semiEffect = header.at(8) != 0;

    QBuffer grid(&header);
    grid.open(QIODevice::ReadOnly);
    grid.seek(GridOffset);
    if (!body.loadFromStream(grid) || !body.isPlayable())
        damaged(name, QStringLiteral("its grid is not one that Quorra makes."));

    // The picture is read from the device as it is decoded and ends at its end-of-image marker: whatever
    // follows it in the file is never read.
    source = readJpeg(in, pictureFit);
    return true;
}

bool PuzzleFile::write(QIODevice &out) const
{
    // Header and grid go out in one write whose count is checked, like every write of the picture: a device
    // that takes only part of a write (a full disk) must not pass for a complete file.
    QByteArray header(GridOffset, '\0');
    qToLittleEndian<qint32>(version, header.data());
    qToLittleEndian<qint32>(effect, header.data() + 4);
    header[8] = semiEffect ? 1 : 0;
    QBuffer grid(&header);
    grid.open(QIODevice::WriteOnly | QIODevice::Append);
    body.saveToStream(grid);
    grid.close();
    if (header.size() != HeaderSize || out.write(header) != HeaderSize)
        return false;
    return JpegWriter::write(source, out);
}
