// The stored form of a puzzle (header, grid, picture), read from and written to any device.
#include "PuzzleFile.h"

#include "DamagedPictureError.h"
#include "JpegReader.h"
#include "JpegWriter.h"
#include "PictureLoader.h"
#include "Puzzle.h"
#include "UserError.h"

#include <QBuffer>
#include <QIODevice>
#include <QtEndian>

#include <algorithm>
#include <new>

namespace {

[[noreturn]] void damaged(const QString &name, const QString &why)
{
    throw UserError(QStringLiteral("The puzzle file \"%1\" is damaged: %2").arg(name, why));
}

void putInt(char *&at, qint32 value)
{
    qToLittleEndian<qint32>(value, at);
    at += PuzzleFile::IntSize;
}

qint32 takeInt(const char *&at)
{
    const qint32 value = qFromLittleEndian<qint32>(at);
    at += PuzzleFile::IntSize;
    return value;
}

void putArrangement(char *&at, const Tile (&cells)[MaxGrid][MaxGrid])
{
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            putInt(at, cells[c][r].number);
            putInt(at, cells[c][r].home.x());
            putInt(at, cells[c][r].home.y());
        }
}

void takeArrangement(const char *&at, Tile (&cells)[MaxGrid][MaxGrid])
{
    for (int c = 0; c < MaxGrid; ++c)
        for (int r = 0; r < MaxGrid; ++r) {
            cells[c][r].number = takeInt(at);
            const qint32 x = takeInt(at);
            const qint32 y = takeInt(at);
            cells[c][r].home = QPoint(x, y);
        }
}

StoredPuzzle readParts(const QByteArray &header, QIODevice &in, const QString &name, QSize panel, JpegMemory memory)
{
    StoredPuzzle stored;
    stored.version = qFromLittleEndian<qint32>(header.constData() + PuzzleFile::VersionOffset);
    stored.effect = qFromLittleEndian<qint32>(header.constData() + PuzzleFile::EffectOffset);
    stored.semiEffect = header.at(PuzzleFile::SemiEffectOffset) != 0;
    std::optional<TileGrid> grid =
        TileGrid::fromRecord(PuzzleFile::gridRecord(header.constData() + PuzzleFile::GridOffset));
    if (!grid)
        damaged(name, QStringLiteral("its grid is not one that Quorra makes."));
    stored.grid = *grid;

    // The picture is read from the device as it is decoded and ends at its end-of-image marker: whatever
    // follows it in the file is never read.
    // Shown in the panel, the picture gets the grid's share of it: an empty row or column takes its own.
    QSize pictureFit;
    if (panel.isValid() && stored.grid.totalColumns() > 0 && stored.grid.totalRows() > 0)
        pictureFit = QSize(std::max(panel.width() / stored.grid.totalColumns(), 1) * stored.grid.columns(),
                           std::max(panel.height() / stored.grid.totalRows(), 1) * stored.grid.rows());
    JpegStream picture = readJpegStream(in, pictureFit, memory);
    stored.source = std::move(picture.picture);
    stored.pictureSize = picture.fullSize;
    stored.pictureStream = std::move(picture.bytes);
    return stored;
}

bool writeParts(qint32 version, EffectCode effect, bool semiEffect, const TileGrid::Record &grid,
                const QByteArray &pictureStream, QIODevice &out)
{
    // Header and grid go out in one write whose count is checked, like every write of the picture: a device
    // that takes only part of a write (a full disk) must not pass for a complete file.
    QByteArray header(PuzzleFile::GridOffset, '\0');
    qToLittleEndian<qint32>(version, header.data() + PuzzleFile::VersionOffset);
    qToLittleEndian<qint32>(effect, header.data() + PuzzleFile::EffectOffset);
    header[PuzzleFile::SemiEffectOffset] = semiEffect ? 1 : 0;
    header += PuzzleFile::gridBytes(grid);
    if (header.size() != PuzzleFile::HeaderSize || out.write(header) != PuzzleFile::HeaderSize)
        return false;
    return out.write(pictureStream) == pictureStream.size();
}

QByteArray encoded(const QImage &picture)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    // Memory is all a buffer can refuse.
    if (!JpegWriter::write(picture, buffer))
        throw UserError(notEnoughMemoryText());
    return buffer.data();
}

} // namespace

std::variant<StoredPuzzle, PuzzleFile::TooNew> PuzzleFile::read(QIODevice &in, const QString &name, QSize panel,
                                                                JpegMemory memory)
{
    try {
        // The header is read whole before anything is taken from it, so that a short file is noticed here
        // instead of reaching the grid or the decoder with made-up values.
        const QByteArray header = in.read(HeaderSize);
        if (header.size() < VersionOffset + IntSize)
            damaged(name, QStringLiteral("it ends before its header is complete."));
        const qint32 version = qFromLittleEndian<qint32>(header.constData() + VersionOffset);
        if (version > CurrentVersion)
            return TooNew{version};
        if (header.size() < HeaderSize)
            damaged(name, QStringLiteral("it ends before its header is complete."));
        return readParts(header, in, name, panel, memory);
    } catch (const DamagedPictureError &e) {
        damaged(name, QStringLiteral("its picture ") + e.why());
    } catch (const std::bad_alloc &) {
        throw UserError(notEnoughMemoryText());
    }
}

QByteArray PuzzleFile::pictureStream(const QByteArray &kept, Puzzle &puzzle)
{
    if (!kept.isEmpty())
        return kept;
    return encoded(puzzle.wholePicture());
}

bool PuzzleFile::write(const Puzzle &puzzle, const QByteArray &pictureStream, QIODevice &out)
{
    return writeParts(puzzle.version(), puzzle.effect(), puzzle.isSemiEffect(), puzzle.grid().record(), pictureStream,
                      out);
}

bool PuzzleFile::write(const StoredPuzzle &puzzle, QIODevice &out)
{
    return writeParts(puzzle.version, puzzle.effect, puzzle.semiEffect, puzzle.grid.record(),
                      puzzle.pictureStream.isEmpty() ? encoded(puzzle.source) : puzzle.pictureStream, out);
}

QByteArray PuzzleFile::gridBytes(const TileGrid::Record &grid)
{
    QByteArray bytes(GridSize, '\0');
    char *at = bytes.data();
    putInt(at, grid.rows);
    putInt(at, grid.columns);
    putInt(at, grid.extraRow);
    putInt(at, grid.extraColumn);
    putArrangement(at, grid.target);
    putArrangement(at, grid.current);
    return bytes;
}

TileGrid::Record PuzzleFile::gridRecord(const char *bytes)
{
    TileGrid::Record grid;
    const char *at = bytes;
    grid.rows = takeInt(at);
    grid.columns = takeInt(at);
    grid.extraRow = takeInt(at);
    grid.extraColumn = takeInt(at);
    takeArrangement(at, grid.target);
    takeArrangement(at, grid.current);
    return grid;
}
