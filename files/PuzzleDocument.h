// SPDX-License-Identifier: GPL-3.0-or-later
// A puzzle as a document: the game with its file, title, saved state and stored picture; saving, opening, export.
#pragma once

#include "Puzzle.h"
#include "SourcePicture.h"
#include "StoredPuzzle.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <optional>

namespace quorra {

enum class LoadResult {
    Loaded,
    NoFile, // nothing at the path: silently nothing
    TooNew, // the file needs a newer program
};

// Owns the puzzle it documents. What the game and its drawing do is the puzzle's; what a file and the person's
// work on it are is kept here, so the files library never has to move the game to record a save.
class PuzzleDocument
{
public:
    // How opening went; Version is the file's when it needs a newer program.
    struct Opening {
        LoadResult result = LoadResult::NoFile;
        qint32 version = 0;
    };
    // Opening in two halves: the file read and checked (safe on a worker thread, touching no puzzle), then handed
    // to a document. Stored is there when the result is Loaded.
    struct Reading {
        Opening opening;
        std::optional<StoredPuzzle> stored;
    };

    // Display and Texture go to the puzzle (see Puzzle).
    PuzzleDocument(QImage *display, const QImage *texture) : m_puzzle(display, texture) {}
    PuzzleDocument(const PuzzleDocument &) = delete;
    PuzzleDocument &operator=(const PuzzleDocument &) = delete;

    Puzzle &puzzle() { return m_puzzle; }
    const Puzzle &puzzle() const { return m_puzzle; }

    // The file the puzzle lives in: the one it was opened from or last saved to; empty for a new puzzle.
    const QString &fileName() const { return m_fileName; }
    // The name of the picture a new puzzle was made of, without its extension; empty for an opened one.
    const QString &title() const { return m_title; }
    // Set up since it was last opened or saved: giving it up loses work.
    bool isModified() const { return m_modified; }
    // The JPEG stream the puzzle's file holds, written back unchanged when it is saved again: the one it was
    // opened from, or the one its last save encoded. Empty while a new puzzle has never been saved.
    const QByteArray &pictureStream() const { return m_pictureStream; }

    // A new puzzle: the picture at Path gives the title even when it cannot be read (raising the reader's error).
    void loadPicture(const QString &path);
    // As loadPicture, with what readSourcePicture gave for Path: none leaves the picture as it was.
    void adoptPicture(const QString &path, std::optional<SourcePicture> picture);
    // The picture a new puzzle is made of, when it is already in memory; it has no title.
    void setPicture(QImage picture);
    // Cuts the puzzle anew (see Puzzle::setUp): the person's work that a save would keep.
    void setUp(EffectCode effect, int rows, int columns, bool semiEffect, bool emptyRow, bool emptyColumn);

    // Writes the puzzle to Path, which it then lives in; the game is left as it was (the window tangles it).
    // Failures raise "Cannot create file ..." and leave the document as it was. A puzzle opened from a file, or
    // saved before, writes its picture's stream back unchanged.
    void save(const QString &path);

    // Reads the puzzle file at Path and hands it to the puzzle, which its owner then tangles. The file is read and
    // checked whole into a separate object first, so a refused file leaves the document as it was. The picture
    // is decoded only as large as the puzzle's open panel shows it (see Puzzle::setOpenPanel).
    Opening open(const QString &path);
    static Reading read(const QString &path, QSize openPanel);
    Opening adopt(Reading reading, const QString &path);

    // Stores the puzzle's source picture at its own size as a JPEG file at Path.
    void exportPicture(const QString &path);

private:
    friend class PuzzleDocumentProbe; // the tests' one look inside

    // A picture file's name without its extension, or nothing when it has none.
    static QString titleOf(const QString &path);
    // A puzzle file's name without its extension: the title of an opened or saved puzzle.
    static QString puzzleTitleOf(const QString &path);

    Puzzle m_puzzle;
    QString m_fileName;
    QString m_title;
    QByteArray m_pictureStream;
    bool m_modified = false;
};

} // namespace quorra
