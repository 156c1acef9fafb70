// SPDX-License-Identifier: GPL-3.0-or-later
// The record of results: for each puzzle solved on this computer, its best result and how often it was solved.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace quorra {

class TileGrid;

class ResultBook
{
public:
    struct Result {
        qint32 moves = 0;
        qint64 milliseconds = 0;
        friend bool operator==(const Result &, const Result &) = default;
    };
    struct Entry {
        // Best is the result with the fewest moves, and of those the shortest time: moves are what the puzzle
        // asks of the player, time only tells how quickly they were found.
        Result best;
        qint32 solves = 0;
        friend bool operator==(const Entry &, const Entry &) = default;
    };

    // A record of thousands of puzzles is a few hundred kilobytes; anything far larger is not one of ours, and
    // none is ever written that the reader would then refuse.
    static constexpr qint64 MaxFileSize = qint64(16) * 1024 * 1024;

    // The record lives in Folder; by default the user's data folder, ~/.local/share/quorra.
    explicit ResultBook(QString folder = defaultFolder());
    static QString defaultFolder();
    QString filePath() const;

    // A puzzle is known by what it shows and how it is cut, never by where its file is: the same puzzle copied
    // or mailed keeps its record, and another puzzle saved over the same path does not inherit it. The key is
    // stored in the record, so how it is made never changes.
    static QByteArray puzzleKey(QByteArrayView pictureStream, const TileGrid &grid);
    static bool isBetter(Result result, Result than);

    // What the record holds for the puzzle; none when it holds nothing, or nothing readable.
    std::optional<Entry> find(const QByteArray &key) const;
    // Adds a solve and keeps the better result; returns the entry as it was before. A result of no moves is
    // no victory and is not stored. Several programs may record at once: each waits its turn, briefly. A
    // damaged record is started afresh, but one that is there and cannot be read (no permission, too large,
    // no file) is left as it was, as is one that cannot be written: results are never worth an error, only a
    // warning.
    std::optional<Entry> record(const QByteArray &key, Result result);

private:
    QString m_folder;
};

} // namespace quorra
