// The stored form of a puzzle (header, grid, picture), read from and written to any device.
#pragma once

#include "JpegReader.h"
#include "StoredPuzzle.h"

#include <QSize>
#include <QString>

#include <variant>

class QIODevice;
class Puzzle;

// A puzzle file is a little-endian header (version, effect, the one-byte semi-effect flag, then the grid's
// record) followed by the picture as a baseline JPEG stream. Every offset and size of it is named here.
class PuzzleFile
{
public:
    // The newest format this program reads, and the one it writes for puzzles it sets up.
    static constexpr qint32 CurrentVersion = 1;

    static constexpr qint64 IntSize = 4;
    static constexpr qint64 VersionOffset = 0;
    static constexpr qint64 EffectOffset = 4;
    static constexpr qint64 SemiEffectOffset = 8;
    static constexpr qint64 GridOffset = 9;
    // The grid: rows, columns, extra row and extra column, then the target and the current arrangement,
    // each MaxGrid x MaxGrid tiles column by column, a tile being its number and its home's X and Y.
    static constexpr qint64 GridCountsSize = 4 * IntSize;
    static constexpr qint64 TileSize = 3 * IntSize;
    static constexpr qint64 ArrangementSize = qint64(MaxGrid) * MaxGrid * TileSize;
    static constexpr qint64 TargetOffset = GridOffset + GridCountsSize;
    static constexpr qint64 CurrentOffset = TargetOffset + ArrangementSize;
    static constexpr qint64 GridSize = GridCountsSize + 2 * ArrangementSize;
    // The JPEG picture starts here.
    static constexpr qint64 HeaderSize = GridOffset + GridSize;
    static_assert(HeaderSize == 889);

    // What a file that needs a newer program tells: the version it was written for.
    struct TooNew {
        qint32 version = 0;
    };

    // Reads a whole puzzle from In's position to the end of its picture, or only the version of a file that
    // needs a newer program. A header that is cut short, a grid that the program cannot make or a picture
    // refused as damaged raises UserError naming Name; the picture part raises the JPEG decoder's errors, and
    // memory that cannot be had the plain notEnoughMemoryText(). A valid Panel decodes the picture only as large
    // as showing the puzzle fitted into a panel of that size needs, with libjpeg's memory as Memory says (see
    // readJpegStream); the picture's stream is kept either way.
    static std::variant<StoredPuzzle, TooNew> read(QIODevice &in, const QString &name, QSize panel = QSize(),
                                                   JpegMemory memory = JpegMemory::AsNeeded);

    // The picture part of Puzzle's file: Kept (the stream its document keeps), unchanged, so that a puzzle passed
    // on and saved again loses nothing; or, for a picture never saved, the whole picture encoded now (raises the
    // encoder's UserError).
    static QByteArray pictureStream(const QByteArray &kept, Puzzle &puzzle);

    // Writes the whole puzzle at Out's position with PictureStream as its picture; false when Out refused bytes
    // (its errorString says why).
    static bool write(const Puzzle &puzzle, const QByteArray &pictureStream, QIODevice &out);
    // The same with the stored puzzle's stream, or its source encoded when it has none.
    static bool write(const StoredPuzzle &puzzle, QIODevice &out);

    // The grid's record as the header stores it (GridSize bytes), and back.
    static QByteArray gridBytes(const TileGrid::Record &grid);
    static TileGrid::Record gridRecord(const char *bytes);
};
