// The stored form of a puzzle (header, grid, picture), read from and written to any device.
#pragma once

#include "TileGrid.h"

#include <QImage>
#include <QString>

class QIODevice;
class Puzzle;

class PuzzleFile
{
public:
    // The newest format this program reads, and the one it writes for puzzles it sets up.
    static constexpr qint32 CurrentVersion = 1;
    // Version, Effect, the one-byte SemiEffect flag and the grid; the JPEG picture follows.
    static constexpr qint64 HeaderSize = 889;

    qint32 version = CurrentVersion;
    qint32 effect = 0;
    bool semiEffect = false;
    TileGrid body;
    QImage source;

    PuzzleFile() = default;
    // The stored part of a puzzle: version, effect, semi-effect, grid and source picture.
    explicit PuzzleFile(const Puzzle &puzzle);
    // Hands the stored part to a puzzle; the caller then tangles it.
    void applyTo(Puzzle &puzzle) const;

    // Reads a whole puzzle from In's position to the end of its picture. Returns false, with only Version read,
    // when the file needs a newer program. A header that is cut short, a grid that the program cannot make or a
    // picture refused as damaged raises UserError naming Name; the picture part raises the JPEG decoder's errors,
    // and memory that cannot be had the plain NotEnoughMemoryText(). A valid PictureFit decodes the picture
    // only as large as showing it fitted into that size needs (see ReadJpeg).
    bool read(QIODevice &in, const QString &name, QSize pictureFit = QSize());

    // Writes the whole puzzle at Out's position; false when Out refused bytes (its errorString says why).
    bool write(QIODevice &out) const;

private:
    bool readParts(QIODevice &in, const QString &name, QSize pictureFit);
};
