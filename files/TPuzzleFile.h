// The stored form of a puzzle (header, grid, picture), read from and written to any device.
#pragma once

#include "TBody.h"

#include <QImage>
#include <QString>

class QIODevice;
class TPuzzle;

class TPuzzleFile
{
public:
    // The newest format this program reads, and the one it writes for puzzles it sets up.
    static constexpr qint32 CurrentVersion = 1;
    // Version, Effect, the one-byte SemiEffect flag and the grid; the JPEG picture follows.
    static constexpr qint64 HeaderSize = 889;

    qint32 Version = CurrentVersion;
    qint32 Effect = 0;
    bool SemiEffect = false;
    TBody Body;
    QImage Source;

    TPuzzleFile() = default;
    // The stored part of a puzzle: version, effect, semi-effect, grid and source picture.
    explicit TPuzzleFile(const TPuzzle &Puzzle);
    // Hands the stored part to a puzzle; the caller then tangles it.
    void ApplyTo(TPuzzle &Puzzle) const;

    // Reads a whole puzzle from In's position to the end of its picture. Returns false, with only Version read,
    // when the file needs a newer program. A header that is cut short, a grid that the program cannot make or a
    // picture refused as damaged raises TError naming Name; the picture part raises the JPEG decoder's errors,
    // and memory that cannot be had the plain NotEnoughMemoryText(). A valid PictureFit decodes the picture
    // only as large as showing it fitted into that size needs (see ReadJpeg).
    bool Read(QIODevice &In, const QString &Name, QSize PictureFit = QSize());

    // Writes the whole puzzle at Out's position; false when Out refused bytes (its errorString says why).
    bool Write(QIODevice &Out) const;

private:
    bool ReadParts(QIODevice &In, const QString &Name, QSize PictureFit);
};
