// SPDX-License-Identifier: GPL-3.0-or-later
// The stored form of a puzzle (header, grid, picture), read from and written to any device.
#pragma once

#include "JpegReader.h"
#include "StoredPuzzle.h"
#include "core/PuzzleHeader.h"

#include <QSize>
#include <QString>

#include <variant>

class QIODevice;

namespace quorra {

class Puzzle;

// A puzzle file is its header (core's PuzzleHeader: version, effect, semi-effect flag, grid) followed by the picture
// as a baseline JPEG stream.
class PuzzleFile
{
public:
    static constexpr qint32 CurrentVersion = PuzzleHeader::CurrentVersion;
    static constexpr qint64 HeaderSize = PuzzleHeader::Size;

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
};

} // namespace quorra
