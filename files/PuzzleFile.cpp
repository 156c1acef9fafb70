// SPDX-License-Identifier: GPL-3.0-or-later
// The stored form of a puzzle (header, grid, picture), read from and written to any device.
#include "PuzzleFile.h"

#include "DamagedPictureError.h"
#include "JpegReader.h"
#include "JpegWriter.h"
#include "PictureLoader.h"
#include "Puzzle.h"
#include "UserError.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QIODevice>

#include <algorithm>
#include <new>

namespace quorra {

namespace {

[[noreturn]] void damaged(const QString &name, const QString &why)
{
    throw UserError(QCoreApplication::translate("PuzzleFiles", "The puzzle file \"%1\" is damaged: %2").arg(name, why));
}

StoredPuzzle readParts(const PuzzleHeader &header, QIODevice &in, QSize panel, JpegMemory memory)
{
    StoredPuzzle stored;
    stored.version = header.version;
    stored.effect = header.effect;
    stored.semiEffect = header.semiEffect;
    stored.grid = header.grid;

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

bool writeParts(const PuzzleHeader &header, const QByteArray &pictureStream, QIODevice &out)
{
    // Header and grid go out in one write whose count is checked, like every write of the picture: a device
    // that takes only part of a write (a full disk) must not pass for a complete file.
    const std::vector<std::uint8_t> bytes = puzzleHeaderBytes(header);
    const auto size = qint64(bytes.size());
    if (size != PuzzleFile::HeaderSize || out.write(reinterpret_cast<const char *>(bytes.data()), size) != size)
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
        const QByteArray bytes = in.read(HeaderSize);
        const auto header = readPuzzleHeader(
            std::span(reinterpret_cast<const std::uint8_t *>(bytes.constData()), std::size_t(bytes.size())));
        if (const auto *newer = std::get_if<NewerPuzzle>(&header))
            return TooNew{newer->version};
        if (const auto *fault = std::get_if<HeaderFault>(&header))
            damaged(name, *fault == HeaderFault::CutShort
                              ? QCoreApplication::translate("PuzzleFiles", "it ends before its header is complete.")
                              : QCoreApplication::translate("PuzzleFiles", "its grid is not one that Quorra makes."));
        return readParts(std::get<PuzzleHeader>(header), in, panel, memory);
    } catch (const DamagedPictureError &e) {
        damaged(name, QCoreApplication::translate("PuzzleFiles", "its picture ") + e.why());
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
    return writeParts({puzzle.version(), puzzle.effect(), puzzle.isSemiEffect(), puzzle.grid()}, pictureStream, out);
}

bool PuzzleFile::write(const StoredPuzzle &puzzle, QIODevice &out)
{
    return writeParts({puzzle.version, puzzle.effect, puzzle.semiEffect, puzzle.grid},
                      puzzle.pictureStream.isEmpty() ? encoded(puzzle.source) : puzzle.pictureStream, out);
}

} // namespace quorra
