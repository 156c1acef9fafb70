// Puzzles as documents at a path: saving, opening and exporting the picture as JPEG.
#pragma once

#include "StoredPuzzle.h"

#include <QSize>
#include <QString>

#include <optional>

class Puzzle;

enum class LoadResult {
    Loaded,
    NoFile, // nothing at the path: silently nothing
    TooNew, // the file needs a newer program
};

namespace PuzzleDocument {

// How opening went; Version is the file's when it needs a newer program.
struct Opening {
    LoadResult result = LoadResult::NoFile;
    qint32 version = 0;
};

// Writes the puzzle to Path, which it then lives in; saving tangles it. Failures raise "Cannot create file ...".
// A puzzle opened from a file, or saved before, writes its picture's stream back unchanged.
void save(Puzzle &puzzle, const QString &path);

// Reads the puzzle file at Path and hands it to Puzzle, which its owner then tangles. The file is read and
// checked whole into a separate object first, so a refused file leaves Puzzle as it was. The picture is decoded
// only as large as the puzzle's open panel shows it (see Puzzle::setOpenPanel).
Opening open(Puzzle &puzzle, const QString &path);

// Opening in two halves: the file read and checked (safe on a worker thread, touching no puzzle), then handed to a
// puzzle. Stored is there when the result is Loaded.
struct Reading {
    Opening opening;
    std::optional<StoredPuzzle> stored;
};
Reading read(const QString &path, QSize openPanel);
Opening adopt(Puzzle &puzzle, Reading reading, const QString &path);

// Stores the puzzle's source picture at its own size as a JPEG file at Path.
void exportPicture(Puzzle &puzzle, const QString &path);

} // namespace PuzzleDocument
